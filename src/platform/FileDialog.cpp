#include "platform/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <optional>

namespace {

struct TestState {
    bool enabled = false;
    std::optional<QString> nextAnswer;
    QStringList asked;
};

TestState& State() {
    static TestState state;
    return state;
}

} // namespace

namespace FileDialog {

QString SaveFileName(const QString& caption, const QString& suggested, const QString& filter,
                     const QString& suffix) {
    if (State().enabled) {
        State().asked.append(caption);
        QString answer = State().nextAnswer.value_or(QString());
        State().nextAnswer.reset();
        return answer;
    }
    QFileDialog dialog(QApplication::activeWindow(), caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

namespace Testing {
void Enable() {
    State().enabled = true;
}
void SetNextAnswer(const QString& file) {
    State().nextAnswer = file;
}
const QStringList& Asked() {
    return State().asked;
}
void Clear() {
    State().nextAnswer.reset();
    State().asked.clear();
}
} // namespace Testing

} // namespace FileDialog
