#pragma once

#include <QApplication>
#include <functional>

// Runs a handler; a failure it did not catch becomes a French message, never an abnormal end.
void RunGuarded(const std::function<void()>& handler);

// The last line of defence for events that reach no guarded handler.
class PivanesApplication : public QApplication {
public:
    PivanesApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
