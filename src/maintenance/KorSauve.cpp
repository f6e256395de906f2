#include "maintenance/KorSauve.h"

#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "maintenance/Marker.h"
#include "maintenance/Pause.h"
#include "maintenance/SafeFiles.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/UserError.h"
#include "shell/FormZoomed.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Database.h"
#include "store/Donnees.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>

namespace {

const QString kFirstBackup = QStringLiteral("PREMIERE SAUVEGARDE ");
const QString kDefaultFolder = QStringLiteral("SauvePivane/");

// The folder of the data, which takes the place of the program's folder.
QString DataFolder() {
    return QDir::currentPath();
}

QString DatabaseName() {
    return Donnees.DatabaseFileName.isEmpty() ? QStringLiteral("Pivane.mdb")
                                              : Donnees.DatabaseFileName;
}

MarkerLines FirstRunLines() {
    // The date as every other writer gives it: the program speaks French whatever the locale.
    return {DriveList::RootOf(DataFolder()), DataFolder(), Marker::BackupDate(Clock::Now().date())};
}

// False, once the user is told why, when the marker cannot be written.
bool WriteMarker(const MarkerLines& lines) {
    try {
        Marker::Write(lines);
        return true;
    } catch (const UserError& error) {
        MessageBox::Error(WithReason(
            QStringLiteral("Le fichier « %1 » ne peut pas être écrit dans le dossier « %2 ». La "
                           "date de la dernière sauvegarde n'est pas enregistrée.")
                .arg(Marker::kFileName, QDir::toNativeSeparators(DataFolder())),
            error.reason()));
        return false;
    }
}

QString Absolute(const QString& typed) {
    return WithFinalSlash(QDir::cleanPath(QDir::current().absoluteFilePath(typed)));
}

bool SameFile(const QString& first, const QString& second) {
    return QFileInfo(first).canonicalFilePath() == QFileInfo(second).canonicalFilePath();
}

// A backup of the old program is converted first, by a command that keeps the original beside.
QString JetBackupRefusal(const QString& database) {
    const QString shown = QDir::toNativeSeparators(database);
    return QStringLiteral("La sauvegarde « %1 » est au format Jet (Access) de l'ancienne version "
                          "du programme : elle ne peut pas être restaurée telle quelle.\n"
                          "Convertissez-la d'abord avec la commande\n"
                          "    pivanes --convertir \"%1\"\n"
                          "(l'original reste à côté, sous le nom « %2 »), puis recommencez la "
                          "restauration.")
        .arg(shown, QFileInfo(JetConversion::KeptName(database)).fileName());
}

void RefuseRestore(const QString& reason) {
    MessageBox::Error(reason + QStringLiteral("\nLa restauration n'a pas été faite : rien n'a "
                                              "été modifié."));
}

} // namespace

KorSauve::KorSauve() : Form("KorSauve") {
    setWindowTitle(QStringLiteral("Sauvegarde"));
    SetBackground(Client(), Colors::LightBlue);
    BuildMenu();
    BuildControls();
}

void KorSauve::BuildMenu() {
    Menu = AddMenu("Menu", QStringLiteral("Menu"));
    Sauve = AddMenuItem(Menu, "Sauve", QStringLiteral("Sauvegarde"));
    vide = AddMenuSeparator(Menu, "vide");
    Restoration = AddMenuItem(Menu, "Restoration", QStringLiteral("Restoration"));
    vide1 = AddMenuSeparator(Menu, "vide1");
    Quitter = AddMenuItem(Menu, "Quitter", QStringLiteral("Quitter"));
    OnTriggered(Sauve, &KorSauve::Sauve_Click);
    OnTriggered(Restoration, &KorSauve::Restoration_Click);
    OnTriggered(Quitter, &KorSauve::Quitter_Click);
}

void KorSauve::BuildControls() {
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

    File1 = AddControl<FileList>("File1", nullptr);
    File1->setFont(comic);
    File1->SetPattern(QStringLiteral("*.kor;*.mdb"));
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

    connect(Drive1, &DriveList::Change, this, Guarded(&KorSauve::Drive1_Change));
    connect(Dir1, &DirectoryList::Change, this, Guarded(&KorSauve::Dir1_Change));
    Text1->KeyPress = [this](int& keyAscii) { RunGuarded([&] { Text1_KeyPress(keyAscii); }); };
    OnClick(Command1, &KorSauve::Command1_Click);
    OnClick(Command2, &KorSauve::Command2_Click);
}

void KorSauve::SetShown(std::initializer_list<QWidget*> shown,
                        std::initializer_list<QWidget*> hidden) {
    for (QWidget* control : shown)
        control->show();
    for (QWidget* control : hidden)
        control->hide();
}

