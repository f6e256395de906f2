// The backup window: the marker file, the backup and the ways out.
#include "MaintenanceTestSupport.h"
#include "RealFaults.h"
#include "TestSupport.h"
#include "maintenance/KorSauve.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Donnees.h"

#include <QDir>
#include <QStorageInfo>

namespace {

QString Root(const QString& path) {
    QString root = QStorageInfo(path).rootPath();
    return root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
}

QByteArray MarkerBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray FirstRunMarker() {
    return MarkerBytes({Root(QDir::currentPath()), QDir::currentPath(), "09/03/2026"});
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void StartBackupTo(KorSauve& sauve, const QString& folder, bool pressEnter) {
    sauve.Sauve->trigger();
    sauve.Text1->SetText(folder);
    if (pressEnter)
        QTest::keyClick(sauve.Text1, Qt::Key_Return);
    else
        QTest::mouseClick(sauve.Command1, Qt::LeftButton);
}

} // namespace

class tst_KorSauve : public QObject {
    Q_OBJECT

private slots:
    void firstUseWritesTheFirstRunMarker() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();

        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QCOMPARE(sauve.Label3->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        QCOMPARE(sauve.Text1->Text(), Root(QDir::currentPath()));
        for (QWidget* shown :
             {static_cast<QWidget*>(sauve.Drive1), static_cast<QWidget*>(sauve.Dir1),
              static_cast<QWidget*>(sauve.Text1)})
            QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
        for (QWidget* hidden :
             {static_cast<QWidget*>(sauve.Command1), static_cast<QWidget*>(sauve.Command2),
              static_cast<QWidget*>(sauve.Frame1), static_cast<QWidget*>(sauve.File1)})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QVERIFY(sauve.Sauve->isEnabled() && sauve.Restoration->isEnabled());
        // The card database stays open while the backup window is up.
        QVERIFY(Store().database().IsOpen());
    }

