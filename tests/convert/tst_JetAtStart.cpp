// A Jet collection met at start is offered for conversion; a Jet backup is not restored as it is;
// the command line converts without a display.
#include "JetTesting.h"
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "convert/JetConversion.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

#include <QDir>
#include <QProcess>
#include <QProgressDialog>

namespace {

using Version = JetWriter::Version;

const QString kFile = QStringLiteral("Pivane.mdb");
const QString kKept = QStringLiteral("Pivane-jet.mdb");

// Notes the conversion's progress window whenever it is shown.
class ProgressWatcher : public QObject {
public:
    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }
    int highest = -1;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (auto* dialog = qobject_cast<QProgressDialog*>(object);
            dialog && object->objectName() == QLatin1String("ConversionProgress") &&
            (event->type() == QEvent::Show || event->type() == QEvent::Paint))
            highest = qMax(highest, dialog->value());
        return false;
    }
};

void RestoreFrom(const QString& picked) {
    BackupWindow& sauve = OpenBackupWindow();
    Control<QAction>(sauve, "Restoration")->trigger();
    Control<TextBox>(sauve, "Text1")->SetText(picked);
    QTest::mouseClick(Control<QPushButton>(sauve, "Command2"), Qt::LeftButton);
    FinishTask();
}

struct Run {
    int exitCode;
    QString out;
    QString err;
};

