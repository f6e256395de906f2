#include "shell/ProgressDialog.h"

#include "platform/MessageBox.h"
#include "platform/Worker.h"

#include <QProgressBar>

QProgressDialog* ShowTaskProgress(const char* objectName, const QString& text, int maximum,
                                  Worker& worker) {
    auto* dialog = new QProgressDialog(text, QString(), 0, maximum);
    dialog->setObjectName(QString::fromLatin1(objectName));
    dialog->setWindowTitle(MessageBox::AppTitle());
    dialog->setCancelButton(nullptr);
    dialog->setWindowModality(Qt::ApplicationModal);
    // Its own bar, moved directly: the dialog's setValue runs the pending events of a modal
    // dialog, which would deliver the task's end in the middle of a progress step.
    auto* bar = new QProgressBar(dialog);
    bar->setRange(0, maximum);
    bar->setValue(0);
    dialog->setBar(bar);
    QObject::connect(&worker, &Worker::Progressed, bar,
                     [bar](const QString&, int done, int) { bar->setValue(done); });
    QObject::connect(&worker, &Worker::BusyChanged, dialog, [dialog](bool busy) {
        if (busy)
            return;
        dialog->hide();
        dialog->deleteLater();
    });
    dialog->show();
    return dialog;
}