void KorSauve::Form_Load() {
    FormZoomed::LoadProtocol(*this);
    Sauve->setEnabled(true);
    Restoration->setEnabled(true);
    Quitter->setEnabled(true);
    SetShown({Drive1, ProgressBar1, Label3, Dir1, Text1, Label2},
             {Command1, Command2, Frame1, File1});
    Label2->clear();
    show();

    Donnees.StartDirectory = DataFolder();
    SelectFolder(DataFolder());
    std::optional<MarkerLines> lines = Marker::Read();
    if (lines) {
        ShowLastBackup(*lines);
    } else {
        // Missing, unreadable or cut short: start again as on the first use.
        lines = FirstRunLines();
        Label3->setText(kFirstBackup);
        WriteMarker(*lines);
    }
    Donnees.BackupFolder = lines->backupFolder;
    Donnees.LastBackupDate = lines->date;
    Text1->SetText(Donnees.BackupFolder);
    // Listed once the marker exists, so that the first backup carries it too.
    File1->SetPath(DataFolder());
    File1->Refresh();
}

void KorSauve::ShowLastBackup(const MarkerLines& lines) {
    Label3->setText(QStringLiteral("DERNIERE SAUVEGARDE ") + lines.date +
                    QStringLiteral(" Sur Disque ") + DriveList::RootOf(lines.backupFolder));
}

// The drive list follows quietly, so that the directory list, and through it the text box,
// show the folder itself rather than its volume's root.
void KorSauve::SelectFolder(const QString& folder) {
    {
        const QSignalBlocker quiet(Drive1);
        Drive1->SetDrive(folder);
    }
    Dir1->SetPath(folder);
}

void KorSauve::Drive1_Change() {
    Dir1->SetPath(Drive1->Drive());
    Donnees.BackupFolder = Drive1->Drive();
}

void KorSauve::Dir1_Change() {
    Text1->SetText(Dir1->Path());
}

void KorSauve::Sauve_Click() {
    Text1->hide();
    Sauve->setEnabled(false);
    Restoration->setEnabled(false);
    const std::optional<MarkerLines> lines = Marker::Read();
    if (lines) {
        Donnees.BackupFolder = lines->backupFolder;
        Donnees.StartDirectory = lines->programFolder;
        Donnees.LastBackupDate = lines->date;
        ShowLastBackup(*lines);
    }
    if (!lines || !QFileInfo(Donnees.BackupFolder).isDir()) {
        Donnees.BackupFolder = WithFinalSlash(DataFolder()) + kDefaultFolder;
        Donnees.StartDirectory = DataFolder();
        WriteMarker({Donnees.BackupFolder, Donnees.StartDirectory,
                     Marker::BackupDate(Clock::Now().date())});
    }
    SelectFolder(Donnees.BackupFolder);
    SetShown({Drive1, Dir1, Command1}, {});
    Text1->SetText(Donnees.BackupFolder);
    Text1->show();
}

void KorSauve::Text1_KeyPress(int& keyAscii) {
    if (keyAscii != 13)
        return;
    keyAscii = 0;
    RunBackup();
}

void KorSauve::Command1_Click() {
    int keyAscii = 13;
    Text1_KeyPress(keyAscii);
}

void KorSauve::StartCopying(const QString& activity) {
    SetShown({Label2, Frame1, ProgressBar1}, {Dir1, Drive1, Command1, Command2, Text1});
    Label2->setText(activity);
    // Leaving in the middle of the copies would cut a backup or a restore short.
    Quitter->setEnabled(false);
}

void KorSauve::AdvanceProgress(int done) {
    ProgressBar1->setValue(done);
    QCoreApplication::processEvents();
}

void KorSauve::RunBackup() {
    SetShown({}, {Dir1, Drive1, Command1});
    Donnees.BackupFolder = Absolute(Text1->Text().trimmed());
    Donnees.StartDirectory = WithFinalSlash(DataFolder());
    if (SameFile(Donnees.BackupFolder, Donnees.StartDirectory)) {
        // Copies named in capitals beside the live files would be taken for live files.
        MessageBox::Error(QStringLiteral("La sauvegarde ne peut pas être écrite dans le dossier "
                                         "des fiches lui-même. Choisissez un autre dossier."));
        Form_Load();
        return;
    }
    const Marker::Snapshot before;
    if (!WriteMarker({Donnees.BackupFolder, Donnees.StartDirectory,
                      Marker::BackupDate(Clock::Now().date())})) {
        Form_Load();
        return;
    }
    StartCopying(QStringLiteral("JE SAUVEGARDE"));
    QDir().mkdir(Donnees.BackupFolder);
    QCoreApplication::processEvents();
    PauseBetweenFiles();

    const int count = File1->count();
    Donnees.GridRowIndex = count;
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(count);
    bool allCopied = true;
    for (int i = 0; i < count; ++i) {
        Donnees.LoopIndex = i;
        const QString name = File1->item(i)->text();
        Donnees.CurrentCategoryCode = Donnees.StartDirectory + name;
        Donnees.CopyTarget = Donnees.BackupFolder + name.toUpper();
        Frame1->setTitle(Donnees.CurrentCategoryCode);
        QCoreApplication::processEvents();
        allCopied = CopyToBackup(Donnees.CurrentCategoryCode, Donnees.CopyTarget) && allCopied;
        AdvanceProgress(i + 1);
    }
    Quitter->setEnabled(true);
    if (!allCopied) {
        before.PutBack();
        MessageBox::Show(QString(), kFailedBackupTitle);
        Form_Load();
        return;
    }
    Forms::Load<KorPivane>();
    Forms::Unload(this);
}

