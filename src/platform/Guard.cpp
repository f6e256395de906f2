#include "platform/Guard.h"

#include "platform/MessageBox.h"
#include "platform/UserError.h"

namespace {

const QString kUnexpected = QStringLiteral("Une erreur inattendue a interrompu l'opération en "
                                           "cours ; le programme continue.");

void Report() {
    try {
        throw;
    } catch (const UserError& error) {
        MessageBox::Error(error.text());
    } catch (const std::exception& error) {
        MessageBox::Error(WithReason(kUnexpected, QString::fromLocal8Bit(error.what())));
    } catch (...) {
        MessageBox::Error(kUnexpected);
    }
}

} // namespace

void ReportCaughtFailure() noexcept {
    // A message box shown from here can itself fail (no display); nothing may escape.
    try {
        Report();
    } catch (...) {
    }
}

PivanesApplication::PivanesApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool PivanesApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
