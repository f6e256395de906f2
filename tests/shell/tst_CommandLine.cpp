// What the command line asks for, and which data folder the program works in.
#include "TestSupport.h"

#include "shell/CommandLine.h"
#include "shell/DataFolder.h"

#include <QDir>

namespace {

// Sets environment variables for one test and puts them back.
class Environment {
public:
    void Set(const char* name, const QByteArray& value) {
        saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    ~Environment() {
        for (const Saved& saved : saved_) {
            if (saved.wasSet)
                qputenv(saved.name, saved.value);
            else
                qunsetenv(saved.name);
        }
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> saved_;
};

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void readsWhatTheUserAsks_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("saying");
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << A::Run << "" << 0 << "";
        QTest::newRow("folder") << QStringList{"notes"} << A::Run << "notes" << 0 << "";
        QTest::newRow("--dossier")
            << QStringList{"--dossier", "notes"} << A::Run << "notes" << 0 << "";
        QTest::newRow("-d") << QStringList{"-d", "notes"} << A::Run << "notes" << 0 << "";
        QTest::newRow("--dossier=")
            << QStringList{"--dossier=notes"} << A::Run << "notes" << 0 << "";
        QTest::newRow("same folder twice")
            << QStringList{"notes", "--dossier", "notes"} << A::Run << "notes" << 0 << "";
        QTest::newRow("folder named like an option")
            << QStringList{"--", "-notes"} << A::Run << "-notes" << 0 << "";
        QTest::newRow("--convertir")
            << QStringList{"--convertir", "Vieux.mdb"} << A::Convert << "" << 0 << "";
        QTest::newRow("--chercher")
            << QStringList{"notes", "--chercher", "clé"} << A::Search << "notes" << 0 << "";
        QTest::newRow("--chercher with --exporter")
            << QStringList{"--chercher", "clé", "--exporter", "a.mdb"} << A::Refuse << "" << 2
            << "Une seule recherche à la fois";
        QTest::newRow("--help") << QStringList{"--help"} << A::Help << "" << 0 << "Utilisation :";
        QTest::newRow("-h with a folder")
            << QStringList{"notes", "-h"} << A::Help << "" << 0 << "Utilisation :";
        QTest::newRow("--version")
            << QStringList{"--version"} << A::Version << "" << 0 << "Pivanes 5.0.2\n";
        QTest::newRow("-v") << QStringList{"-v"} << A::Version << "" << 0 << "Pivanes 5.0.2\n";
        QTest::newRow("unknown long")
            << QStringList{"--bogus"} << A::Refuse << "" << 2 << "Option inconnue : --bogus.";
        QTest::newRow("unknown short")
            << QStringList{"-x"} << A::Refuse << "" << 2 << "Option inconnue : -x.";
        QTest::newRow("unknown beside help")
            << QStringList{"--help", "--bogus"} << A::Refuse << "" << 2 << "Option inconnue";
        QTest::newRow("no value") << QStringList{"--dossier"} << A::Refuse << "" << 2
                                  << "L'option --dossier attend une valeur : pivanes --dossier "
                                     "DOSSIER.";
        QTest::newRow("no file to convert")
            << QStringList{"--convertir"} << A::Refuse << "" << 2
            << "L'option --convertir attend une valeur : pivanes --convertir FICHIER.mdb.";
        QTest::newRow("convert with a folder")
            << QStringList{"--convertir", "Vieux.mdb", "notes"} << A::Refuse << "" << 2
            << "La conversion prend un seul fichier et aucun dossier";
        QTest::newRow("empty value") << QStringList{"--dossier", ""} << A::Refuse << "" << 2
                                     << "Le nom du dossier de données est vide.";
        QTest::newRow("two folders") << QStringList{"a", "b"} << A::Refuse << "" << 2
                                     << "Un seul dossier de données à la fois : « a », « b ».";
        QTest::newRow("folder and --dossier") << QStringList{"a", "--dossier", "b"} << A::Refuse
                                              << "" << 2 << "Un seul dossier de données à la fois";
    }
    void readsWhatTheUserAsks() {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(QString, folder);
        QFETCH(int, exitCode);
        QFETCH(QString, saying);
        const CommandLine line = ReadCommandLine(QStringList{"pivanes"} + arguments);
        QCOMPARE(line.action, action);
        QCOMPARE(line.folder, folder);
        QCOMPARE(line.exitCode, exitCode);
        QVERIFY2(line.text.contains(saying), qPrintable(line.text));
        QCOMPARE(line.jetFile, action == CommandLine::Action::Convert ? arguments.value(1) : "");
        if (action == CommandLine::Action::Refuse)
            QVERIFY(line.text.contains("« pivanes --help » donne les options."));
    }

