// Backup, compaction and restore of a collection kept on a server, through the windows: the
// server's own copy, maintenance and replacement, and no file of the data folder in its place.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "maintenance/BackupWindow.h"
#include "maintenance/Marker.h"
#include "platform/Application.h"
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
        FinishTask();
        QVERIFY2(ShownMessages().value(0).contains("La collection sauvegardée contient 5 fiches"),
                 qPrintable(ShownMessages().value(0)));
        const QList<Card> backedUp = StoredCards(*server);
        QCOMPARE(StoredCards(backup + "/PIVANE.MDB"), backedUp);
        // The team's backup is dated apart: the local collection has still had none.
        QCOMPARE(Marker::Read(Marker::FileFor(name)).value().date, Marker::BackupDate(kToday));
        QVERIFY(!QFileInfo::exists(Marker::kFileName));
        TestSession().UseLocal();
        QCOMPARE(Control<QLabel>(OpenBackupWindow(), "Label3")->text(),
                 QStringLiteral("PREMIERE SAUVEGARDE "));
        Application::CloseAllWindows();
        ProcessUnloads();
        TestSession().UseServer(name);

        MenuItem(OpenMainWindow(), "Compacte")->trigger();

        FinishTask();
        QVERIFY2(ShownMessages().value(1).contains(
                     QRegularExpression("VACUUM ANALYZE.*occupaient \\d+,\\d Mo")),
                 qPrintable(ShownMessages().value(1)));

        server->Add({QStringLiteral("WIN"), QStringLiteral("APRÈS LA SAUVEGARDE"), {}});
        BackupWindow& restoring = OpenBackupWindow();
        Control<QAction>(restoring, "Restoration")->trigger();
        Control<TextBox>(restoring, "Text1")->SetText(backup);
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
        QTest::mouseClick(Control<QPushButton>(restoring, "Command2"), Qt::LeftButton);
        FinishTask();
        const QString question = Fakes().messages.Shown().value(2).text;
        QVERIFY2(question.contains("Remplacer la collection partagée de l'équipe, sur le serveur " +
                                   server->ServerName() + " « " + name + " »") &&
                     question.contains("Elle compte 6 fiches maintenant ; elle comptera 5 fiches "
                                       "après"),
                 qPrintable(question));
        QVERIFY(Fakes().eventLoop.EndRequested());
        QCOMPARE(StoredCards(*Collection::Open(CollectionPlace::Server(name))), backedUp);
        QVERIFY(!QFileInfo::exists(QStringLiteral("Pivane.mdb")));
        QVERIFY(server->RestoredElsewhere());
        QVERIFY(!server->RestoredElsewhere());
        // The backup's marker went to the team's, the local one still dates no backup.
        QCOMPARE(Marker::Read(Marker::FileFor(name)).value().date, Marker::BackupDate(kToday));
        QCOMPARE(Marker::Read().value().date, QString());
    }

    // Another program restores the shared collection: this one says so at its next action and
    // starts again from the main window on the restored cards.
    void anotherProgramsRestoreIsSaidAtTheNextAction() {
        ProgramFixture fixture;
        const std::unique_ptr<Collection> other =
            FreshCollection("postgres", CardsIn({{"WIN", 3}}));
        TestSession().UseServer(other->Place().name);
        MainWindow& main = OpenMainWindow();
        QVERIFY2(main.windowTitle().startsWith("Pivanes — équipe sur serveur "),
                 qPrintable(main.windowTitle()));
        MenuItem(main, "Windows")->trigger();
        WriteCollection(CardsIn({{"MAT", 2}}), QStringLiteral("copie.mdb"));
        other->ReplaceWith(QStringLiteral("copie.mdb"));

        MenuItem(main, "ListeFiche")->trigger();
        ProcessUnloads();
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().value(0).contains("La collection partagée a été restaurée"),
                 qPrintable(ShownMessages().value(0)));
        QCOMPARE(OpenWindows(), QStringList{"KorPivane"});
        QVERIFY(FindWindow<MainWindow>()->isVisible());
        QCOMPARE(TestSession().collection().Count(Selection::AllCards()).cards, 2);
        MenuItem(*FindWindow<MainWindow>(), "General")->trigger();
        QCOMPARE(ShownMessages().size(), 1);
    }
};

PIVANES_TEST_MAIN(TestServerMaintenance)
#include "tst_ServerMaintenance.moc"
