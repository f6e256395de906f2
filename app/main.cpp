#include "convert/ConvertCommand.h"
#include "platform/Display.h"
#include "platform/FolderLock.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/Backdrop.h"
#include "shell/CommandLine.h"
#include "shell/DataFolder.h"
#include "shell/Session.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>

namespace {

void Print(const QString& text, FILE* stream) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

// The terminal gets every refusal; a user who started from the desktop menu sees a box too.
void Refuse(const QString& text) {
    Print(text + QLatin1Char('\n'), stderr);
    if (HasVisibleScreen())
        MessageBox::Error(text);
}

void InstallFrenchQtTexts(QCoreApplication& application) {
    auto* qtFrench = new QTranslator(&application);
    if (qtFrench->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(qtFrench);
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine line = ReadCommandLine(Arguments(argc, argv));
    if (line.action == CommandLine::Action::Convert) {
        QCoreApplication core(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return RunConvertCommand(line.jetFile, out, err);
    }
    if (line.action != CommandLine::Action::Run) {
        Print(line.text, line.action == CommandLine::Action::Refuse ? stderr : stdout);
        return line.exitCode;
    }
    const DataFolder::Choice folder = DataFolder::Choose(line.folder);
    if (folder.path.isEmpty()) {
        Print(folder.problem + QLatin1Char('\n'), stderr);
        return 1;
    }

    // Nothing is created before a window can be shown: without a display the program ends here.
    const auto application = MakeApplication();
    if (const QString problem = DataFolder::Make(folder.path); !problem.isEmpty()) {
        Refuse(problem);
        return 1;
    }
    application->setApplicationName(QStringLiteral("Pivanes"));
    // Windows come and go by hiding; the program ends only through its own commands.
    application->setQuitOnLastWindowClosed(false);
    InstallFrenchQtTexts(*application);

    // Before the lock, so that a copy seen holding it already works in its folder.
    QDir::setCurrent(folder.path);
    FolderLock lock(folder.path);
    switch (lock.Take()) {
    case FolderLock::Outcome::Taken:
        break;
    case FolderLock::Outcome::HeldByOther:
        Refuse(QStringLiteral("Pivanes est déjà ouvert sur le dossier « %1 » (processus %2). "
                              "Rien n'a été modifié : revenez à la fenêtre de Pivanes déjà "
                              "ouverte, ou fermez-la avant de le relancer.")
                   .arg(QDir::toNativeSeparators(folder.path))
                   .arg(lock.Holder()));
        return 1;
    case FolderLock::Outcome::NotPlaced:
        // Reading the cards needs no lock; where no lock file can be written, SQLite cannot
        // write its journal either, so no copy can change the collection.
        Print(QStringLiteral("Le verrou de Pivanes n'a pas pu être posé dans le dossier « %1 » "
                             "(dossier en lecture seule ou disque plein) : Pivanes s'ouvre quand "
                             "même, mais n'en lancez pas un second sur ce dossier.\n")
                  .arg(QDir::toNativeSeparators(folder.path)),
              stderr);
        break;
    }

    // Owned here, for as long as any window is open.
    Session session;
    RunGuarded([&session] { Forms::Load<Backdrop>(session); });
    return application->exec();
}
