#include "maintenance/BackupWindow.h"

#include "maintenance/BackupChecks.h"
#include "maintenance/BackupCopies.h"
#include "maintenance/Marker.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"

#include <QDir>
#include <QPointer>
#include <QSignalBlocker>

namespace {

using namespace BackupChecks;

const QString kFirstBackup = QStringLiteral("PREMIERE SAUVEGARDE ");

void ReportBackupNotMade(const QString& why, const QString& reason = QString()) {
    MessageBox::Error(WithReason(QStringLiteral("La sauvegarde n'a pas été faite : %1.\nAucun "
                                                "fichier n'a été copié ; les fiches n'ont pas été "
                                                "modifiées.")
                                     .arg(why),
                                 reason));
}

void RefuseFolder(const QString& folder) {
    MessageBox::Error(QStringLiteral("Le dossier « %1 » ne peut pas être ouvert : vous n'avez "
                                     "pas le droit d'y entrer. Choisissez un autre dossier.")
                          .arg(QDir::toNativeSeparators(folder)));
}

QString Capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

void RefuseRestore(const QString& reason) {
    MessageBox::Error(reason + QStringLiteral("\nLa restauration n'a pas été faite : rien n'a "
                                              "été modifié."));
}

} // namespace

BackupWindow::BackupWindow(Session& session)
    : Window("KorSauve", session), markerFile_(Marker::FileFor(session.server())) {
    setWindowTitle(QStringLiteral("Sauvegarde"));
    SetBackground(Client(), Colors::LightBlue);
    BuildMenu();
    BuildControls();
    connect(&session.worker(), &Worker::Progressed, this, &BackupWindow::ShowProgress);
}

void BackupWindow::BuildMenu() {
    Menu = AddMenu("Menu", QStringLiteral("Menu"));
    Sauve = AddMenuItem(Menu, "Sauve", QStringLiteral("Sauvegarde"));
    vide = AddMenuSeparator(Menu, "vide");
    Restoration = AddMenuItem(Menu, "Restoration", QStringLiteral("Restoration"));
    vide1 = AddMenuSeparator(Menu, "vide1");
    Quitter = AddMenuItem(Menu, "Quitter", QStringLiteral("Quitter"));
    // "Restoration" says why it is off.
    Menu->setToolTipsVisible(true);
    OnTriggered(Sauve, &BackupWindow::prepareBackup);
    OnTriggered(Restoration, &BackupWindow::prepareRestore);
    OnTriggered(Quitter, &BackupWindow::leave);
    OnEscape(Quitter);
}

void BackupWindow::BuildControls() {
    const QFont comic = Face("Comic Sans MS", 9.75, true);
    const QFont arial = Face("Arial", 9.75, true);

    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("Sauvegarde"));
    Label1->setFont(Face("Comic Sans MS", 20.25, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 3000, 120, 6000, 615);

    Label3 = AddControl<QLabel>("Label3", nullptr, QString());
    Label3->setFont(Face("Comic Sans MS", 12, true));
    Label3->setAlignment(Qt::AlignCenter);
    SetColors(Label3, Colors::Red, Colors::Navy);
    Place(Label3, 1200, 900, 9600, 465);

    Label2 = AddControl<QLabel>("Label2", nullptr, QString());
    Label2->setFont(Face("Comic Sans MS", 12, true));
    Label2->setAlignment(Qt::AlignCenter);
    SetBackground(Label2, Colors::White);
    Place(Label2, 3600, 1560, 4800, 465);

    Drive1 = AddControl<DriveList>("Drive1", nullptr);
    Drive1->setFont(comic);
    Place(Drive1, 1200, 2280, 4800, 360);

    Dir1 = AddControl<DirectoryList>("Dir1", nullptr);
    Dir1->setFont(comic);
    Place(Dir1, 1200, 2760, 4800, 3720);

    Text1 = AddControl<TextBox>("Text1", nullptr);
    Text1->setFont(comic);
    Text1->SetMultiLine(false);
    Place(Text1, 6240, 2280, 4560, 405);

    File1 = AddControl<QListView>("File1", nullptr);
    File1->setFont(comic);
    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::Files | QDir::Hidden);
    files_->setNameFilters({QStringLiteral("*.kor"), QStringLiteral("*.mdb")});
    files_->setNameFilterDisables(false);
    File1->setModel(files_);
    Place(File1, 6240, 3600, 4560, 1200);

    Command1 = AddControl<QPushButton>("Command1", nullptr, QStringLiteral("Ecrire la sauvegarde"));
    Command1->setFont(arial);
    Place(Command1, 6240, 2880, 4560, 495);
    Command2 = AddControl<QPushButton>("Command2", nullptr, QStringLiteral("Lire la sauvegarde"));
    Command2->setFont(arial);
    Place(Command2, 6240, 2880, 4560, 495);

    Frame1 = AddControl<QGroupBox>("Frame1", nullptr);
    Frame1->setFont(arial);
    SetColors(Frame1, Colors::Green, Colors::LightBlue);
    Place(Frame1, 1200, 6720, 9600, 1095);
    ProgressBar1 = AddControl<QProgressBar>("ProgressBar1", Frame1);
    ProgressBar1->setTextVisible(false);
    Place(ProgressBar1, 240, 420, 9120, 435);

    connect(Drive1, &DriveList::Change, this, Guarded(&BackupWindow::driveChosen));
    connect(Dir1, &DirectoryList::Change, this, Guarded(&BackupWindow::folderChosen));
    connect(Dir1, &DirectoryList::Refused, this, &RefuseFolder);
    connect(Text1, &TextBox::enterPressed, this, [this] { RunGuarded([this] { startBackup(); }); });
    OnClick(Command1, &BackupWindow::startBackup);
    OnClick(Command2, &BackupWindow::startRestore);
}

