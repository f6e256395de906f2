// The backup window: the marker file, the backup and the ways out.
#include "MaintenanceTestSupport.h"
#include "RealFaults.h"
#include "TestSupport.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/UserError.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

#include <QDir>
#include <QListView>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTimer>
#include <optional>
#include <unistd.h>

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

QString Home() {
    return QDir::homePath() + QLatin1Char('/');
}

// No backup was made yet: the marker names no date.
QByteArray FirstRunMarker() {
    return MarkerBytes({Home(), QDir::currentPath(), ""});
}

// The user's home folder somewhere else while it lives.
class HomeAt {
public:
    explicit HomeAt(const QString& folder) : old_(qgetenv("HOME")) {
        QDir().mkpath(folder);
        qputenv("HOME", QFile::encodeName(folder));
    }
    ~HomeAt() { qputenv("HOME", old_); }

private:
    QByteArray old_;
};

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A backup made earlier into folder, which a failed one leaves as it was; answers its marker,
// which the data folder's repeats.
QByteArray WriteEarlierBackup(const QString& folder) {
    QByteArray marker = MarkerBytes({folder, QDir::currentPath() + "/", "01/01/2020"});
    WriteBytes(folder + QStringLiteral("PIVANE.MDB"), "older copy");
    WriteBytes(folder + QStringLiteral("SAUVE.KOR"), marker);
    WriteBytes(QStringLiteral("Sauve.kor"), marker);
    return marker;
}

bool EarlierBackupKept(const QString& folder, const QByteArray& marker) {
    return FilesIn(folder) == QStringList({"PIVANE.MDB", "SAUVE.KOR"}) &&
           FileBytes(folder + QStringLiteral("PIVANE.MDB")) == "older copy" &&
           FileBytes(folder + QStringLiteral("SAUVE.KOR")) == marker &&
           FileBytes(QStringLiteral("Sauve.kor")) == marker;
}

void StartBackupTo(BackupWindow& sauve, const QString& folder, bool pressEnter) {
    Control<QAction>(sauve, "Sauve")->trigger();
    Control<TextBox>(sauve, "Text1")->SetText(folder);
    if (pressEnter)
        QTest::keyClick(Control<TextBox>(sauve, "Text1"), Qt::Key_Return);
    else
        QTest::mouseClick(Control<QPushButton>(sauve, "Command1"), Qt::LeftButton);
    FinishTask();
}

// Root may enter every folder, so a check of access rights runs again in a child process of
// this test as the user "nobody". A volume whose root only root may enter is lent to it.
void RunAsNobody(const char* testFunction) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("setpriv is needed to run the check as another user");
    ScratchVolume lent(qint64{1024} * 1024);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (lent.IsMounted() &&
        QFile::setPermissions(lent.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        environment.insert(QStringLiteral("PIVANES_LOCKED_VOLUME"), lent.Path());
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                          QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                          QString::fromLatin1(testFunction)});
    QVERIFY(child.waitForFinished(-1));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             output.constData());
    QVERIFY2(!output.contains("SKIP"), output.constData());
    QVERIFY2(!environment.contains(QStringLiteral("PIVANES_LOCKED_VOLUME")) ||
                 !output.contains("no volume lent"),
             output.constData());
}

// The font of each named control: a window loaded again must look the same.
QMap<QString, QFont> FontsOf(const QWidget& window) {
    QMap<QString, QFont> fonts;
    for (const QWidget* control : window.findChildren<QWidget*>())
        if (!control->objectName().isEmpty())
            fonts.insert(control->objectName(), control->font());
    return fonts;
}

} // namespace

