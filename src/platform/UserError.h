#pragma once

#include <QString>
#include <stdexcept>

// The one kind of failure the user is told about: a French sentence that says what happened and
// what was kept, and after it, when there is one, the reason the system or the engine gave, which
// may be in English and so never stands alone.
class UserError : public std::runtime_error {
public:
    explicit UserError(const QString& sentence, const QString& reason = QString());

    // What a message box shows: the sentence, then the reason on a line of its own.
    QString text() const;
    const QString& sentence() const { return sentence_; }
    const QString& reason() const { return reason_; }

    // The system's text for an errno value.
    static QString SystemReason(int errorNumber);

private:
    QString sentence_;
    QString reason_;
};

// A sentence followed by a reason, as every message of the program puts them.
QString WithReason(const QString& sentence, const QString& reason);