void BackupWindow::SetShown(std::initializer_list<QWidget*> shown,
                            std::initializer_list<QWidget*> hidden) {
    for (QWidget* control : shown)
        control->show();
    for (QWidget* control : hidden)
        control->hide();
}

void BackupWindow::Form_Load() {
    scaleToScreen();
    ShowStart();
}

// As the window opens, and again after a backup that was not made.
void BackupWindow::ShowStart() {
    Sauve->setEnabled(true);
    WriteAccess::Of(session()).Show(Restoration);
    Quitter->setEnabled(true);
    SetShown({Drive1, ProgressBar1, Label3, Dir1, Text1, Label2},
             {Command1, Command2, Frame1, File1});
    Label2->clear();
    show();

    dataFolder_ = DataFolder();
    const MarkerLines lines = LastBackup(markerFile_);
    ShowLastBackup(lines);
    backupFolder_ = lines.backupFolder;
    // The lists start where the text box points, on that folder's volume.
    SelectFolder(CanEnter(backupFolder_) ? backupFolder_ : DataFolder());
    Text1->SetText(backupFolder_);
    ListFiles(DataFolder());
}

void BackupWindow::ListFiles(const QString& folder) {
    File1->setRootIndex(files_->setRootPath(folder));
}

// A marker without a date was written before any backup was made.
void BackupWindow::ShowLastBackup(const MarkerLines& lines) {
    if (lines.date.isEmpty()) {
        Label3->setText(kFirstBackup);
        return;
    }
    Label3->setText(QStringLiteral("DERNIERE SAUVEGARDE ") + lines.date +
                    QStringLiteral(" Sur Disque ") + VolumeRoot(lines.backupFolder));
}

// The drive list follows quietly, so that the directory list, and through it the text box,
// show the folder itself rather than its volume's root.
void BackupWindow::SelectFolder(const QString& folder) {
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->SetDrive(folder);
    }
    Dir1->SetPath(folder);
}

void BackupWindow::driveChosen() {
    if (!Dir1->SetPath(Drive1->Drive())) {
        RefuseFolder(Drive1->Drive());
        const QSignalBlocker quiet(Drive1);
        Drive1->SetDrive(Dir1->Path());
        return;
    }
    backupFolder_ = Drive1->Drive();
}

void BackupWindow::folderChosen() {
    Text1->SetText(Dir1->Path());
}

// Only a backup rewrites the marker: a folder proposed here is recorded once it holds one.
void BackupWindow::prepareBackup() {
    Text1->hide();
    Sauve->setEnabled(false);
    Restoration->setEnabled(false);
    const ProposedBackup proposed = ProposeBackup(markerFile_);
    if (proposed.marker)
        ShowLastBackup(*proposed.marker);
    backupFolder_ = proposed.backupFolder;
    dataFolder_ = proposed.dataFolder;
    SelectFolder(backupFolder_);
    SetShown({Drive1, Dir1, Command1}, {});
    Text1->SetText(backupFolder_);
    Text1->show();
}

