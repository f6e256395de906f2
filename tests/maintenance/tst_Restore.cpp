// Restore from a backup folder: the live files are replaced whole, or not at all.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "maintenance/BackupCopies.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "shell/Session.h"
#include "store/Collection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray MarkerNaming(const QString& folder) {
    return (folder + "\r\n" + QDir::currentPath() + "/\r\n09/03/2026\r\n").toUtf8();
}

void BackUpThroughTheWindow(const QString& folder) {
    BackupWindow& sauve = OpenBackupWindow();
    Control<QAction>(sauve, "Sauve")->trigger();
    Control<TextBox>(sauve, "Text1")->SetText(folder);
    QTest::mouseClick(Control<QPushButton>(sauve, "Command1"), Qt::LeftButton);
    FinishTask();
    // The backup's end message, which the restore tests count without.
    QCOMPARE(ShownMessages().size(), 1);
    Fakes().messages.Clear();
}

void RestoreFrom(const QString& picked) {
    BackupWindow& sauve = OpenBackupWindow();
    Control<QAction>(sauve, "Restoration")->trigger();
    Control<TextBox>(sauve, "Text1")->SetText(picked);
    QTest::mouseClick(Control<QPushButton>(sauve, "Command2"), Qt::LeftButton);
    FinishTask();
}

void AddCard(const QString& title) {
    TestSession().collection().Add({QStringLiteral("WIN"), title, QString()});
}

// Five cards backed up through the window to dest/Sauve, on 09/03/2026.
QString BackUpFiveCards(const ProgramFixture& fixture, bool walMode = false) {
    WriteCollection(CardsIn({{"WIN", 3}, {"MAT", 2}}));
    if (walMode)
        RunSqliteShell(QStringLiteral("Pivane.mdb"), QStringLiteral("PRAGMA journal_mode = WAL"));
    UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
    QDir().mkpath(fixture.Path(QStringLiteral("dest")));
    QString backup = fixture.Path(QStringLiteral("dest/Sauve"));
    BackUpThroughTheWindow(backup);
    return backup;
}

