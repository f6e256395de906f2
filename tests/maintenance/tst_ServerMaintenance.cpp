// Backup, compaction and restore of a collection kept on a server, through the windows: the
// server's own copy, maintenance and replacement, and no file of the data folder in its place.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "maintenance/BackupWindow.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

#include <QDir>

class TestServerMaintenance : public QObject {
    Q_OBJECT

private slots:
    void backupCompactionAndRestoreGoToTheServer() {
        ProgramFixture fixture;
        const std::unique_ptr<Collection> server =
            FreshCollection("postgres", CardsIn({{"WIN", 3}, {"MAT", 2}}));
        const QString name = server->Place().name;
        TestSession().UseServer(name);
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        const QString backup = fixture.Path(QStringLiteral("dest/Sauve"));
        QVERIFY(QDir().mkpath(fixture.Path(QStringLiteral("dest"))));

        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Sauve")->trigger();
        Control<TextBox>(sauve, "Text1")->SetText(backup);
        QTest::mouseClick(Control<QPushButton>(sauve, "Command1"), Qt::LeftButton);
        QVERIFY2(ShownMessages().value(0).contains("La collection sauvegardée contient 5 fiches"),
                 qPrintable(ShownMessages().value(0)));
        const QList<Card> backedUp = StoredCards(*server);
        QCOMPARE(StoredCards(backup + "/PIVANE.MDB"), backedUp);

        MenuItem(OpenMainWindow(), "Compacte")->trigger();
        QVERIFY2(ShownMessages().value(1).contains(
                     QRegularExpression("VACUUM ANALYZE.*occupaient \\d+,\\d Mo")),
                 qPrintable(ShownMessages().value(1)));

        server->Add({QStringLiteral("WIN"), QStringLiteral("APRÈS LA SAUVEGARDE"), {}});
        BackupWindow& restoring = OpenBackupWindow();
        Control<QAction>(restoring, "Restoration")->trigger();
        Control<TextBox>(restoring, "Text1")->SetText(backup);
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(restoring, "Command2"), Qt::LeftButton);
        const QString question = Fakes().messages.Shown().value(2).text;
        QVERIFY2(
            question.contains("Remplacer la collection du serveur « " + name + " » (6 fiches)"),
            qPrintable(question));
        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(StoredCards(*Collection::Open(CollectionPlace::Server(name))), backedUp);
        QVERIFY(!QFileInfo::exists(QStringLiteral("Pivane.mdb")));
    }
};

PIVANES_TEST_MAIN(TestServerMaintenance)
#include "tst_ServerMaintenance.moc"
