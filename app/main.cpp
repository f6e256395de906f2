#include "platform/Forms.h"
#include "platform/Guard.h"
#include "shell/KorDepart.h"

#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    PivanesApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Pivanes"));
    // Windows come and go by hiding; the program ends only through its own commands.
    app.setQuitOnLastWindowClosed(false);

    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFrench);

    RunGuarded([] { Forms::Load<KorDepart>(); });
    return app.exec();
}
