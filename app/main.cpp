#include "convert/ConvertCommand.h"
#include "convert/Exchange.h"
#include "convert/Isolated.h"
#include "platform/Display.h"
#include "platform/FolderLock.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/CollectionChoice.h"
#include "shell/CommandLine.h"
#include "shell/DataFolder.h"
#include "shell/Program.h"
#include "shell/SearchCommand.h"
#include "shell/ServerChoice.h"
#include "shell/ServerCopyCommand.h"
#include "shell/ServerDialogs.h"
#include "shell/Session.h"
#include "store/ServerAddress.h"
#include "store/StoreError.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>
#include <optional>

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

// The server the program starts on: the one named now, or the one remembered before, unless
// --local forgets it. A settings file that cannot be read or written is said, since the user
// would otherwise start on another collection than the one they meant.
std::optional<QString> ChosenServer(const CommandLine& line) {
    if (line.local) {
        const std::optional<QString> forgotten = ServerChoice::Remembered();
        ServerChoice::Forget();
        Print(forgotten ? QStringLiteral("Le serveur « %1 » est oublié : Pivanes s'ouvre "
                                         "désormais sur la collection du dossier de données.\n")
                              .arg(*forgotten)
                        : QStringLiteral("Aucun serveur n'était retenu : Pivanes s'ouvre sur la "
                                         "collection du dossier de données.\n"),
              stdout);
        return std::nullopt;
    }
    if (!line.server.isEmpty())
        return line.server;
    std::optional<QString> remembered = ServerChoice::Remembered();
    if (remembered)
        if (const std::optional<QString> refusal = ServerAddress::Refusal(*remembered))
            throw UserError(QStringLiteral("Le serveur retenu dans « %1 » est refusé : %2 "
                                           "« pivanes --local » revient à la collection du "
                                           "dossier de données.")
                                .arg(ServerChoice::SettingsFile(), *refusal));
    return remembered;
}

// Only a server that answered is remembered.
void RememberServer(const QString& server) {
    try {
        ServerChoice::Remember(server);
    } catch (const UserError& error) {
        Print(QStringLiteral("Le serveur n'a pas pu être retenu pour les prochains lancements : "
                             "%1\n")
                  .arg(error.text()),
              stderr);
    }
}

// The collection that --importer, --exporter and --chercher work on: the server named, else the
// data folder's collection; none when the folder cannot be used (err says why).
std::optional<CollectionPlace> CommandPlace(const CommandLine& line, QTextStream& err,
                                            std::optional<FolderLock>* lock) {
    if (!line.server.isEmpty())
        return CollectionPlace::Server(line.server);
    const DataFolder::Choice folder = DataFolder::Choose(line.folder);
    if (folder.path.isEmpty()) {
        err << folder.problem << Qt::endl;
        return std::nullopt;
    }
    // An import makes the user's data folder on first use, as the program does.
    if (line.action == CommandLine::Action::Import)
        if (const QString problem = DataFolder::Make(folder.path); !problem.isEmpty()) {
            err << problem << Qt::endl;
            return std::nullopt;
        }
    if (lock) {
        lock->emplace(folder.path);
        if ((*lock)->Take() == FolderLock::Outcome::HeldByOther) {
            err << QStringLiteral("Pivanes est ouvert sur le dossier « %1 » (processus %2) : "
                                  "fermez-le avant d'importer ou d'exporter. Rien n'a été "
                                  "copié.")
                       .arg(QDir::toNativeSeparators(folder.path))
                       .arg((*lock)->Holder())
                << Qt::endl;
            return std::nullopt;
        }
    }
    return CollectionPlace::LocalFile(QDir(folder.path).filePath(QStringLiteral("Pivane.mdb")));
}

// A command that reads the server named, through the data folder's copy of it when that folder
// can be used; as on the server alone otherwise.
int ReadServer(const CommandLine& line, const ReadingCommand& command, QTextStream& err) {
    const DataFolder::Choice folder = DataFolder::Choose(line.folder);
    if (folder.path.isEmpty())
        return command(CollectionPlace::Server(line.server));
    return RunReadingServer(line.server, folder.path, command, err);
}