    void markerCutShortIsRewritten_data() {
        QTest::addColumn<QByteArray>("marker");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one line") << QByteArray("/media/usb/\r\n");
        QTest::newRow("two lines") << QByteArray("/media/usb/\r\n/home/\r\n");
    }
    void markerCutShortIsRewritten() {
        QFETCH(QByteArray, marker);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WriteBytes(QStringLiteral("Sauve.kor"), marker);
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QCOMPARE(sauve.Label3->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        QVERIFY(ShownMessages().isEmpty());
    }

    void backupWritesCopiesInCapitalsAndTheMarker_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pressEnter");
        QTest::addColumn<bool>("olderBackupThere");
        QTest::newRow("typed without a final slash, button") << "Sauve" << false << false;
        QTest::newRow("typed with a final slash, Enter") << "Sauve/" << true << false;
        QTest::newRow("over an older backup") << "Sauve" << false << true;
    }
    void backupWritesCopiesInCapitalsAndTheMarker() {
        QFETCH(QString, typed);
        QFETCH(bool, pressEnter);
        QFETCH(bool, olderBackupThere);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}, {"MAT", 2}}));
        const QString folder = fixture.Path(QStringLiteral("dest/Sauve"));
        QVERIFY(QDir().mkpath(fixture.Path(QStringLiteral("dest"))));
        if (olderBackupThere) {
            QVERIFY(QDir().mkpath(folder));
            WriteBytes(folder + QStringLiteral("/PIVANE.MDB"), "older copy");
        }
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        StartBackupTo(OpenBackupWindow(), fixture.Path(QStringLiteral("dest/")) + typed,
                      pressEnter);

        QVERIFY(!Forms::Find<KorSauve>());
        QVERIFY(Forms::Find<KorPivane>());
        QVERIFY(ShownMessages().isEmpty());
        const QByteArray marker = MarkerBytes(
            {folder + QLatin1Char('/'), QDir::currentPath() + QLatin1Char('/'), "09/03/2026"});
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), marker);
        QCOMPARE(FilesIn(folder), QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
        QCOMPARE(FileBytes(folder + QStringLiteral("/SAUVE.KOR")), marker);
        QCOMPARE(CardRows(folder + QStringLiteral("/PIVANE.MDB")), CardRows());

        KorSauve& again = OpenBackupWindow();
        QCOMPARE(again.Label3->text(),
                 QStringLiteral("DERNIERE SAUVEGARDE 09/03/2026 Sur Disque ") + Root(folder));
        QCOMPARE(again.Text1->Text(), folder + QLatin1Char('/'));
    }

    void failedBackupIsReportedAndTheMarkerPutBack_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("parent folder missing") << "nowhere/deeper/Sauve";
        QTest::newRow("a file in place of the folder") << "plainfile";
    }
    void failedBackupIsReportedAndTheMarkerPutBack() {
        QFETCH(QString, target);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        const QStringList cards = CardRows();
        WriteBytes(QStringLiteral("plainfile"), "not a folder");
        const QString old = fixture.Path(QStringLiteral("old/"));
        QVERIFY(QDir().mkpath(old));
        const QByteArray before = MarkerBytes({old, QDir::currentPath() + "/", "01/01/2020"});
        WriteBytes(QStringLiteral("Sauve.kor"), before);
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        StartBackupTo(sauve, fixture.Path(target), false);

        QCOMPARE(MessageBox::Testing::Shown().size(), 1);
        QCOMPARE(MessageBox::Testing::Shown().front().title, KorSauve::kFailedBackupTitle);
        QCOMPARE(MessageBox::Testing::Shown().front().text, QString());
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), before);
        QCOMPARE(CardRows(), cards);
        // The window starts again as when it was loaded.
        QCOMPARE(Forms::Find<KorSauve>(), &sauve);
        QVERIFY(!Forms::Find<KorPivane>());
        QCOMPARE(sauve.Label3->text(),
                 QStringLiteral("DERNIERE SAUVEGARDE 01/01/2020 Sur Disque ") + Root(old));
        QVERIFY(sauve.Sauve->isEnabled() && sauve.Quitter->isEnabled());
        QVERIFY(sauve.Text1->isVisible() && !sauve.Frame1->isVisible());
    }

    void backupIntoTheDataFolderIsRefused() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        StartBackupTo(OpenBackupWindow(), fixture.Path(), false);
        QCOMPARE(ShownMessages().size(), 1);
        QCOMPARE(FilesIn(fixture.Path()), QStringList({"Pivane.mdb", "Sauve.kor"}));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
    }

    // Root ignores file modes, so a folder named like the marker stands for a marker that
    // cannot be written.
    void unwritableMarkerIsReportedAndNothingIsCopied() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        QVERIFY(QDir().mkdir(QStringLiteral("Sauve.kor")));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        QCOMPARE(sauve.Label3->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(ShownMessages().front().contains(QStringLiteral("Sauve.kor")));

        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("dest"))));
        QVERIFY(ShownMessages().size() >= 2);
        QVERIFY(ShownMessages().last().contains(QStringLiteral("Sauve.kor")));
        QCOMPARE(Forms::Find<KorSauve>(), &sauve);
        QVERIFY(!Application::Testing::EndRequested());
    }

    void markerOnAFullOrReadOnlyDiskKeepsItsBytes_data() { AddDiskFaultRows(); }
    // The data folder on the faulty disk; the collection stays open where it was.
    void markerOnAFullOrReadOnlyDiskKeepsItsBytes() {
        QFETCH(DiskFault, fault);
        ScratchVolume volume;
        SKIP_WITHOUT_VOLUME(volume);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        QVERIFY(QDir().mkdir(fixture.Path(QStringLiteral("old"))));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorPivane& main = OpenMainWindow();
        QVERIFY(QDir::setCurrent(volume.Path()));
        const QByteArray before =
            MarkerBytes({fixture.Path(QStringLiteral("old/")), volume.Path() + "/", "01/01/2020"});
        WriteBytes(QStringLiteral("Sauve.kor"), before);
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        MenuItem(main, "Quitter")->trigger();
        KorSauve* sauve = Forms::Find<KorSauve>();
        QVERIFY(sauve);
        StartBackupTo(*sauve, fixture.Path(QStringLiteral("dest")), false);

        QCOMPARE(ShownMessages().size(), 1);
        const QString message = ShownMessages().front();
        QVERIFY2(message.startsWith(QStringLiteral("Le fichier « Sauve.kor » ne peut pas être "
                                                   "écrit")),
                 qPrintable(message));
        QVERIFY2(message.endsWith(UserError::SystemReason(ErrorNumberOf(fault))),
                 qPrintable(message));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), before);
        QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("dest"))));
        QCOMPARE(Forms::Find<KorSauve>(), sauve);
        QVERIFY(!Forms::Find<KorPivane>());
    }

    void backupOntoAFullOrReadOnlyDiskIsNotReportedDone_data() { AddDiskFaultRows(); }
    void backupOntoAFullOrReadOnlyDiskIsNotReportedDone() {
        QFETCH(DiskFault, fault);
        ScratchVolume volume;
        SKIP_WITHOUT_VOLUME(volume);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        const QString folder = volume.Path(QStringLiteral("Sauve/"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray olderMarker =
            MarkerBytes({folder, QDir::currentPath() + "/", "01/01/2020"});
        WriteBytes(folder + QStringLiteral("PIVANE.MDB"), "older copy");
        WriteBytes(folder + QStringLiteral("SAUVE.KOR"), olderMarker);
        WriteBytes(QStringLiteral("Sauve.kor"), olderMarker);
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        StartBackupTo(sauve, folder, false);

        QCOMPARE(MessageBox::Testing::Shown().size(), 1);
        QCOMPARE(MessageBox::Testing::Shown().front().title, KorSauve::kFailedBackupTitle);
        QCOMPARE(FilesIn(folder), QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
        QCOMPARE(FileBytes(folder + QStringLiteral("PIVANE.MDB")), QByteArray("older copy"));
        QCOMPARE(FileBytes(folder + QStringLiteral("SAUVE.KOR")), olderMarker);
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), olderMarker);
        QCOMPARE(Forms::Find<KorSauve>(), &sauve);
        QVERIFY(!Forms::Find<KorPivane>());
    }

    void pipeInPlaceOfTheMarkerIsRefused() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WatchedPipe pipe(fixture.Path(QStringLiteral("Sauve.kor")));
        QVERIFY(pipe.Made());
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        QCOMPARE(sauve.Label3->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        sauve.Restoration->trigger();

        QVERIFY2(!pipe.Released(), "blocked on the pipe");
        QVERIFY(!ShownMessages().isEmpty());
        for (const QString& message : ShownMessages())
            QVERIFY2(message.contains(QStringLiteral("« Sauve.kor »")) &&
                         message.contains(QStringLiteral("pas un fichier ordinaire")),
                     qPrintable(message));
        QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("dest"))));
        QVERIFY(!QFileInfo(QStringLiteral("Sauve.kor")).isFile());
        QVERIFY(QFileInfo::exists(QStringLiteral("Sauve.kor")));
    }

    void backupPreparationReplacesAMissingFolder() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WriteBytes(QStringLiteral("Sauve.kor"),
                   MarkerBytes({"/gone/away/", QDir::currentPath() + "/", "01/01/2020"}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        sauve.Sauve->trigger();
        const QString proposed = QDir::currentPath() + QStringLiteral("/SauvePivane/");
        QCOMPARE(sauve.Text1->Text(), proposed);
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")),
                 MarkerBytes({proposed, QDir::currentPath(), "09/03/2026"}));
        QVERIFY(!sauve.Sauve->isEnabled() && !sauve.Restoration->isEnabled());
        QVERIFY(sauve.Command1->isVisible() && !sauve.Command2->isVisible());
    }

    void leavingReturnsToTheMainWindow_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("menu Quitter") << false;
        QTest::newRow("window manager's close box") << true;
    }
    void leavingReturnsToTheMainWindow() {
        QFETCH(bool, closeBox);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        if (closeBox)
            sauve.close();
        else
            sauve.Quitter->trigger();
        QVERIFY(!Forms::Find<KorSauve>());
        QVERIFY(Forms::Find<KorPivane>() && Forms::Find<KorPivane>()->isVisible());
        QVERIFY(!Application::Testing::EndRequested());
    }

    void leavingIsRefusedWhileFilesAreCopied() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        QList<bool> quitterEnabled;
        auto now = std::make_shared<QDateTime>(QDateTime(kToday, QTime(10, 0)));
        Clock::SetForTests([&, now] {
            if (KorSauve* form = Forms::Find<KorSauve>();
                form && form->Label2->text() == QStringLiteral("JE SAUVEGARDE")) {
                quitterEnabled << form->Quitter->isEnabled();
                form->Quitter->trigger();
                form->close();
            }
            *now = now->addMSecs(100);
            return *now;
        });
        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        QVERIFY(!quitterEnabled.isEmpty());
        QVERIFY(!quitterEnabled.contains(true));
        QCOMPARE(FilesIn(fixture.Path(QStringLiteral("dest"))),
                 QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
    }

    void progressShowsEachCopiedFile() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        WriteBytes(QStringLiteral("notes.KOR"), "notes");
        WriteBytes(QStringLiteral("ignored.txt"), "not copied");
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        QCOMPARE(FilesIn(fixture.Path(QStringLiteral("dest"))),
                 QStringList({"NOTES.KOR", "PIVANE.MDB", "SAUVE.KOR"}));
        QCOMPARE(sauve.ProgressBar1->maximum(), 3);
        QCOMPARE(sauve.ProgressBar1->value(), 3);
        QCOMPARE(sauve.Frame1->title(), QDir::currentPath() + QStringLiteral("/Sauve.kor"));
        QCOMPARE(Donnees.CopyTarget, fixture.Path(QStringLiteral("dest/SAUVE.KOR")));
    }

    void doubleClickedFolderGoesIntoTheTextBox() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        QVERIFY(QDir().mkpath(fixture.Path(QStringLiteral("dest"))));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        sauve.Sauve->trigger();
        QVERIFY(sauve.Dir1->SetPath(fixture.Path()));
        const auto found = sauve.Dir1->findItems(QStringLiteral("dest"), Qt::MatchEndsWith);
        QCOMPARE(found.size(), 1);
        const QRect box = sauve.Dir1->visualItemRect(found.front());
        QTest::mouseClick(sauve.Dir1->viewport(), Qt::LeftButton, {}, box.center());
        QTest::mouseDClick(sauve.Dir1->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(sauve.Text1->Text(), fixture.Path(QStringLiteral("dest/")));
    }

    void choosingADriveShowsItsRoot() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        KorSauve& sauve = OpenBackupWindow();
        if (sauve.Drive1->count() < 2)
            QSKIP("only one mounted volume here");
        const int other = sauve.Drive1->currentIndex() == 0 ? 1 : 0;
        sauve.Drive1->setCurrentIndex(other);
        const QString root = sauve.Drive1->itemText(other);
        QCOMPARE(sauve.Dir1->Path(), root);
        QCOMPARE(sauve.Text1->Text(), root);
        QCOMPARE(Donnees.BackupFolder, root);
    }
};

PIVANES_TEST_MAIN(tst_KorSauve)
#include "tst_KorSauve.moc"
