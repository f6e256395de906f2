#include "platform/Application.h"

#include "platform/Forms.h"

#include <QCoreApplication>

namespace Application {

void End() {
    Forms::UnloadAll();
    EventLoop::Current().Quit();
}

void EventLoop::Quit() {
    QCoreApplication::exit(0);
}

} // namespace Application
