#include "convert/ConvertCommand.h"

#include "convert/JetConversion.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int RunConvertCommand(const QString& jetFile, QTextStream& out, QTextStream& err) {
    try {
        const JetConversion::Outcome outcome = JetConversion::Convert(jetFile);
        out << QStringLiteral("« %1 » est converti : %2 fiches. L'original est gardé sous le nom "
                              "« %3 ».")
                   .arg(QDir::toNativeSeparators(jetFile))
                   .arg(outcome.cards)
                   .arg(QFileInfo(outcome.keptAs).fileName())
            << Qt::endl;
        return 0;
    } catch (const StoreError& error) {
        err << error.text() << Qt::endl;
        return 1;
    }
}
