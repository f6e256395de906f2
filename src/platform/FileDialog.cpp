#include "platform/FileDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace FileDialog {

QString SaveFileName(const QString& caption, const QString& suggested, const QString& filter,
                     const QString& suffix) {
    return Chooser::Current().SaveFileName(caption, suggested, filter, suffix);
}

QString Chooser::SaveFileName(const QString& caption, const QString& suggested,
                              const QString& filter, const QString& suffix) {
    QFileDialog dialog(QApplication::activeWindow(), caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace FileDialog