Run Program(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(BuiltProgram(PIVANES_PROGRAM), arguments);
    if (!process.waitForFinished(120000))
        qFatal("pivanes did not end");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestJetAtStart : public QObject {
    Q_OBJECT

private slots:
    void nonLeavesTheJetFileAndTheEntryState() {
        ProgramFixture fixture;
        WriteJet(kFile, Version::Jet4, SampleCards(12, Version::Jet4));
        const QByteArray original = FileBytes(kFile);

        MainWindow& main = OpenMainWindow();

        QCOMPARE(ShownMessages().size(), 1);
        const QString question = ShownMessages().front();
        for (const QString& part :
             {QStringLiteral("« Pivane.mdb »"), QStringLiteral("format Jet"),
              QStringLiteral("12 fiches"), QStringLiteral("« Pivane-jet.mdb »")})
            QVERIFY2(question.contains(part), qPrintable(question));
        QCOMPARE(FileBytes(kFile), original);
        QCOMPARE(FolderNames(fixture.Path()), QStringList({kFile}));
        QVERIFY(!TestSession().CollectionIsOpen());
        QVERIFY(main.isVisible() && Control<QLabel>(main, "lblLabels")->isVisible() &&
                !Control<TextBox>(main, "Text1")->isVisible());
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), QStringLiteral("NOM  PIVANE"));
        QVERIFY(IsMenuVisible(Control<QMenu>(main, "Catego")) &&
                !IsMenuVisible(Control<QMenu>(main, "Bur")));
    }

    void ouiConvertsAndOpensTheCollection_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("progressShown");
        QTest::newRow("Jet 3, 1 fiche") << Version::Jet3 << 1 << false;
        QTest::newRow("Jet 4, 12 fiches") << Version::Jet4 << 12 << false;
        QTest::newRow("Jet 4, 10000 fiches") << Version::Jet4 << 10000 << true;
    }

    void ouiConvertsAndOpensTheCollection() {
        QFETCH(Version, version);
        QFETCH(int, count);
        QFETCH(bool, progressShown);
        ProgramFixture fixture;
        const QList<JetCard> cards = SampleCards(count, version);
        WriteJet(kFile, version, cards);
        const QByteArray original = FileBytes(kFile);
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        ProgressWatcher progress;

        MainWindow& main = OpenMainWindow();

        QCOMPARE(ShownMessages().size(), 1);
        QCOMPARE(progress.highest > 0, progressShown);
        QVERIFY(TestSession().CollectionIsOpen());
        QCOMPARE(FileBytes(kKept), original);
        QCOMPARE(StoredJetCards(kFile), ByNumber(cards));
        Control<QAction>(main, "General")->trigger();
        QVERIFY2(Control<QLabel>(main, "lblLabels")->text().contains(QString::number(count)),
                 qPrintable(Control<QLabel>(main, "lblLabels")->text()));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(),
                 ByNumber(cards).front().Titre.value_or(QString()));
    }

    void aJetFileThatCannotBeReadIsReportedAndKept() {
        ProgramFixture fixture;
        JetWriter writer(Version::Jet4);
        writer.TableName(QStringLiteral("Adresses"));
        writer.Write(kFile);
        const QByteArray original = FileBytes(kFile);

        OpenMainWindow();

        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().front().contains(QStringLiteral("« TrucPivane »")),
                 qPrintable(ShownMessages().front()));
        QCOMPARE(FileBytes(kFile), original);
        QVERIFY(!TestSession().CollectionIsOpen());
    }

    void aJetBackupIsNotRestoredAndTheMessageSaysHowToConvertIt() {
        ProgramFixture fixture;
        WriteSyntheticCollection(40);
        const QByteArray live = FileBytes(kFile);
        const QString backup = fixture.Path(QStringLiteral("sauve/"));
        QVERIFY(QDir().mkpath(backup));
        const QList<JetCard> cards = SampleCards(30, Version::Jet3);
        WriteJet(backup + "PIVANE.MDB", Version::Jet3, cards);
        WriteBytes(backup + "SAUVE.KOR",
                   (backup + "\r\n" + QDir::currentPath() + "/\r\n09/03/2026\r\n").toUtf8());
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));

        RestoreFrom(backup);

        QVERIFY(!Fakes().eventLoop.EndRequested());
        QCOMPARE(ShownMessages().size(), 1);
        const QString refusal = ShownMessages().front();
        QVERIFY2(refusal.contains(QStringLiteral("pivanes --convertir \"%1PIVANE.MDB\"")
                                      .arg(QDir::toNativeSeparators(backup))),
                 qPrintable(refusal));
        QVERIFY2(refusal.contains(QStringLiteral("rien n'a été modifié")), qPrintable(refusal));
        QCOMPARE(FileBytes(kFile), live);

        // Done as the message says, the restore then brings the old cards back.
        QCOMPARE(Program({QStringLiteral("--convertir"), backup + "PIVANE.MDB"}).exitCode, 0);
        ResetProgramState();
        UseAdvancingClock(QDateTime(kToday, QTime(11, 0)));
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        RestoreFrom(backup);
        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(StoredJetCards(kFile), ByNumber(cards));
    }

    void commandLineConvertsWithoutADisplay_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("Jet 4") << "jet" << 0 << "est converti : 12 fiches";
        QTest::newRow("endommagé") << "damaged" << 1 << "endommagé";
        QTest::newRow("collection de ce programme") << "sqlite" << 1 << "pas au format Jet";
        QTest::newRow("fichier absent") << "missing" << 1 << "pas au format Jet";
        QTest::newRow("sans fichier") << "none" << 2 << "--convertir FICHIER.mdb";
    }

    void commandLineConvertsWithoutADisplay() {
        QFETCH(QString, content);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        ProgramFixture fixture;
        const QString file = fixture.Path(QStringLiteral("Vieux.mdb"));
        if (content == "jet" || content == "damaged")
            WriteJet(file, Version::Jet4, SampleCards(12, Version::Jet4));
        if (content == "damaged")
            WriteBytes(file, FileBytes(file).left(qsizetype{3} * 4096));
        if (content == "sqlite")
            WriteSyntheticCollection(5, file);
        const QByteArray before = FileBytes(file);

        const Run run =
            Program(content == "none" ? QStringList{QStringLiteral("--convertir")}
                                      : QStringList{QStringLiteral("--convertir"), file});

        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(said), qPrintable(run.out + run.err));
        if (exitCode == 0) {
            QCOMPARE(FileBytes(fixture.Path(QStringLiteral("Vieux-jet.mdb"))), before);
            QCOMPARE(StoredJetCards(file).size(), 12);
        } else {
            QCOMPARE(FileBytes(file), before);
            QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("Vieux-jet.mdb"))));
        }
    }
};

PIVANES_TEST_MAIN(TestJetAtStart)
#include "tst_JetAtStart.moc"
