#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <utility>

class Session;

// Which commands the open collection lets the user run. One that can only be read (a
// write-protected file, a role without the right to write) turns every command that writes it
// off from the start, with the reason as its tooltip, rather than refusing a card typed whole.
class WriteAccess {
public:
    // Without a collection open nothing is known to refuse: each command says what is missing.
    static WriteAccess Of(const Session& session);
    // whyReadOnly: none when the collection can be written.
    explicit WriteAccess(std::optional<QString> whyReadOnly)
        : whyReadOnly_(std::move(whyReadOnly)) {}

    // Whether the command, named by the objectName of its item or button, writes the collection.
    static bool Writes(QStringView command);
    bool Allows(QStringView command) const { return !whyReadOnly_ || !Writes(command); }
    // Why the command is off; empty while it may run.
    QString WhyOff(QStringView command) const;
    // A window's title, marked while the collection can only be read.
    QString Title(const QString& title) const;

    // Turns a command (a menu item or a button) on when the window would and the collection lets
    // it, with the reason it is off as its tooltip.
    template <class Command> void Show(Command* command, bool windowAllows = true) const {
        const QString name = command->objectName();
        command->setEnabled(windowAllows && Allows(name));
        command->setToolTip(WhyOff(name));
    }

private:
    std::optional<QString> whyReadOnly_;
};
