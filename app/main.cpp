#include "convert/ConvertCommand.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "shell/KorDepart.h"

#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>
#include <cstring>

int main(int argc, char** argv) {
    // Conversion of an old collection, for scripts: no display needed.
    if (argc >= 2 && std::strcmp(argv[1], "--convertir") == 0) {
        QCoreApplication core(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        if (argc != 3) {
            err << QStringLiteral("Utilisation : pivanes --convertir FICHIER.mdb") << Qt::endl;
            return 2;
        }
        return RunConvertCommand(QString::fromLocal8Bit(argv[2]), out, err);
    }
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
