#include "platform/Application.h"

#include "platform/Form.h"

#include <QApplication>

namespace Application {

void CloseAllWindows() {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->parentWidget())
            continue;
        if (auto* form = qobject_cast<Form*>(window))
            form->Unload();
        else if (window->testAttribute(Qt::WA_DeleteOnClose))
            window->close();
    }
}

void End() {
    CloseAllWindows();
    EventLoop::Current().Quit();
}

void EventLoop::Quit() {
    QCoreApplication::exit(0);
}

} // namespace Application
