#pragma once

#include "maintenance/BackupChecks.h"
#include "maintenance/BackupCopies.h"
#include "maintenance/FolderViews.h"
#include "platform/Controls.h"
#include "shell/Window.h"

#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <optional>

// Backup of the card database and the marker file to a folder of any volume, and restore from
// such a folder. A backup returns to the main window; a restore ends the program.
// Its objectName, which scripts and the guide know, is "KorSauve".
class BackupWindow : public Window {
    Q_OBJECT

public:
    explicit BackupWindow(Session& session);

    static inline const QString kFailedBackupTitle =
        QStringLiteral("ERREUR SUR LA SAUVEGARDE, VOIR LE DISQUE DESTINATAIRE");

    void Form_Load() override;

private:
    void driveChosen();
    void folderChosen();
    void prepareBackup();
    void startBackup();
    void prepareRestore();
    void startRestore();
    void leave();
    void WindowClosed() override;
    void BuildControls();
    void BuildMenu();
    void ShowStart();
    void SetShown(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> hidden);
    void ShowLastBackup(const MarkerLines& lines);
    void SelectFolder(const QString& folder);
    void ListFiles(const QString& folder);
    void StartCopying(const QString& activity);
    void ShowProgress(const QString& file, int done, int count);
    void BackupEnded(const BackupCopies::Backup& backup);
    void ReportBackupMade(const BackupCopies::Backup& backup);
    bool RestoreConfirmed(const BackupChecks::RestoreSource& source) const;
    void RunRestore();
    void EndAfterRestore(const QStringList& failed);

    BackupChecks::RestoreSource restoring_;
    // Where the backup goes or the restore comes from, and the folder of the data.
    QString backupFolder_;
    QString dataFolder_;
    // The data folder's marker of the collection open (Marker::FileFor).
    QString markerFile_;

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    DriveList* Drive1;
    DirectoryList* Dir1;
    TextBox* Text1;
    // The files a backup copies or a restore puts back, never shown.
    QListView* File1;
    QFileSystemModel* files_;
    QPushButton* Command1;
    QPushButton* Command2;
    QGroupBox* Frame1;
    QProgressBar* ProgressBar1;

    QMenu* Menu;
    QAction* Sauve;
    QAction* vide;
    QAction* Restoration;
    QAction* vide1;
    QAction* Quitter;
};
