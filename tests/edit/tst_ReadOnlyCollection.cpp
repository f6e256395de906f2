// A collection that can only be read is known at opening: the title says it, and every command
// that writes is off with its reason, before a card is typed for nothing.
#include "TestSupport.h"

#include "edit/TrashWindow.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"

class TestReadOnlyCollection : public QObject {
    Q_OBJECT

private slots:
    void onlyTheCommandsThatWriteGoOff_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("writes");
        for (const char* name :
             {"Modif", "Ajout", "Compacte", "Remettre", "Vider", "Restoration", "Supprimer"})
            QTest::newRow(name) << name << true;
        for (const char* name : {"Exporter", "Corbeille", "Sauve", "Command1"})
            QTest::newRow(name) << name << false;
    }
    void onlyTheCommandsThatWriteGoOff() {
        QFETCH(QString, command);
        QFETCH(bool, writes);
        const WriteAccess writable(std::nullopt);
        const WriteAccess readOnly(QStringLiteral("Pourquoi."));
        QVERIFY(writable.Allows(command) && writable.WhyOff(command).isEmpty());
        QCOMPARE(readOnly.Allows(command), !writes);
        QCOMPARE(readOnly.WhyOff(command), writes ? "Pourquoi." : "");
        QCOMPARE(writable.Title("Pivanes"), "Pivanes");
        QCOMPARE(readOnly.Title("Pivanes"), "Pivanes (lecture seule)");
    }

    // A role granted SELECT alone, on the real server, through the windows.
    void aRoleThatMayOnlyReadFindsTheWritingCommandsOff() {
        ProgramFixture fixture;
        const std::unique_ptr<Collection> owner =
            FreshCollection("postgres", CardsIn({{"WIN", 3}}));
        owner->MoveToTrash(1);
        const QString reader = QStringLiteral("lecteur_%1").arg(QCoreApplication::applicationPid());
        RunPsql(
            owner->Place().name,
            QStringLiteral("DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN duplicate_object "
                           "THEN NULL; END $$; GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1")
                .arg(reader));
        TestSession().UseServer(QString(owner->Place().name)
                                    .replace(QStringLiteral("user=postgres"), "user=" + reader));
        const auto check = [&](const Form& form, const QStringList& names) {
            for (const QString& name : names) {
                const auto* command = form.findChild<QObject*>(name);
                if (!command)
                    QFAIL(qPrintable(name));
                const bool writes = WriteAccess::Writes(name);
                QVERIFY2(command->property("enabled").toBool() != writes, qPrintable(name));
                QVERIFY2(command->property("toolTip").toString().contains(reader) == writes,
                         qPrintable(name));
            }
        };

        MainWindow& main = LoadMainWindow();
        QVERIFY2(main.windowTitle().startsWith(QStringLiteral("Pivanes — équipe sur serveur")) &&
                     main.windowTitle().endsWith(QStringLiteral(" (lecture seule)")),
                 qPrintable(main.windowTitle()));
        check(main, {"Modif", "Ajout", "Compacte", "Recher", "Exporter", "Corbeille", "Quitter"});
        MenuItem(main, "Corbeille")->trigger();
        ProcessUnloads();
        check(*FindWindow<TrashWindow>(), {"Remettre", "Vider", "Quitter"});
        MenuItem(LoadMainWindow(), "Quitter")->trigger();
        ProcessUnloads();
        check(*FindWindow<BackupWindow>(), {"Restoration", "Sauve"});
    }
};

PIVANES_TEST_MAIN(TestReadOnlyCollection)
#include "tst_ReadOnlyCollection.moc"
