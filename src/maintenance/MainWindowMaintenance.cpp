// The main window's maintenance commands: backup, compaction, export, help and web page.
#include "convert/Exchange.h"
#include "maintenance/BackupWindow.h"
#include "maintenance/Compaction.h"
#include "maintenance/HelpWindow.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Worker.h"
#include "shell/MainWindow.h"
#include "shell/ProgressDialog.h"
#include "shell/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>

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

// The user's own documents, not the hidden data folder that the program works in.
QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Empty when the user cancels. The format follows the name, as on the command line.
QString AskExportName() {
    return FileDialog::SaveFileName(
        QStringLiteral("Exporter les fiches (.csv, .json, .html, .mdb, ou un dossier : un nom qui "
                       "finit par /)"),
        QDir(DocumentsFolder()).filePath(QStringLiteral("Fiches.csv")),
        QStringLiteral("Tableur CSV (*.csv);;JSON (*.json);;Page HTML (*.html);;Collection "
                       "Pivanes (*.mdb);;Tous les fichiers (*)"),
        QString());
}

void ShowExportProgress(const QString& file, qint64 cards, Worker& worker) {
    if (cards >= Exchange::kCardsShowingProgress)
        ShowTaskProgress("ExportProgress",
                         QStringLiteral("Exportation de %1 fiches dans « %2 »…")
                             .arg(cards)
                             .arg(QDir::toNativeSeparators(file)),
                         100, worker);
}

void ReportExport(const QString& file, qint64 written) {
    MessageBox::Show(QStringLiteral("Les fiches sont exportées dans « %1 » : %2 fiche(s), "
                                    "autant que la collection en compte.")
                         .arg(QDir::toNativeSeparators(file))
                         .arg(written));
}

} // namespace

void MainWindow::exportCollection() {
    if (!CollectionIsOpen())
        return;
    const QString file = AskExportName();
    if (file.isEmpty())
        return;
    const qint64 cards = session().collection().Count(::Selection::AllCards()).cards;
    // The export reads through a connection of its own, opened on the worker.
    Worker& worker = session().worker();
    if (worker.Start<qint64>(
            [place = session().collection().Place(), file](const Worker::Progress& progress) {
                return Exchange::ExportCards(place, file, [&progress](qint64, int percent) {
                    progress(QString(), percent, 100);
                });
            },
            [file](qint64 written) { ReportExport(file, written); }))
        ShowExportProgress(file, cards, worker);
}

void MainWindow::openBackupWindow() {
    auto& backup = Open<BackupWindow>();
    connect(&backup, &Window::finished, this, &MainWindow::comeBackToEntryState);
    LeaveViewer();
}

void MainWindow::compactCollection() {
    StartCompaction(session(), [window = QPointer(this),
                                local = !session().OnServer()](const CompactionReport& report) {
        if (!report.done.isEmpty())
            MessageBox::Show(report.done);
        if (!report.failure.isEmpty())
            MessageBox::Error(report.failure);
        if (MainWindow* shown = window.data(); shown && local)
            shown->ShowSelectionAfterReopening();
    });
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