void DamagePagesAfterTheFirst(const QString& file) {
    QByteArray bytes = FileBytes(file);
    for (qsizetype i = 4096; i < bytes.size() - 512; i += 7)
        bytes[i] = char(0x5a);
    WriteBytes(file, bytes);
}

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    void restoreUndoesChangesMadeAfterTheBackup_data() {
        QTest::addColumn<bool>("pickAnotherFolder");
        QTest::addColumn<bool>("walMode");
        QTest::newRow("picked the backup folder") << false << false;
        QTest::newRow("picked a folder whose marker names the backup") << true << false;
        QTest::newRow("collection left in WAL mode by another program") << false << true;
    }
    void restoreUndoesChangesMadeAfterTheBackup() {
        QFETCH(bool, pickAnotherFolder);
        QFETCH(bool, walMode);
        ProgramFixture fixture;
        const QString backup = BackUpFiveCards(fixture, walMode);
        const QStringList backedUp = StoredRows();
        // A backup stands alone, whatever journal the live file had.
        QCOMPARE(RunSqliteShell(backup + "/PIVANE.MDB", QStringLiteral("PRAGMA journal_mode")),
                 QStringLiteral("delete"));

        RetitleCard(2, QStringLiteral("CHANGED AFTER THE BACKUP"));
        QVERIFY(StoredRows() != backedUp);
        QString picked = backup;
        if (pickAnotherFolder) {
            picked = fixture.Path(QStringLiteral("dest/Other"));
            QVERIFY(QDir().mkpath(picked));
            QVERIFY(QFile::copy(backup + "/SAUVE.KOR", picked + "/SAUVE.KOR"));
        }
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        const quint64 identity = FileIdentity();
        RestoreFrom(picked);

        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(ShownMessages().size(), 2);
        QCOMPARE(StoredRows(), backedUp);
        // Written into, never renamed over: another program holding it open sees the backup.
        QCOMPARE(FileIdentity(), identity);
        // Restored onto the live names, with nothing left beside them.
        QCOMPARE(QDir(fixture.Path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Pivane.mdb", "Sauve.kor"}));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FileBytes(backup + "/SAUVE.KOR"));
    }

    // The marker fails to be copied back at one step of its writing: the user is told so and
    // the one in place keeps its bytes; the cards, which the engine writes, are restored.
    void markerThatCannotBeRestoredIsToldAndKept_data() { AddWriteStepRows(); }
    void markerThatCannotBeRestoredIsToldAndKept() {
        QFETCH(WriteStep, step);
        ProgramFixture fixture;
        const QString backup = BackUpFiveCards(fixture);
        const QStringList backedUp = StoredRows();
        RetitleCard(2, QStringLiteral("CHANGED AFTER THE BACKUP"));
        const QByteArray older =
            (backup + "/\r\n" + QDir::currentPath() + "/\r\n01/01/2020\r\n").toUtf8();
        WriteBytes(QStringLiteral("Sauve.kor"), older);
        const FailingWrites fault(step, fixture.Path());
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        RestoreFrom(backup);

        QVERIFY(fault.Struck());
        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(ShownMessages().size(), 2);
        QVERIFY2(ShownMessages().last().startsWith(
                     QStringLiteral("Ces fichiers n'ont pas pu être restaurés ; ceux qui étaient "
                                    "en place n'ont pas été modifiés : SAUVE.KOR")),
                 qPrintable(ShownMessages().last()));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), older);
        QCOMPARE(StoredRows(), backedUp);
        QCOMPARE(QDir(fixture.Path()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Pivane.mdb", "Sauve.kor"}));
    }

    // Every card of the collection in place is replaced: the user is asked first, with what
    // each side holds, and told at the end that the program closes.
    void restoreAsksFirstAndSaysItCloses_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Oui") << true;
        QTest::newRow("Non") << false;
    }
    void restoreAsksFirstAndSaysItCloses() {
        QFETCH(bool, yes);
        ProgramFixture fixture;
        const QString backup = BackUpFiveCards(fixture);
        const QStringList backedUp = StoredRows();
        AddCard(QStringLiteral("ADDED AFTER THE BACKUP"));
        const QByteArray live = FileBytes(QStringLiteral("Pivane.mdb"));

        if (yes)
            Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        RestoreFrom(backup);

        const auto& shown = Fakes().messages.Shown();
        QCOMPARE(shown.front().title, QStringLiteral("Restoration"));
        for (const char* part : {"Remplacer la collection locale du dossier",
                                 "Elle compte 6 fiches maintenant ; elle comptera 5 fiches après, "
                                 "celles de la sauvegarde du 09/03/2026",
                                 "perdues"})
            QVERIFY2(shown.front().text.contains(QString::fromUtf8(part)),
                     qPrintable(shown.front().text));
        QCOMPARE(Fakes().eventLoop.EndRequested(), yes);
        if (!yes) {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), live);
            QVERIFY(TestSession().CollectionIsOpen());
            BackupWindow* sauve = FindWindow<BackupWindow>();
            QVERIFY(sauve && Control<QPushButton>(sauve, "Command2")->isVisible() &&
                    Control<TextBox>(sauve, "Text1")->isVisible());
            return;
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown.back().text.contains(QStringLiteral("restaurée")) &&
                     shown.back().text.contains(QStringLiteral("5 fiches")) &&
                     shown.back().text.contains(QStringLiteral("se fermer")),
                 qPrintable(shown.back().text));
        QCOMPARE(StoredRows(), backedUp);
    }

    // What is restored over is no collection: it is replaced whole.
    void restoreOverALiveFileThatIsNoCollection_data() {
        QTest::addColumn<QByteArray>("live");
        QTest::newRow("text file") << QByteArray("Mes fiches, en texte.\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("damaged header") << QByteArray("SQLite format 3\0", 16).append(4080, 'x');
    }
    void restoreOverALiveFileThatIsNoCollection() {
        QFETCH(QByteArray, live);
        ProgramFixture fixture;
        const QString backup = fixture.Path(QStringLiteral("dest/"));
        QVERIFY(QDir().mkpath(backup));
        WriteCollection(CardsIn({{"WIN", 4}}), backup + "PIVANE.MDB");
        WriteBytes(backup + "SAUVE.KOR", MarkerNaming(backup));
        WriteBytes(QStringLiteral("Pivane.mdb"), live);
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));

        // The backup window opens on a collection that cannot be read: that is said first.
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Restoration")->trigger();
        Control<TextBox>(sauve, "Text1")->SetText(backup);
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(sauve, "Command2"), Qt::LeftButton);
        FinishTask();

        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(StoredRows(), StoredRows(backup + "PIVANE.MDB"));
        QCOMPARE(Collection::VerifiedCardCount(QStringLiteral("Pivane.mdb")), 4);
    }

    void restorePreparationProposesTheLastBackupFolder() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        const QString backup = fixture.Path(QStringLiteral("dest/"));
        QVERIFY(QDir().mkpath(backup));
        WriteBytes(QStringLiteral("Sauve.kor"), MarkerNaming(backup));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Restoration")->trigger();
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), backup);
        QCOMPARE(Control<DirectoryList>(sauve, "Dir1")->Path(), backup);
        QVERIFY(Control<QPushButton>(sauve, "Command2")->isVisible() &&
                !Control<QPushButton>(sauve, "Command1")->isVisible());
        QVERIFY(!Control<QAction>(sauve, "Sauve")->isEnabled() &&
                !Control<QAction>(sauve, "Restoration")->isEnabled());
    }

    void restoreIsRefusedAndNothingChanges_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("no marker in the picked folder") << "no marker";
        QTest::newRow("marker cut short") << "short marker";
        QTest::newRow("marker names a missing folder") << "missing folder";
        QTest::newRow("no database in the backup") << "no database";
        QTest::newRow("damaged database") << "damaged";
        QTest::newRow("not a database") << "not a database";
    }
    void restoreIsRefusedAndNothingChanges() {
        QFETCH(QString, fault);
        ProgramFixture fixture;
        WriteSyntheticCollection(40);
        const QString backup = fixture.Path(QStringLiteral("dest/"));
        QVERIFY(QDir().mkpath(backup));
        WriteSyntheticCollection(400, backup + "PIVANE.MDB");
        WriteBytes(backup + "SAUVE.KOR", MarkerNaming(backup));
        if (fault == "no marker")
            QFile::remove(backup + "SAUVE.KOR");
        else if (fault == "short marker")
            WriteBytes(backup + "SAUVE.KOR", MarkerNaming(backup).left(10));
        else if (fault == "missing folder")
            WriteBytes(backup + "SAUVE.KOR", MarkerNaming(fixture.Path("gone/")));
        else if (fault == "no database")
            QFile::remove(backup + "PIVANE.MDB");
        else if (fault == "damaged")
            DamagePagesAfterTheFirst(backup + "PIVANE.MDB");
        else
            WriteBytes(backup + "PIVANE.MDB", "Standard Jet DB");
        const QByteArray live = FileBytes(QStringLiteral("Pivane.mdb"));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));

        RestoreFrom(backup);

        QVERIFY(!Fakes().eventLoop.EndRequested());
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().front().contains(QStringLiteral("rien n'a été modifié")),
                 qPrintable(ShownMessages().front()));
        QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), live);
        QVERIFY(TestSession().CollectionIsOpen());
        BackupWindow* sauve = FindWindow<BackupWindow>();
        QVERIFY(sauve && Control<QPushButton>(sauve, "Command2")->isVisible() &&
                Control<QAction>(sauve, "Quitter")->isEnabled());
    }

    // Each file is reported before and after it is put in place, and one that cannot be (a
    // folder stands in its place) is named while the others are restored.
    void restoreReportsEachFileAndNamesTheFailures() {
        ProgramFixture fixture;
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        const QString backup = fixture.Path(QStringLiteral("dest/"));
        QDir().mkpath(backup);
        WriteBytes(backup + QStringLiteral("A.TXT"), "nouveau");
        WriteBytes(backup + QStringLiteral("B.TXT"), "nouveau");
        QDir().mkpath(QStringLiteral("B.TXT"));
        QStringList heard;
        const QStringList failed = BackupCopies::Restore(
            {QStringLiteral("A.TXT"), QStringLiteral("B.TXT")}, backup,
            QDir::currentPath() + QLatin1Char('/'), QStringLiteral("Pivane.mdb"), nullptr,
            [&heard, &backup](const QString& file, int done, int count) {
                heard << QStringLiteral("%1 %2/%3")
                             .arg(QString(file).remove(backup))
                             .arg(done)
                             .arg(count);
            });
        QCOMPARE(heard, (QStringList{"A.TXT 0/2", "A.TXT 1/2", "B.TXT 1/2", "B.TXT 2/2"}));
        QCOMPARE(failed, QStringList{QStringLiteral("B.TXT")});
        QCOMPARE(FileBytes(QStringLiteral("A.TXT")), QByteArray("nouveau"));
        QVERIFY(QFileInfo(QStringLiteral("B.TXT")).isDir());
    }
};

PIVANES_TEST_MAIN(TestRestore)
#include "tst_Restore.moc"
