#pragma once

#include <QApplication>
#include <utility>

// Tells the user, in French, of the failure being handled; never throws. Only inside a catch.
void ReportCaughtFailure() noexcept;

// Runs a handler; a failure it did not catch becomes a French message, never an abnormal end.
// A template, so that the guard around every event costs no allocation.
template <typename Handler> void RunGuarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportCaughtFailure();
    }
}

// The last line of defence for events that reach no guarded handler.
class PivanesApplication : public QApplication {
public:
    PivanesApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
