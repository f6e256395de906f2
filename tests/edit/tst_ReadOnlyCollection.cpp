// A collection that can only be read, found so at opening: the title says it, and every command
// that writes is off with its reason, before any card is typed for nothing.
#include "RealFaults.h"
#include "TestSupport.h"

#include "edit/TrashWindow.h"
#include "maintenance/BackupWindow.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"

#include <QDir>

namespace {

const QList<Card> kCards = CardsIn({{"WIN", 3}});

} // namespace

class TestReadOnlyCollection : public QObject {
    Q_OBJECT

private slots:
    // The decision alone: which commands go off, and what they and the title say.
    void onlyTheCommandsThatWriteGoOff_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("writes");
        for (const char* name :
             {"Modif", "Ajout", "Compacte", "Remettre", "Vider", "Restoration", "Supprimer"})
            QTest::newRow(name) << name << true;
        for (const char* name : {"Exporter", "Corbeille", "Quitter", "Sauve", "Command1"})
            QTest::newRow(name) << name << false;
    }
    void onlyTheCommandsThatWriteGoOff() {
        QFETCH(QString, command);
        QFETCH(bool, writes);
        const QString why = QStringLiteral("Le disque est en lecture seule.");
        const WriteAccess writable(std::nullopt);
        const WriteAccess readOnly(why);
        QVERIFY(writable.Allows(command));
        QCOMPARE(writable.WhyOff(command), QString());
        QCOMPARE(readOnly.Allows(command), !writes);
        QCOMPARE(readOnly.WhyOff(command), writes ? why : QString());
        const QString title = QStringLiteral("Pivanes — collection locale");
        QCOMPARE(writable.Title(title), title);
        QCOMPARE(readOnly.Title(title), title + " (lecture seule)");
    }

    void writingCommandsAreOffWithTheirReason_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>(
            "saying"); // in the tooltips; empty where the collection is writable
        const QString reader = QStringLiteral("lecteur_%1").arg(QCoreApplication::applicationPid());
        QTest::newRow("file that can be written") << "file"
                                                  << "";
        QTest::newRow("file on a read-only disk") << "read-only disk"
                                                  << "en lecture seule";
        QTest::newRow("role that may only read") << "server"
                                                 << "Le rôle « " + reader + " » peut lire";
    }
    void writingCommandsAreOffWithTheirReason() {
        QFETCH(QString, place);
        QFETCH(QString, saying);
        ProgramFixture fixture;
        ScratchVolume volume;
        const bool readOnly = !saying.isEmpty();
        if (place == "server") {
            const std::unique_ptr<Collection> owner = FreshCollection("postgres", kCards);
            owner->MoveToTrash(1);
            const QString reader =
                QStringLiteral("lecteur_%1").arg(QCoreApplication::applicationPid());
            RunPsql(owner->Place().name,
                    QStringLiteral("DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN "
                                   "duplicate_object THEN NULL; END $$; GRANT SELECT ON ALL "
                                   "TABLES IN SCHEMA public TO %1")
                        .arg(reader));
            TestSession().UseServer(
                QString(owner->Place().name)
                    .replace(QStringLiteral("user=postgres"), "user=" + reader));
        } else {
            if (readOnly) {
                SKIP_WITHOUT_VOLUME(volume);
                QVERIFY(QDir::setCurrent(volume.Path()));
            }
            WriteCollection(kCards);
            Collection::OpenLocal(QStringLiteral("Pivane.mdb"))->MoveToTrash(1);
            if (readOnly)
                QVERIFY2(volume.Break(DiskFault::ReadOnly), qPrintable(volume.WhyNot()));
        }

        MainWindow& main = Forms::Load<MainWindow>(TestSession());
        QCOMPARE(main.windowTitle(), readOnly ? "Pivanes (lecture seule)" : "Pivanes");
        const auto check = [&](const Form& form, const char* name, bool writes) {
            auto* command = form.findChild<QObject*>(QLatin1String(name));
            QVERIFY2(command, name);
            QVERIFY2(command->property("enabled").toBool() == !(readOnly && writes), name);
            const QString tip = command->property("toolTip").toString();
            // A menu item without a tooltip of its own shows its caption.
            const auto* item = qobject_cast<const QAction*>(command);
            const QString none = item ? item->iconText() : QString();
            QVERIFY2(readOnly && writes ? tip.contains(saying) : tip == none,
                     qPrintable(QString::fromLatin1(name) + ": " + tip));
        };
        for (const char* name : {"Modif", "Ajout", "Compacte"})
            check(main, name, true);
        for (const char* name : {"Recher", "Exporter", "Quitter", "Corbeille"})
            check(main, name, false);

        MenuItem(main, "Corbeille")->trigger();
        ProcessUnloads();
        const TrashWindow* trash = Forms::Find<TrashWindow>();
        QVERIFY(trash);
        for (const char* name : {"Remettre", "Vider"})
            check(*trash, name, true);
        check(*trash, "Quitter", false);

        QTest::mouseClick(trash->findChild<QPushButton*>(QStringLiteral("Quitter")),
                          Qt::LeftButton);
        ProcessUnloads();
        MenuItem(*Forms::Find<MainWindow>(), "Quitter")->trigger();
        ProcessUnloads();
        const BackupWindow* backup = Forms::Find<BackupWindow>();
        QVERIFY(backup);
        check(*backup, "Restoration", true);
        check(*backup, "Sauve", false);
    }
};

PIVANES_TEST_MAIN(TestReadOnlyCollection)
#include "tst_ReadOnlyCollection.moc"
