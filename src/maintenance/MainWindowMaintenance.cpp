// The main window's maintenance commands: backup, compaction, help and web page.
#include "maintenance/BackupWindow.h"
#include "maintenance/Compaction.h"
#include "maintenance/HelpWindow.h"
#include "platform/Desktop.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

#include <QCoreApplication>
#include <QDir>

namespace {
const QString kHelpFile = QStringLiteral("Lisez-Moi.chm");
const QString kWebPage = QStringLiteral("https://pivanes.example.org/");
// The guide installed with the program, found from the program's own place; a program run from
// its build folder finds the copy made there.
QString InstalledGuide() {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const QString& folder :
         {QStringLiteral(PIVANES_GUIDE_FROM_PROGRAM), QStringLiteral("share/pivanes")}) {
        const QString guide = programFolder.filePath(folder + QStringLiteral("/Lisez-Moi.html"));
        if (QFileInfo(guide).isFile())
            return QDir::cleanPath(guide);
    }
    return {};
}

} // namespace

void MainWindow::openBackupWindow() {
    Forms::Load<BackupWindow>(session());
    Forms::Unload(this);
}

void MainWindow::compactCollection() {
    const CompactionReport report = CompactCollection(session());
    if (!report.done.isEmpty())
        MessageBox::Show(report.done);
    if (!report.failure.isEmpty())
        MessageBox::Error(report.failure);
    if (!session().OnServer())
        ShowSelectionAfterReopening();
}

// The user's own help file first, then the guide; the program's own window where neither opens.
void MainWindow::openHelp() {
    Desktop::OpenFile(kHelpFile, [] { Desktop::OpenFile(InstalledGuide(), &ShowProgramHelp); });
}

void MainWindow::openWebPage() {
    Desktop::OpenUrl(kWebPage, [] {
        MessageBox::Error(QStringLiteral("Aucun navigateur web n'a pu être ouvert. Pour voir le "
                                         "site de Pivanes, copiez son adresse dans votre "
                                         "navigateur : %1")
                              .arg(kWebPage));
    });
}
