#include "platform/Guard.h"

#include "platform/MessageBox.h"
#include "store/StoreError.h"

namespace {

void Report(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
    } catch (const std::exception& error) {
        MessageBox::Error(QStringLiteral("Une erreur inattendue est survenue : %1")
                              .arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        MessageBox::Error(QStringLiteral("Une erreur inattendue est survenue."));
    }
}

} // namespace

void RunGuarded(const std::function<void()>& handler) {
    // A message box shown from here can itself fail (no display); nothing may escape.
    try {
        Report(handler);
    } catch (...) {
    }
}

PivanesApplication::PivanesApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool PivanesApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