void BackupWindow::StartCopying(const QString& activity) {
    SetShown({Label2, Frame1, ProgressBar1}, {Dir1, Drive1, Command1, Command2, Text1});
    Label2->setText(activity);
    // Leaving in the middle of the copies would cut a backup or a restore short.
    Quitter->setEnabled(false);
}

void BackupWindow::ShowProgress(const QString& file, int done, int count) {
    Frame1->setTitle(file);
    ProgressBar1->setMaximum(count);
    ProgressBar1->setValue(done);
}

void BackupWindow::startBackup() {
    const QString folder = Absolute(Text1->Text().trimmed());
    // Refused before anything is written, and the user picks again.
    if (const std::optional<QString> why = WhyFolderRefusesBackup(folder)) {
        ReportBackupNotMade(*why);
        return;
    }
    SetShown({}, {Dir1, Drive1, Command1});
    backupFolder_ = folder;
    dataFolder_ = WithFinalSlash(DataFolder());
    if (SameFile(backupFolder_, dataFolder_)) {
        // Copies named in capitals beside the live files would be taken for live files.
        MessageBox::Error(QStringLiteral("La sauvegarde ne peut pas être écrite dans le dossier "
                                         "des fiches lui-même. Choisissez un autre dossier."));
        ShowStart();
        return;
    }
    std::optional<Marker::Snapshot> before;
    try {
        before.emplace(RewriteMarker(markerFile_));
    } catch (const UserError& error) {
        ReportBackupNotMade(error.sentence(), error.reason());
        ShowStart();
        return;
    }
    StartCopying(QStringLiteral("JE SAUVEGARDE"));
    // The date as every writer gives it: the program speaks French whatever the locale.
    const MarkerLines made{backupFolder_, dataFolder_, Marker::BackupDate(Clock::Now().date())};
    Collection* open = session().CollectionIsOpen() ? &session().collection() : nullptr;
    session().worker().Start<BackupCopies::Backup>(
        [before = *before, names = BackupNames(session()), made, database = session().databaseFile,
         open, marker = markerFile_](const Worker::Progress& progress) {
            return BackupCopies::WriteBackup(before, names, made, database, open, progress, marker);
        },
        [window = QPointer(this)](const BackupCopies::Backup& backup) {
            if (BackupWindow* shown = window.data())
                shown->BackupEnded(backup);
        });
}

void BackupWindow::BackupEnded(const BackupCopies::Backup& backup) {
    const BackupCopies::Written& copies = backup.copies;
    Quitter->setEnabled(true);
    if (!copies.failures.isEmpty()) {
        MessageBox::Show(copies.failures.join(QLatin1Char('\n')) +
                             QStringLiteral("\nLa collection en place n'a pas été modifiée."),
                         kFailedBackupTitle);
        ShowStart();
        return;
    }
    ReportBackupMade(backup);
    Leave();
}

void BackupWindow::ReportBackupMade(const BackupCopies::Backup& backup) {
    const BackupCopies::Written& copies = backup.copies;
    QString text =
        QStringLiteral("La sauvegarde est faite dans le dossier\n« %1 ».\n%2 y %3 "
                       "copiés, relus et trouvés complets.")
            .arg(QDir::toNativeSeparators(backupFolder_), InFrench(copies.copied),
                 copies.copied.size() == 1 ? QStringLiteral("a été") : QStringLiteral("ont été"));
    if (copies.cards)
        text += QStringLiteral("\nLa collection sauvegardée contient %1.")
                    .arg(CardsText(*copies.cards));
    if (backup.markerNotDated) {
        text += QStringLiteral("\n\nLe fichier « %1 » du dossier des fiches n'a pas pu être mis "
                               "à jour : la fenêtre Sauvegarde ne montrera pas la date de cette "
                               "sauvegarde.")
                    .arg(markerFile_);
        text = WithReason(text, *backup.markerNotDated);
    }
    MessageBox::Show(text, QStringLiteral("Sauvegarde"));
}

void BackupWindow::prepareRestore() {
    Text1->hide();
    Sauve->setEnabled(false);
    Restoration->setEnabled(false);
    if (const std::optional<MarkerLines> marker = ProposeBackup(markerFile_).marker)
        backupFolder_ = marker->backupFolder;
    dataFolder_ = WithFinalSlash(DataFolder());
    SelectFolder(backupFolder_);
    SetShown({Drive1, Dir1, Text1, Command2}, {});
}

