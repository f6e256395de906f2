// Writes a card collection: the demo tips, or N made-up cards for tests and benchmarks.
#include "DemoCards.h"
#include "NewCollection.h"
#include "SyntheticCards.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: pivanes-collection demo FICHIER\n"
                               "       pivanes-collection synthetic N FICHIER [--textes]\n"
                               "           (N de 1 à 1000000 ; --textes : des textes de 200 à "
                               "6000 caractères)\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--help")} ||
        args == QStringList{QStringLiteral("-h")}) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (args.size() == 2 && args[0] == QLatin1String("demo")) {
            WriteDemoCollection(args[1]);
            return 0;
        }
        const bool withTexts = args.size() == 4 && args[3] == QLatin1String("--textes");
        if ((args.size() == 3 || withTexts) && args[0] == QLatin1String("synthetic")) {
            bool ok = false;
            const int count = args[1].toInt(&ok);
            if (!ok || count < 1 || count > 1000000)
                return Usage();
            WriteNewCollection(args[2], count, [withTexts](qint64 i) {
                return withTexts ? SyntheticCardWithText(qint32(i + 1))
                                 : SyntheticCard(qint32(i + 1));
            });
            return 0;
        }
    } catch (const StoreError& error) {
        QTextStream(stderr) << error.text() << '\n';
        return 1;
    }
    return Usage();
}
