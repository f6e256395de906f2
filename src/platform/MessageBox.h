#pragma once

#include "platform/Replaceable.h"

#include <QString>

namespace MessageBox {

enum class Answer { Ok, Yes, No };

QString AppTitle();

void Show(const QString& text, const QString& title = AppTitle()); // OK button
void Error(const QString& text);                                   // OK button, error icon
Answer AskYesNo(const QString& text, const QString& title = AppTitle());

enum class Kind { Information, Error, Question };

// Where the three go: the desktop's message boxes, unless a test or a tool put its own in their
// place.
class Presenter : public Replaceable<Presenter> {
public:
    virtual ~Presenter() = default;
    // Shows the message and waits for the answer: Yes or No to a question, Ok otherwise.
    virtual Answer Present(Kind kind, const QString& title, const QString& text);
};

} // namespace MessageBox