// Every card of the collection in place is replaced: the user weighs what they lose first.
bool BackupWindow::RestoreConfirmed(const RestoreSource& source) const {
    const std::optional<qint64> live = LiveCardCount(session());
    const QString now = live ? QStringLiteral("elle compte %1 maintenant").arg(CardsText(*live))
                             : QStringLiteral("elle ne peut pas être lue maintenant");
    const QString after = QStringLiteral("elle comptera %1 après, celles de la sauvegarde du %2")
                              .arg(CardsText(source.cards), source.date);
    const QString question =
        session().OnServer()
            ? QStringLiteral("Remplacer la collection partagée de l'équipe, sur le serveur %1 « %2 "
                             "», que tous ses utilisateurs partagent ?\n%3 ; %4.\n\nLes fiches "
                             "ajoutées ou modifiées depuis cette sauvegarde, par vous ou par "
                             "d'autres, seront perdues ; les autres programmes ouverts sur ce "
                             "serveur en seront avertis.")
                  .arg(session().CollectionIsOpen() ? session().collection().ServerName()
                                                    : QString(),
                       session().server(), Capitalised(now), after)
        : live ? QStringLiteral("Remplacer la collection locale du dossier « %1 » ?\n%2 ; %3.\n\n"
                                "Les fiches ajoutées ou modifiées depuis cette sauvegarde seront "
                                "perdues.")
                     .arg(QDir::toNativeSeparators(DataFolder()), Capitalised(now), after)
               : QStringLiteral("Restaurer la sauvegarde du %1 dans la collection locale du "
                                "dossier « %2 » ?\nAucune collection lisible n'y est en place ; "
                                "%3.")
                     .arg(source.date, QDir::toNativeSeparators(DataFolder()), after);
    return MessageBox::AskYesNo(question, QStringLiteral("Restoration")) == MessageBox::Answer::Yes;
}

void BackupWindow::startRestore() {
    RestoreSource source;
    try {
        source = CheckedRestoreSource(Absolute(Text1->Text().trimmed()), session().databaseFile);
    } catch (const UserError& error) {
        RefuseRestore(error.text());
        return;
    }
    if (!RestoreConfirmed(source))
        return;
    restoring_ = source;
    backupFolder_ = source.folder;
    SelectFolder(backupFolder_);
    RunRestore();
}

void BackupWindow::RunRestore() {
    StartCopying(QStringLiteral("JE RESTORE"));
    // The program ends after the restore: its own connection has nothing more to do, unless the
    // cards go to the server through it.
    Collection* server = session().OnServer() ? &session().collection() : nullptr;
    if (!server)
        session().CloseCollection();
    dataFolder_ = WithFinalSlash(DataFolder());
    ListFiles(backupFolder_);
    session().worker().Start<QStringList>(
        [names = CopiedFiles(backupFolder_), from = backupFolder_, into = dataFolder_,
         database = session().databaseFile, server,
         marker = markerFile_](const Worker::Progress& progress) {
            return BackupCopies::Restore(names, from, into, database, server, progress, marker);
        },
        [window = QPointer(this)](const QStringList& failed) {
            if (BackupWindow* shown = window.data())
                shown->EndAfterRestore(failed);
        });
}

// The program ends so that its next start opens what was restored; the user is told first.
void BackupWindow::EndAfterRestore(const QStringList& failed) {
    const QString closing = QStringLiteral("\nLe programme va maintenant se fermer.");
    if (failed.isEmpty())
        MessageBox::Show(QStringLiteral("La collection a été restaurée : elle contient les %1 de "
                                        "la sauvegarde du %2.")
                                 .arg(CardsText(restoring_.cards), restoring_.date) +
                             closing,
                         QStringLiteral("Restoration"));
    else
        MessageBox::Error(QStringLiteral("Ces fichiers n'ont pas pu être restaurés ; ceux qui "
                                         "étaient en place n'ont pas été modifiés : %1")
                              .arg(failed.join(QStringLiteral(", "))) +
                          closing);
    Application::End();
}

void BackupWindow::leave() {
    Leave();
}

void BackupWindow::WindowClosed() {
    if (Quitter->isEnabled())
        leave();
}