    void helpNamesEveryOption() {
        const QString help = ReadCommandLine({"pivanes", "--help"}).text;
        for (const char* option :
             {"-d, --dossier DOSSIER", "-h, --help", "-v, --version", "$XDG_DATA_HOME/pivanes"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }

    void defaultFolderFollowsTheUsersDataFolder_data() {
        QTest::addColumn<QByteArray>("xdgDataHome");
        QTest::addColumn<QString>("expected"); // under the test's home folder
        QTest::newRow("XDG_DATA_HOME") << QByteArray("DONNEES") << "DONNEES/pivanes";
        QTest::newRow("unset") << QByteArray() << ".local/share/pivanes";
        QTest::newRow("relative, so ignored") << QByteArray("rel") << ".local/share/pivanes";
    }
    void defaultFolderFollowsTheUsersDataFolder() {
        QFETCH(QByteArray, xdgDataHome);
        QFETCH(QString, expected);
        ProgramFixture fixture;
        Environment environment;
        environment.Set("HOME", fixture.Path().toLocal8Bit());
        environment.Set("XDG_DATA_HOME", xdgDataHome == "DONNEES"
                                             ? fixture.Path("DONNEES").toLocal8Bit()
                                             : xdgDataHome);
        const DataFolder::Choice choice = DataFolder::Choose(QString());
        QCOMPARE(choice.path, fixture.Path(expected));
        QVERIFY(choice.problem.isEmpty());
        QVERIFY2(!QFileInfo::exists(choice.path), "made only once a window can be shown");
        QCOMPARE(DataFolder::Make(choice.path), QString());
        QVERIFY(QFileInfo(choice.path).isDir());
        QVERIFY2(QDir(choice.path).isEmpty(), "a new data folder holds nothing yet");
    }

    void aDataFolderThatCannotBeMadeIsRefused() {
        ProgramFixture fixture;
        Environment environment;
        WriteBytes("fichier", "pas un dossier");
        environment.Set("XDG_DATA_HOME", fixture.Path("fichier").toLocal8Bit());
        const DataFolder::Choice choice = DataFolder::Choose(QString());
        QVERIFY(DataFolder::Make(choice.path)
                    .startsWith("Le dossier de données « " + fixture.Path("fichier") +
                                "/pivanes » n'a pas pu être créé"));
    }

    void aNamedFolderMustExist_data() {
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("problem");
        QTest::newRow("folder") << "notes"
                                << "";
        QTest::newRow("missing") << "absent"
                                 << "Le dossier « absent » n'existe pas : Pivanes ne s'ouvre pas "
                                    "et ne crée rien.";
        QTest::newRow("a file") << "fichier"
                                << "« fichier » n'est pas un dossier : Pivanes ne s'ouvre pas et "
                                   "ne crée rien.";
    }
    void aNamedFolderMustExist() {
        QFETCH(QString, named);
        QFETCH(QString, problem);
        const bool accepted = problem.isEmpty();
        ProgramFixture fixture;
        QDir().mkdir("notes");
        WriteBytes("fichier", "pas un dossier");
        const DataFolder::Choice choice = DataFolder::Choose(named);
        QCOMPARE(choice.path, accepted ? fixture.Path(named) : QString());
        QCOMPARE(choice.problem, problem);
        QVERIFY(!QFileInfo::exists("absent"));
    }
};

PIVANES_TEST_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
