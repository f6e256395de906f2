#pragma once

#include "platform/Controls.h"
#include "platform/FileControls.h"
#include "platform/Form.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <optional>

struct MarkerLines;

// Backup of the card database and the marker file to a folder of any volume, and restore from
// such a folder. A backup returns to the main window; a restore ends the program.
// Its objectName, which scripts and the guide know, is "KorSauve".
class BackupWindow : public Form {
    Q_OBJECT

public:
    BackupWindow();

    QLabel* Label1;
    QLabel* Label3;
    QLabel* Label2;
    DriveList* Drive1;
    DirectoryList* Dir1;
    TextBox* Text1;
    FileList* File1;
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

    static inline const QString kFailedBackupTitle =
        QStringLiteral("ERREUR SUR LA SAUVEGARDE, VOIR LE DISQUE DESTINATAIRE");

public slots:
    void Form_Load() override;
    void Drive1_Change();
    void Dir1_Change();
    void Sauve_Click();
    void Command1_Click();
    void Restoration_Click();
    void Command2_Click();
    void Quitter_Click();

public:
    void Text1_KeyPress(int& keyAscii);

protected:
    void WindowClosed() override;

private:
    void BuildControls();
    void BuildMenu();
    void SetShown(std::initializer_list<QWidget*> shown, std::initializer_list<QWidget*> hidden);
    void ShowLastBackup(const MarkerLines& lines);
    void SelectFolder(const QString& folder);
    void StartCopying(const QString& activity);
    void AdvanceProgress(int done);
    struct BackupCopies {
        QStringList copied;
        QStringList failures;
        std::optional<qint64> cards;
    };
    void RunBackup();
    bool MarkerCanRecordTheBackup();
    BackupCopies CopyToBackupFolder(const MarkerLines& made);
    static std::optional<qint64> CopyToBackup(const QString& source, const QString& target);
    static void WriteBackupMarker(const MarkerLines& made, const QString& target, bool whole);
    void ReportBackupMade(const BackupCopies& copies, const MarkerLines& made);
    struct RestoreSource {
        QString folder;
        QString date;
        qint64 cards = 0;
    };
    std::optional<RestoreSource> CheckedRestoreSource(const QString& picked);
    static bool RestoreConfirmed(const RestoreSource& source);
    void RunRestore();
    void EndAfterRestore(const QStringList& failed);

    RestoreSource restoring_;
};