class TestBackupWindow : public QObject {
    Q_OBJECT

private slots:
    // A normal user cannot write at the root of the file system: the first backup is proposed
    // in their home folder, and the lists start there.
    void firstUseProposesTheHomeFolder() {
        ProgramFixture fixture;
        const HomeAt home(fixture.Path(QStringLiteral("home/user")));
        WriteCollection(CardsIn({{"WIN", 2}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();

        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QCOMPARE(Control<QLabel>(sauve, "Label3")->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(),
                 fixture.Path(QStringLiteral("home/user/")));
        QCOMPARE(Control<DirectoryList>(sauve, "Dir1")->Path(),
                 fixture.Path(QStringLiteral("home/user/")));
        QCOMPARE(Control<DriveList>(sauve, "Drive1")->Drive(),
                 Root(fixture.Path(QStringLiteral("home/user"))));
        for (QWidget* shown : {static_cast<QWidget*>(Control<DriveList>(sauve, "Drive1")),
                               static_cast<QWidget*>(Control<DirectoryList>(sauve, "Dir1")),
                               static_cast<QWidget*>(Control<TextBox>(sauve, "Text1"))})
            QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
        for (QWidget* hidden : {static_cast<QWidget*>(Control<QPushButton>(sauve, "Command1")),
                                static_cast<QWidget*>(Control<QPushButton>(sauve, "Command2")),
                                static_cast<QWidget*>(Control<QGroupBox>(sauve, "Frame1")),
                                static_cast<QWidget*>(Control<QListView>(sauve, "File1"))})
            QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
        QVERIFY(Control<QAction>(sauve, "Sauve")->isEnabled() &&
                Control<QAction>(sauve, "Restoration")->isEnabled());
        // The card database stays open while the backup window is up.
        QVERIFY(TestSession().CollectionIsOpen());
    }

    // Leaving the window, whichever way, or failing a backup, makes no backup: the window
    // still says so when it opens again.
    void noDateWithoutABackup_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("Sauvegarde, then Quitter") << "Sauvegarde";
        QTest::newRow("close box") << "close box";
        QTest::newRow("a backup that failed") << "failed";
    }
    void noDateWithoutABackup() {
        QFETCH(QString, way);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        if (way == "Escape") {
            QTest::keyClick(Control<DirectoryList>(sauve, "Dir1"), Qt::Key_Escape);
        } else if (way == "close box") {
            sauve.close();
        } else if (way == "Sauvegarde") {
            Control<QAction>(sauve, "Sauve")->trigger();
            Control<QAction>(sauve, "Quitter")->trigger();
        } else {
            StartBackupTo(sauve, fixture.Path(QStringLiteral("nowhere/deeper")), false);
            Control<QAction>(sauve, "Quitter")->trigger();
        }
        ProcessUnloads();
        QVERIFY(!FindWindow<BackupWindow>());
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QCOMPARE(Control<QLabel>(OpenBackupWindow(), "Label3")->text(),
                 QStringLiteral("PREMIERE SAUVEGARDE "));
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
        BackupWindow& sauve = OpenBackupWindow();
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QCOMPARE(Control<QLabel>(sauve, "Label3")->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
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

        QVERIFY(!FindWindow<BackupWindow>());
        QVERIFY(FindWindow<MainWindow>());
        // One message says where the copies went, that they were read back whole, and the cards.
        QCOMPARE(Fakes().messages.Shown().size(), 1);
        QCOMPARE(Fakes().messages.Shown().front().title, QStringLiteral("Sauvegarde"));
        QCOMPARE(Fakes().messages.Shown().front().text,
                 QStringLiteral("La sauvegarde est faite dans le dossier\n« %1/ ».\nPIVANE.MDB et "
                                "SAUVE.KOR y ont été copiés, relus et trouvés complets.\nLa "
                                "collection sauvegardée contient 5 fiches.")
                     .arg(folder));
        const QByteArray marker = MarkerBytes(
            {folder + QLatin1Char('/'), QDir::currentPath() + QLatin1Char('/'), "09/03/2026"});
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), marker);
        QCOMPARE(FilesIn(folder), QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
        QCOMPARE(FileBytes(folder + QStringLiteral("/SAUVE.KOR")), marker);
        QCOMPARE(StoredRows(folder + QStringLiteral("/PIVANE.MDB")), StoredRows());

        BackupWindow& again = OpenBackupWindow();
        QCOMPARE(Control<QLabel>(again, "Label3")->text(),
                 QStringLiteral("DERNIERE SAUVEGARDE 09/03/2026 Sur Disque ") + Root(folder));
        QCOMPARE(Control<TextBox>(again, "Text1")->Text(), folder + QLatin1Char('/'));
    }

    void failedBackupIsReportedAndTheMarkerPutBack_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("parent folder missing") << "nowhere/deeper/Sauve";
    }
    void failedBackupIsReportedAndTheMarkerPutBack() {
        QFETCH(QString, target);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        const QStringList cards = StoredRows();
        WriteBytes(QStringLiteral("plainfile"), "not a folder");
        const QString old = fixture.Path(QStringLiteral("old/"));
        QVERIFY(QDir().mkpath(old));
        const QByteArray before = MarkerBytes({old, QDir::currentPath() + "/", "01/01/2020"});
        WriteBytes(QStringLiteral("Sauve.kor"), before);
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        StartBackupTo(sauve, fixture.Path(target), false);

        QCOMPARE(Fakes().messages.Shown().size(), 1);
        QCOMPARE(Fakes().messages.Shown().front().title, BackupWindow::kFailedBackupTitle);
        // What failed, where, why, and that nothing else changed.
        const QString text = Fakes().messages.Shown().front().text;
        for (const QString& part :
             {QStringLiteral("« PIVANE.MDB »"), QStringLiteral("« SAUVE.KOR »"),
              QStringLiteral("« %1/ »").arg(fixture.Path(target)),
              QStringLiteral("n'existe pas et n'a pas pu être créé"),
              QStringLiteral("La collection en place n'a pas été modifiée.")})
            QVERIFY2(text.contains(part), qPrintable(text));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), before);
        QCOMPARE(StoredRows(), cards);
        // The window starts again as when it was loaded.
        QCOMPARE(FindWindow<BackupWindow>(), &sauve);
        QVERIFY(!FindWindow<MainWindow>()->isVisible());
        QCOMPARE(Control<QLabel>(sauve, "Label3")->text(),
                 QStringLiteral("DERNIERE SAUVEGARDE 01/01/2020 Sur Disque ") + Root(old));
        QVERIFY(Control<QAction>(sauve, "Sauve")->isEnabled() &&
                Control<QAction>(sauve, "Quitter")->isEnabled());
        QVERIFY(Control<TextBox>(sauve, "Text1")->isVisible() &&
                !Control<QGroupBox>(sauve, "Frame1")->isVisible());
    }

    void backupOntoAFileIsRefusedBeforeAnythingIsWritten_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("a file in place of the folder") << "plainfile";
        QTest::newRow("a file in place of its parent") << "plainfile/Sauve";
    }
    void backupOntoAFileIsRefusedBeforeAnythingIsWritten() {
        QFETCH(QString, target);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WriteBytes(QStringLiteral("plainfile"), "not a folder");
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        StartBackupTo(sauve, fixture.Path(target), false);
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(ShownMessages().front().contains(QStringLiteral("est un fichier")));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());
        QVERIFY(Control<QPushButton>(sauve, "Command1")->isVisible() &&
                Control<TextBox>(sauve, "Text1")->isVisible());
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

    // The marker cannot be written: one message says that the backup was not made and why,
    // and nothing is copied. A read-only data folder is a real read-only file system.
    void unwritableMarkerAbandonsTheBackupWithOneMessage_data() {
        QTest::addColumn<bool>("readOnlyVolume");
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder named like the marker")
            << false << "« Sauve.kor » n'y est pas un fichier ordinaire";
        QTest::newRow("read-only data folder") << true << "lecture seule";
    }
    void unwritableMarkerAbandonsTheBackupWithOneMessage() {
        QFETCH(bool, readOnlyVolume);
        QFETCH(QString, why);
        std::optional<ScratchVolume> volume;
        if (readOnlyVolume) {
            volume.emplace(4 * 1024 * 1024);
            SKIP_WITHOUT_VOLUME(*volume);
        }
        ProgramFixture fixture;
        if (volume) {
            QVERIFY(QDir::setCurrent(volume->Path()));
            WriteCollection(CardsIn({{"WIN", 1}}));
            QVERIFY2(volume->Break(DiskFault::ReadOnly), qPrintable(volume->WhyNot()));
        } else {
            WriteCollection(CardsIn({{"WIN", 1}}));
            QVERIFY(QDir().mkdir(QStringLiteral("Sauve.kor")));
        }
        const QStringList cards = StoredRows();
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        QCOMPARE(Control<QLabel>(sauve, "Label3")->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        QVERIFY(ShownMessages().isEmpty());

        for (int attempt = 1; attempt <= 2; ++attempt) {
            StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
            QCOMPARE(ShownMessages().size(), attempt);
            QVERIFY2(ShownMessages().last().startsWith(
                         QStringLiteral("La sauvegarde n'a pas été faite")) &&
                         ShownMessages().last().contains(why),
                     qPrintable(ShownMessages().last()));
        }
        QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("dest"))));
        QCOMPARE(StoredRows(), cards);
        QCOMPARE(FindWindow<BackupWindow>(), &sauve);
        QVERIFY(Control<QAction>(sauve, "Sauve")->isEnabled() &&
                Control<TextBox>(sauve, "Text1")->isVisible());
        QVERIFY(!Fakes().eventLoop.EndRequested());
    }

    // A failed backup loads the window again: it is scaled from its design each time.
    void failedBackupsKeepTheWindowsSize_data() {
        QTest::addColumn<int>("screenPixels");
        for (int pixels : {720, 768, 1080, 1440, 2160})
            QTest::addRow("%d", pixels) << pixels;
    }
    void failedBackupsKeepTheWindowsSize() {
        QFETCH(int, screenPixels);
        ProgramFixture fixture;
        Fakes().screen.Set(screenPixels * 15);
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        const QSize size = sauve.size();
        Control<QAction>(sauve, "Sauve")->trigger();
        const QRect button = Control<QPushButton>(sauve, "Command1")->geometry();
        const QMap<QString, QFont> fonts = FontsOf(sauve);
        for (int attempt = 0; attempt < 3; ++attempt) {
            StartBackupTo(sauve, fixture.Path(QStringLiteral("nowhere/deeper")), false);
            QCOMPARE(sauve.size(), size);
        }
        Control<QAction>(sauve, "Sauve")->trigger();
        QCOMPARE(Control<QPushButton>(sauve, "Command1")->geometry(), button);
        QCOMPARE(FontsOf(sauve), fonts);
        QCOMPARE(Fakes().messages.Shown().size(), 3);
        QVERIFY(Control<QPushButton>(sauve, "Command1")->geometry().bottom() <
                sauve.Client()->height());
        QVERIFY(sauve.height() <= screenPixels);
    }

    // Folders the user may not enter are refused with a message, whether opened in the folder
    // list, chosen as a drive or typed, and nothing is copied.
    void foldersTheUserMayNotEnterAreRefused() {
        if (::geteuid() == 0) {
            RunAsNobody("foldersTheUserMayNotEnterAreRefused");
            return;
        }
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        const QString locked = fixture.Path(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked + QStringLiteral("/inside")));
        QVERIFY(QFile::setPermissions(locked, {}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Sauve")->trigger();
        QVERIFY(Control<DirectoryList>(sauve, "Dir1")->SetPath(fixture.Path()));
        const QString shown = Control<TextBox>(sauve, "Text1")->Text();

        QTRY_VERIFY(Control<DirectoryList>(sauve, "Dir1")->RowOf(locked).isValid());
        Control<DirectoryList>(sauve, "Dir1")
            ->setCurrentIndex(Control<DirectoryList>(sauve, "Dir1")->RowOf(locked));
        Control<DirectoryList>(sauve, "Dir1")->setFocus();
        QTest::keyClick(Control<DirectoryList>(sauve, "Dir1"), Qt::Key_Return);
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().last().contains(locked), qPrintable(ShownMessages().last()));
        QCOMPARE(Control<DirectoryList>(sauve, "Dir1")->Path(), fixture.Path() + QLatin1Char('/'));
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), shown);

        if (const QString volume = qEnvironmentVariable("PIVANES_LOCKED_VOLUME");
            !volume.isEmpty()) {
            const int index =
                Control<DriveList>(sauve, "Drive1")->findText(volume + QLatin1Char('/'));
            QVERIFY(index >= 0);
            Control<DriveList>(sauve, "Drive1")->setCurrentIndex(index);
            QCOMPARE(ShownMessages().size(), 2);
            QVERIFY(ShownMessages().last().contains(volume));
            QCOMPARE(Control<DirectoryList>(sauve, "Dir1")->Path(),
                     fixture.Path() + QLatin1Char('/'));
            QCOMPARE(Control<DriveList>(sauve, "Drive1")->Drive(), Root(fixture.Path()));
            Fakes().messages.Clear();
        } else {
            qInfo("no volume lent: the drive list is not tried");
            Fakes().messages.Clear();
        }

        for (const QString& typed : {locked, locked + QStringLiteral("/inside/new")}) {
            Control<TextBox>(sauve, "Text1")->SetText(typed);
            QTest::mouseClick(Control<QPushButton>(sauve, "Command1"), Qt::LeftButton);
            QVERIFY2(ShownMessages().last().startsWith(
                         QStringLiteral("La sauvegarde n'a pas été faite")) &&
                         ShownMessages().last().contains(locked),
                     qPrintable(ShownMessages().last()));
            QVERIFY(Control<QPushButton>(sauve, "Command1")->isVisible() &&
                    Control<TextBox>(sauve, "Text1")->isVisible());
        }
        QCOMPARE(ShownMessages().size(), 2);
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), FirstRunMarker());

        Control<QAction>(sauve, "Quitter")->trigger();
        BackupWindow& again = OpenBackupWindow();
        Control<QAction>(again, "Restoration")->trigger();
        Control<TextBox>(again, "Text1")->SetText(locked);
        QTest::mouseClick(Control<QPushButton>(again, "Command2"), Qt::LeftButton);
        QCOMPARE(ShownMessages().size(), 3);
        QVERIFY2(ShownMessages().last().contains(QStringLiteral("droit")) &&
                     ShownMessages().last().contains(locked),
                 qPrintable(ShownMessages().last()));
        QVERIFY(!Fakes().eventLoop.EndRequested());
        QVERIFY(
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    // The whole backup from the keyboard, on a screen of 1080 pixels: the menu through Alt, the
    // folder list through Tab, the arrows and Enter, the button through Space.
    void backupWithoutAMouse() {
        ProgramFixture fixture;
        Fakes().screen.Set(1080 * 15);
        const HomeAt home(fixture.Path());
        WriteCollection(CardsIn({{"WIN", 2}}));
        QVERIFY(QDir().mkdir(fixture.Path(QStringLiteral("dest"))));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        auto focused = [&sauve] {
            return sauve.focusWidget() ? sauve.focusWidget() : static_cast<QWidget*>(&sauve);
        };
        auto tabTo = [&](QWidget* control) {
            for (int step = 0; step < 20 && focused() != control; ++step)
                QTest::keyClick(focused(), Qt::Key_Tab);
            return focused() == control;
        };
        QTest::keyClick(&sauve, Qt::Key_Alt);
        QTest::keyClick(sauve.menuBar(), Qt::Key_Down);
        QTest::keyClick(Control<QMenu>(sauve, "Menu"), Qt::Key_Return);
        QVERIFY(Control<QPushButton>(sauve, "Command1")->isVisible());

        QVERIFY(tabTo(Control<DirectoryList>(sauve, "Dir1")));
        QTRY_VERIFY(Control<DirectoryList>(sauve, "Dir1")
                        ->RowOf(fixture.Path(QStringLiteral("dest")))
                        .isValid());
        for (int step = 0;
             step < 20 &&
             Control<DirectoryList>(sauve, "Dir1")->currentIndex().data().toString().trimmed() !=
                 "dest";
             ++step)
            QTest::keyClick(Control<DirectoryList>(sauve, "Dir1"), Qt::Key_Down);
        QTest::keyClick(Control<DirectoryList>(sauve, "Dir1"), Qt::Key_Return);
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), fixture.Path(QStringLiteral("dest/")));
        QVERIFY(tabTo(Control<QPushButton>(sauve, "Command1")));
        QTest::keyClick(Control<QPushButton>(sauve, "Command1"), Qt::Key_Space);
        FinishTask();

        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY(!FindWindow<BackupWindow>());
        QCOMPARE(FilesIn(fixture.Path(QStringLiteral("dest"))),
                 QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
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
        MainWindow& main = OpenMainWindow();
        QVERIFY(QDir::setCurrent(volume.Path()));
        const QByteArray before =
            MarkerBytes({fixture.Path(QStringLiteral("old/")), volume.Path() + "/", "01/01/2020"});
        WriteBytes(QStringLiteral("Sauve.kor"), before);
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        MenuItem(main, "Quitter")->trigger();
        BackupWindow* sauve = FindWindow<BackupWindow>();
        QVERIFY(sauve);
        StartBackupTo(*sauve, fixture.Path(QStringLiteral("dest")), false);

        QCOMPARE(ShownMessages().size(), 1);
        const QString message = ShownMessages().front();
        QVERIFY2(message.startsWith(QStringLiteral("La sauvegarde n'a pas été faite : le fichier "
                                                   "« Sauve.kor »")),
                 qPrintable(message));
        QVERIFY2(message.endsWith(UserError::SystemReason(ErrorNumberOf(fault))),
                 qPrintable(message));
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")), before);
        QVERIFY(!QFileInfo::exists(fixture.Path(QStringLiteral("dest"))));
        QCOMPARE(FindWindow<BackupWindow>(), sauve);
        QVERIFY(!FindWindow<MainWindow>()->isVisible());
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
        const QByteArray olderMarker = WriteEarlierBackup(folder);
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        StartBackupTo(sauve, folder, false);

        // A read-only folder is refused before anything is written; a full one fails its copies.
        QCOMPARE(Fakes().messages.Shown().size(), 1);
        if (fault == DiskFault::ReadOnly)
            QVERIFY(ShownMessages().front().startsWith(
                QStringLiteral("La sauvegarde n'a pas été faite : vous ne pouvez pas écrire")));
        else
            QCOMPARE(Fakes().messages.Shown().front().title, BackupWindow::kFailedBackupTitle);
        QVERIFY(EarlierBackupKept(folder, olderMarker));
        QCOMPARE(FindWindow<BackupWindow>(), &sauve);
        QVERIFY(!FindWindow<MainWindow>()->isVisible());
    }

    // The same at each step where a write meets the disk, in the backup folder (its copies and
    // its marker) or in the data folder (the marker), without a broken disk.
    void backupFailingAtEachStepIsNotReportedDone_data() {
        QTest::addColumn<WriteStep>("step");
        QTest::addColumn<bool>("inBackupFolder");
        for (const auto& [step, name] : WriteSteps()) {
            QTest::newRow(qPrintable(name + QStringLiteral(", backup folder"))) << step << true;
            QTest::newRow(qPrintable(name + QStringLiteral(", data folder"))) << step << false;
        }
    }
    void backupFailingAtEachStepIsNotReportedDone() {
        QFETCH(WriteStep, step);
        QFETCH(bool, inBackupFolder);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        const QString folder = fixture.Path(QStringLiteral("Sauve/"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray olderMarker = WriteEarlierBackup(folder);
        const QStringList cards = StoredRows();
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        const FailingWrites fault(step, inBackupFolder ? folder : fixture.Path());
        StartBackupTo(sauve, folder, false);

        QVERIFY(fault.Struck());
        QCOMPARE(ShownMessages().size(), 1);
        const QString message = ShownMessages().front();
        QVERIFY2(message.contains(UserError::SystemReason(FailingWrites::ErrorNumberOf(step))),
                 qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("La sauvegarde est faite")), qPrintable(message));
        QVERIFY(EarlierBackupKept(folder, olderMarker));
        QCOMPARE(StoredRows(), cards);
        QCOMPARE(FindWindow<BackupWindow>(), &sauve);
        QVERIFY(!FindWindow<MainWindow>()->isVisible());
    }

    void pipeInPlaceOfTheMarkerIsRefused() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        WatchedPipe pipe(fixture.Path(QStringLiteral("Sauve.kor")));
        QVERIFY(pipe.Made());
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        QCOMPARE(Control<QLabel>(sauve, "Label3")->text(), QStringLiteral("PREMIERE SAUVEGARDE "));
        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        Control<QAction>(sauve, "Restoration")->trigger();

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
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Sauve")->trigger();
        const QString proposed = QDir::currentPath() + QStringLiteral("/SauvePivane/");
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), proposed);
        // The marker still tells where the last backup went, until one is made here.
        QCOMPARE(FileBytes(QStringLiteral("Sauve.kor")),
                 MarkerBytes({"/gone/away/", QDir::currentPath() + "/", "01/01/2020"}));
        QVERIFY(!Control<QAction>(sauve, "Sauve")->isEnabled() &&
                !Control<QAction>(sauve, "Restoration")->isEnabled());
        QVERIFY(Control<QPushButton>(sauve, "Command1")->isVisible() &&
                !Control<QPushButton>(sauve, "Command2")->isVisible());
    }

    void leavingReturnsToTheMainWindow_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("menu Quitter") << "Quitter";
        QTest::newRow("window manager's close box") << "close box";
        QTest::newRow("Escape in the folder list") << "Escape";
    }
    void leavingReturnsToTheMainWindow() {
        QFETCH(QString, way);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        if (way == "close box") {
            sauve.close();
        } else if (way == "Quitter") {
            Control<QAction>(sauve, "Quitter")->trigger();
        } else {
            Control<QAction>(sauve, "Sauve")->trigger();
            Control<DirectoryList>(sauve, "Dir1")->setFocus();
            QTest::keyClick(Control<DirectoryList>(sauve, "Dir1"), Qt::Key_Escape);
        }
        QVERIFY(!FindWindow<BackupWindow>());
        QVERIFY(FindWindow<MainWindow>() && FindWindow<MainWindow>()->isVisible());
        QVERIFY(!Fakes().eventLoop.EndRequested());
    }

    // The copies run on the worker: the window paints and answers meanwhile, but can neither be
    // left nor start a second task, and the collection is the task's alone.
    void theWindowAnswersWhileFilesAreCopied() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 20000}}));
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Sauve")->trigger();
        Control<TextBox>(sauve, "Text1")->SetText(fixture.Path(QStringLiteral("dest")));
        int ticksWhileBusy = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            if (!TestSession().worker().Busy())
                return;
            ++ticksWhileBusy;
            QVERIFY(!Control<QAction>(sauve, "Quitter")->isEnabled() &&
                    !Control<QAction>(sauve, "Sauve")->isEnabled() &&
                    !Control<QPushButton>(sauve, "Command1")->isVisible());
            sauve.close();
            QTest::keyClick(&sauve, Qt::Key_Escape);
            QVERIFY(!TestSession().worker().Start([](const Worker::Progress&) {}, {}));
            QVERIFY_THROWS_EXCEPTION(UserError, TestSession().collection());
        });
        tick.start(1);
        QTest::mouseClick(Control<QPushButton>(sauve, "Command1"), Qt::LeftButton);
        FinishTask();
        QVERIFY(ticksWhileBusy > 0);
        QCOMPARE(ShownMessages().size(), 1);
        QCOMPARE(FilesIn(fixture.Path(QStringLiteral("dest"))),
                 QStringList({"PIVANE.MDB", "SAUVE.KOR"}));
        QCOMPARE(StoredRows(fixture.Path(QStringLiteral("dest/PIVANE.MDB"))).size(), 20000);
    }

    void progressShowsEachCopiedFile() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        WriteBytes(QStringLiteral("notes.KOR"), "notes");
        WriteBytes(QStringLiteral("ignored.txt"), "not copied");
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        // What the window shows after each step the copies report.
        QStringList shown;
        connect(&TestSession().worker(), &Worker::Progressed, &sauve, [&sauve, &shown] {
            shown << QStringLiteral("%1 %2/%3")
                         .arg(Control<QGroupBox>(sauve, "Frame1")->title())
                         .arg(Control<QProgressBar>(sauve, "ProgressBar1")->value())
                         .arg(Control<QProgressBar>(sauve, "ProgressBar1")->maximum());
        });
        StartBackupTo(sauve, fixture.Path(QStringLiteral("dest")), false);
        QCOMPARE(FilesIn(fixture.Path(QStringLiteral("dest"))),
                 QStringList({"NOTES.KOR", "PIVANE.MDB", "SAUVE.KOR"}));
        const QString data = QDir::currentPath() + QLatin1Char('/');
        QCOMPARE(shown, QStringList({data + "notes.KOR 0/3", data + "notes.KOR 1/3",
                                     data + "Pivane.mdb 1/3", data + "Pivane.mdb 2/3",
                                     data + "Sauve.kor 2/3", data + "Sauve.kor 3/3"}));
    }

    void doubleClickedFolderGoesIntoTheTextBox() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        QVERIFY(QDir().mkpath(fixture.Path(QStringLiteral("dest"))));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        Control<QAction>(sauve, "Sauve")->trigger();
        QVERIFY(Control<DirectoryList>(sauve, "Dir1")->SetPath(fixture.Path()));
        QTRY_VERIFY(Control<DirectoryList>(sauve, "Dir1")
                        ->RowOf(fixture.Path(QStringLiteral("dest")))
                        .isValid());
        const QRect box = Control<DirectoryList>(sauve, "Dir1")
                              ->visualRect(Control<DirectoryList>(sauve, "Dir1")
                                               ->RowOf(fixture.Path(QStringLiteral("dest"))));
        QTest::mouseClick(Control<DirectoryList>(sauve, "Dir1")->viewport(), Qt::LeftButton, {},
                          box.center());
        QTest::mouseDClick(Control<DirectoryList>(sauve, "Dir1")->viewport(), Qt::LeftButton, {},
                           box.center());
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), fixture.Path(QStringLiteral("dest/")));
    }

    void choosingADriveShowsItsRoot() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        UseAdvancingClock(QDateTime(kToday, QTime(10, 0)));
        BackupWindow& sauve = OpenBackupWindow();
        if (Control<DriveList>(sauve, "Drive1")->count() < 2)
            QSKIP("only one mounted volume here");
        const int other = Control<DriveList>(sauve, "Drive1")->currentIndex() == 0 ? 1 : 0;
        Control<DriveList>(sauve, "Drive1")->setCurrentIndex(other);
        const QString root = Control<DriveList>(sauve, "Drive1")->itemText(other);
        QCOMPARE(Control<DirectoryList>(sauve, "Dir1")->Path(), root);
        QCOMPARE(Control<TextBox>(sauve, "Text1")->Text(), root);
    }
};

PIVANES_TEST_MAIN(TestBackupWindow)
#include "tst_BackupWindow.moc"
