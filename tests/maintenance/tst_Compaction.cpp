// "Compression de Base": the database is rewritten compacted under its own name.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "maintenance/Compaction.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/SqliteCollection.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>

namespace {

const QString kDone = QStringLiteral("Compactage de la Base de Données et Terminée");

void DeleteEveryThirdCard() {
    Connection& connection =
        dynamic_cast<SqliteCollection&>(TestSession().collection()).connection();
    const TrustedSchema ownTriggers(connection);
    connection.Exec("DELETE FROM TrucPivane WHERE Numero % 3 = 0");
}

} // namespace

class TestCompaction : public QObject {
    Q_OBJECT

private slots:
    void compactionKeepsEveryCardAndNumber_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("plain") << "";
        QTest::newRow("cards deleted, numbers with gaps") << "deleted";
        QTest::newRow("temp.MDB left by an earlier version") << "stale";
        QTest::newRow("database already closed") << "closed";
        QTest::newRow("foreign file without the index") << "no index";
    }
    void compactionKeepsEveryCardAndNumber() {
        QFETCH(QString, before);
        ProgramFixture fixture;
        WriteSyntheticCollection(300);
        if (before == "no index")
            RunSqliteShell(QStringLiteral("Pivane.mdb"),
                           QStringLiteral("DROP INDEX TrucPivane_Cate"));
        MainWindow& main = OpenMainWindow();
        if (before == "deleted")
            DeleteEveryThirdCard();
        if (before == "stale")
            WriteBytes(QStringLiteral("temp.MDB"), "may hold the only copy of a collection");
        if (before == "closed")
            TestSession().CloseCollection();
        const QStringList cards = StoredRows();
        const qint64 sizeBefore = QFileInfo(QStringLiteral("Pivane.mdb")).size();
        const quint64 identity = FileIdentity();

        MenuItem(main, "Compacte")->trigger();

        FinishTask();

        QCOMPARE(ShownMessages(), QStringList({kDone}));
        QCOMPARE(StoredRows(), cards);
        // Rewritten in place, never renamed over: another program holding it open keeps it.
        QCOMPARE(FileIdentity(), identity);
        QCOMPARE(QDir().entryList(QDir::Files, QDir::Name),
                 before == "stale" ? QStringList({"Pivane.mdb", "temp.MDB"})
                                   : QStringList({"Pivane.mdb"}));
        QCOMPARE(IndexNames(), QStringList({"TrucPivane_Cate"}));
        QVERIFY(TestSession().CollectionIsOpen());
        if (before == "deleted")
            QVERIFY(QFileInfo(QStringLiteral("Pivane.mdb")).size() < sizeBefore);
    }

    // One message says why, and the file is as it was.
    void failedCompactionLeavesTheDatabaseAsItWas_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("reopened");
        QTest::newRow("damaged database") << "damaged"
                                          << "endommagé" << true;
        QTest::newRow("not a collection") << "text"
                                          << "n'est pas une base de fiches" << false;
        QTest::newRow("another program is writing") << "locked"
                                                    << "occupée" << false;
    }
    void failedCompactionLeavesTheDatabaseAsItWas() {
        QFETCH(QString, fault);
        QFETCH(QString, reason);
        QFETCH(bool, reopened);
        ProgramFixture fixture;
        WriteSyntheticCollection(300);
        MainWindow& main = OpenMainWindow();
        QProcess writer;
        if (fault == "damaged") {
            // The cards' pages; the schema's long texts of the triggers lie at the end of the
            // file, and a file without its schema would not open again at all.
            QByteArray bytes = FileBytes(QStringLiteral("Pivane.mdb"));
            for (qsizetype i = 8192; i < bytes.size() / 2; i += 5)
                bytes[i] = char(0x33);
            WriteBytes(QStringLiteral("Pivane.mdb"), bytes);
        } else if (fault == "text") {
            WriteBytes(QStringLiteral("Pivane.mdb"), "Mes fiches, en texte.\n");
        } else {
            // A script in the middle of a long write holds the file until it commits.
            writer.start(QStringLiteral("sqlite3"), {QStringLiteral("Pivane.mdb")});
            writer.write("BEGIN EXCLUSIVE;\nSELECT 'locked';\n");
            QVERIFY(writer.waitForReadyRead(30000));
        }
        const QByteArray original = FileBytes(QStringLiteral("Pivane.mdb"));

        MenuItem(main, "Compacte")->trigger();

        FinishTask();

        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().front().contains(QStringLiteral("compactage")) &&
                     ShownMessages().front().contains(reason),
                 qPrintable(ShownMessages().front()));
        QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), original);
        QCOMPARE(TestSession().CollectionIsOpen(), reopened);
        if (fault == "locked") {
            writer.write("ROLLBACK;\n");
            writer.closeWriteChannel();
            QVERIFY(writer.waitForFinished());
        }
    }

    // The selection is read again from the compacted file: the card on screen stays, and the
    // arrows step on from it.
    void theSelectionIsReadAgainAfterCompaction() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}, {"MAT", 2}}));
        MainWindow& main = OpenMainWindow();
        MenuItem(main, "Windows")->trigger();
        QTest::mouseClick(Control<QPushButton>(main, "Command2"), Qt::LeftButton);
        MenuItem(main, "Compacte")->trigger();
        FinishTask();
        QCOMPARE(ShownMessages().size(), 1);

        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), QStringLiteral("WINDOWS /  3 Fiches"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("WIN 2"));
        QTest::mouseClick(Control<QPushButton>(main, "Command2"), Qt::LeftButton);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("WIN 3"));
        QCOMPARE(Control<QLabel>(main, "Label2")->text(), QStringLiteral("FICHE N°  3"));
        QCOMPARE(ShownMessages().size(), 1);
        QCOMPARE(StoredRows().size(), 5);
    }

    // The main window paints while its task runs on the worker, but takes no command and starts
    // no second task; all comes back, focus included, once the task has ended.
    void theMainWindowTakesNoCommandWhileItsTaskRuns_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("compaction") << "Compacte";
        QTest::newRow("export") << "Exporter";
    }
    void theMainWindowTakesNoCommandWhileItsTaskRuns() {
        QFETCH(QString, command);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 20000}}));
        MainWindow& main = OpenMainWindow();
        Fakes().fileDialogs.SetNextAnswer(fixture.Path(QStringLiteral("Fiches.csv")));
        QWidget* focused = main.focusWidget();
        int ticksWhileBusy = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            if (!TestSession().worker().Busy())
                return;
            ++ticksWhileBusy;
            QVERIFY(!main.menuBar()->isEnabled() && !main.Client()->isEnabled());
            QVERIFY(!StartCompaction(TestSession(), [](const CompactionReport&) {}));
        });
        tick.start(1);
        MenuItem(main, qPrintable(command))->trigger();
        FinishTask();
        QVERIFY(ticksWhileBusy > 0);
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(main.menuBar()->isEnabled() && main.Client()->isEnabled());
        QCOMPARE(main.focusWidget(), focused);
        QCOMPARE(StoredRows().size(), 20000);
    }
};

PIVANES_TEST_MAIN(TestCompaction)
#include "tst_Compaction.moc"
