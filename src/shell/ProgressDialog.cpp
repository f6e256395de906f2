#include "shell/ProgressDialog.h"

#include "platform/MessageBox.h"

std::unique_ptr<QProgressDialog> CopyProgress(const char* objectName, const QString& text,
                                              int maximum) {
    auto dialog = std::make_unique<QProgressDialog>(text, QString(), 0, maximum);
    dialog->setObjectName(QString::fromLatin1(objectName));
    dialog->setWindowTitle(MessageBox::AppTitle());
    dialog->setCancelButton(nullptr);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(0);
    dialog->setValue(0);
    return dialog;
}
