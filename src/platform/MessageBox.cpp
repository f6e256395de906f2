#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <optional>

namespace {

struct TestState {
    bool enabled = false;
    std::optional<MessageBox::Answer> nextAnswer;
    QList<MessageBox::Message> shown;
};

TestState& State() {
    static TestState state;
    return state;
}

MessageBox::Answer Recorded(const QString& title, const QString& text,
                            MessageBox::Answer fallback) {
    State().shown.append({title, text});
    const MessageBox::Answer answer = State().nextAnswer.value_or(fallback);
    State().nextAnswer.reset();
    return answer;
}

QWidget* Parent() {
    return QApplication::activeWindow();
}

// The text can be selected, so that a path or an address in it can be copied.
QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const QString& title, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, Parent());
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

namespace MessageBox {

QString AppTitle() {
    return QStringLiteral("Pivanes");
}

void Show(const QString& text, const QString& title) {
    if (State().enabled) {
        Recorded(title, text, Answer::Ok);
        return;
    }
    Ask(QMessageBox::Information, title, text, QMessageBox::Ok);
}

void Error(const QString& text) {
    if (State().enabled) {
        Recorded(AppTitle(), text, Answer::Ok);
        return;
    }
    Ask(QMessageBox::Critical, AppTitle(), text, QMessageBox::Ok);
}

Answer AskYesNo(const QString& text, const QString& title) {
    if (State().enabled)
        return Recorded(title, text, Answer::No);
    return Ask(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

namespace Testing {
void Enable() {
    State().enabled = true;
}
void SetNextAnswer(Answer answer) {
    State().nextAnswer = answer;
}
const QList<Message>& Shown() {
    return State().shown;
}
void Clear() {
    State().shown.clear();
    State().nextAnswer.reset();
}
} // namespace Testing

} // namespace MessageBox
