#pragma once

#include <QList>
#include <QString>

// Message boxes, with a test mode in which nothing is shown: every message is recorded and
// questions get the answer that the test gave in advance.
namespace MessageBox {

enum class Answer { Ok, Yes, No };

struct Message {
    QString title;
    QString text;
};

QString AppTitle();

void Show(const QString& text, const QString& title = AppTitle()); // OK button
void Error(const QString& text);                                   // OK button, error icon
Answer AskYesNo(const QString& text, const QString& title = AppTitle());

namespace Testing {
void Enable();
void SetNextAnswer(Answer answer); // used once; otherwise questions get No
const QList<Message>& Shown();
void Clear();
} // namespace Testing

} // namespace MessageBox