bool KorSauve::CopyToBackup(const QString& source, const QString& target) {
    try {
        const bool isDatabase =
            QFileInfo(source).fileName().compare(DatabaseName(), Qt::CaseInsensitive) == 0;
        Database& open = Store().database();
        if (isDatabase && open.IsOpen() && SameFile(source, open.FileName()))
            SafeFiles::CopyDatabase(open, target);
        else
            SafeFiles::CopyFile(source, target,
                                isDatabase ? SafeFiles::Check::BytesAndDatabase
                                           : SafeFiles::Check::Bytes);
        return true;
    } catch (const UserError&) {
        return false;
    }
}

void KorSauve::Restoration_Click() {
    Text1->hide();
    Sauve->setEnabled(false);
    Restoration->setEnabled(false);
    if (const std::optional<MarkerLines> lines = Marker::Read())
        Donnees.BackupFolder = lines->backupFolder;
    Donnees.StartDirectory = WithFinalSlash(DataFolder());
    SelectFolder(Donnees.BackupFolder);
    SetShown({Drive1, Dir1, Text1, Command2}, {});
}

std::optional<QString> KorSauve::CheckedRestoreFolder(const QString& picked) {
    const QString markerFile = picked + SafeFiles::TwinIn(picked, Marker::kFileName);
    if (!QFileInfo(markerFile).isFile()) {
        RefuseRestore(QStringLiteral("Le dossier « %1 » ne contient pas de sauvegarde : le "
                                     "fichier « %2 » est introuvable.")
                          .arg(QDir::toNativeSeparators(picked), Marker::kFileName));
        return std::nullopt;
    }
    const std::optional<MarkerLines> lines = Marker::Read(markerFile);
    const QString folder = lines ? WithFinalSlash(lines->backupFolder) : QString();
    if (!lines || !QFileInfo(folder).isDir()) {
        RefuseRestore(
            QStringLiteral("Le dossier de sauvegarde « %1 » indiqué par « %2 » "
                           "n'existe pas.")
                .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(markerFile)));
        return std::nullopt;
    }
    const QString database = folder + SafeFiles::TwinIn(folder, DatabaseName());
    if (ReadJetHeader(database).IsJet()) {
        RefuseRestore(JetBackupRefusal(database));
        return std::nullopt;
    }
    try {
        Database::VerifiedCardCount(database);
    } catch (const StoreError& error) {
        RefuseRestore(QStringLiteral("La base sauvegardée ne peut pas être restaurée.\n") +
                      error.text());
        return std::nullopt;
    }
    return folder;
}

void KorSauve::Command2_Click() {
    const std::optional<QString> folder = CheckedRestoreFolder(Absolute(Text1->Text().trimmed()));
    if (!folder)
        return;
    Donnees.BackupFolder = *folder;
    SelectFolder(Donnees.BackupFolder);
    RunRestore();
}

void KorSauve::RunRestore() {
    StartCopying(QStringLiteral("JE RESTORE"));
    PauseBetweenFiles();
    // The live files are replaced under their names: nothing may hold them open.
    Store().Reset();
    Donnees.StartDirectory = WithFinalSlash(DataFolder());
    File1->SetPath(Donnees.BackupFolder);
    File1->Refresh();
    const int count = File1->count();
    Donnees.GridTotal = count;
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(count);
    QStringList failed;
    for (int i = 0; i < count; ++i) {
        Donnees.LoopIndex = i;
        const QString name = File1->item(i)->text();
        Donnees.CurrentCategoryCode = Donnees.BackupFolder + name;
        Donnees.CopyTarget =
            Donnees.StartDirectory + SafeFiles::TwinIn(Donnees.StartDirectory, name);
        Frame1->setTitle(Donnees.CurrentCategoryCode);
        PauseBetweenFiles();
        const bool isDatabase = name.compare(DatabaseName(), Qt::CaseInsensitive) == 0;
        try {
            SafeFiles::CopyFile(Donnees.CurrentCategoryCode, Donnees.CopyTarget,
                                isDatabase ? SafeFiles::Check::BytesAndDatabase
                                           : SafeFiles::Check::Bytes);
        } catch (const UserError&) {
            failed << name;
        }
        AdvanceProgress(i + 1);
    }
    if (!failed.isEmpty())
        MessageBox::Error(QStringLiteral("Ces fichiers n'ont pas pu être restaurés ; ceux qui "
                                         "étaient en place n'ont pas été modifiés : %1")
                              .arg(failed.join(QStringLiteral(", "))));
    Application::End();
}

void KorSauve::Quitter_Click() {
    Forms::Load<KorPivane>();
    Forms::Unload(this);
}

void KorSauve::WindowClosed() {
    if (Quitter->isEnabled())
        Quitter_Click();
}