// --importer and --exporter, under the folder's lock.
int RunExchange(const CommandLine& line) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (line.action == CommandLine::Action::Export && !line.server.isEmpty())
        return ReadServer(
            line,
            [&](const CollectionPlace& place) {
                return Exchange::Export(place, line.exchangeFile, out, err);
            },
            err);
    std::optional<FolderLock> lock;
    const std::optional<CollectionPlace> place = CommandPlace(line, err, &lock);
    if (!place)
        return 1;
    return line.action == CommandLine::Action::Import
               ? Exchange::Import(*place, line.exchangeFile,
                                  line.duplicates ? Exchange::Duplicates::Added
                                                  : Exchange::Duplicates::LeftOut,
                                  out, err)
               : Exchange::Export(*place, line.exchangeFile, out, err);
}

// --chercher only reads: it works beside a Pivanes open on the same folder.
int RunSearch(const CommandLine& line) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!line.server.isEmpty())
        return ReadServer(
            line,
            [&](const CollectionPlace& place) {
                return RunSearchCommand(place, line.keyword, out, err);
            },
            err);
    const std::optional<CollectionPlace> place = CommandPlace(line, err, nullptr);
    return place ? RunSearchCommand(*place, line.keyword, out, err) : 1;
}

void InstallFrenchQtTexts(QCoreApplication& application) {
    auto* qtFrench = new QTranslator(&application);
    if (qtFrench->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(qtFrench);
}

} // namespace

int main(int argc, char** argv) {
    // Started again to read a Jet file apart from the program.
    if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))
        return *served;
    const CommandLine line = ReadCommandLine(Arguments(argc, argv));
    if (line.action == CommandLine::Action::Convert) {
        QCoreApplication core(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return RunConvertCommand(line.jetFile, out, err);
    }
    if (line.action == CommandLine::Action::Import || line.action == CommandLine::Action::Export) {
        QCoreApplication core(argc, argv);
        return RunExchange(line);
    }
    if (line.action == CommandLine::Action::Search) {
        QCoreApplication core(argc, argv);
        return RunSearch(line);
    }
    if (line.action != CommandLine::Action::Run) {
        Print(line.text, line.action == CommandLine::Action::Refuse ? stderr : stdout);
        return line.exitCode;
    }
    std::optional<QString> server;
    try {
        server = ChosenServer(line);
    } catch (const UserError& error) {
        Print(error.text() + QLatin1Char('\n'), stderr);
        return 1;
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
        // --local has forgotten the server already, and said so.
        Refuse(QStringLiteral("Pivanes est déjà ouvert sur le dossier « %1 » (processus %2). "
                              "%3 : revenez à la fenêtre de Pivanes déjà ouverte, ou fermez-la "
                              "avant de le relancer.")
                   .arg(QDir::toNativeSeparators(folder.path))
                   .arg(lock.Holder())
                   .arg(line.local ? QStringLiteral("Aucune fiche n'a été modifiée")
                                   : QStringLiteral("Rien n'a été modifié")));
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

    if (server) {
        // An unreachable server is said before any window opens, within the connect timeout;
        // without a screen there is no one to ask what to do instead.
        const CollectionChoice::Reached reached =
            CollectionChoice::ReachServer(*server, [](const StoreError& error) {
                if (!HasVisibleScreen()) {
                    Print(error.text() + QLatin1Char('\n'), stderr);
                    return CollectionChoice::StartChoice::Quit;
                }
                return UnreachableServerDialog::Ask(error);
            });
        if (reached.quit)
            return 1;
        if (reached.server && !line.server.isEmpty())
            RememberServer(*reached.server);
        server = reached.server;
    }

    // Owned here, for as long as any window is open.
    Session session;
    if (server)
        session.UseServer(*server);
    RunGuarded([&session] { StartProgram(session); });
    return application->exec();
}
