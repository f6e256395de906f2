#include "shell/Window.h"

#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

Window::Window(const char* objectName, Session& session) : Form(objectName), session_(session) {
    connect(Design(), &DesignLayout::rescaled, this,
            [this] { RunGuarded([this] { scaleChanged(); }); });
}

void Window::Leave() {
    emit finished();
    Unload();
}

void Window::scaleToScreen() {
    Design()->loadForScreen();
}

bool Window::BeforeHandler() {
    if (!session_.CollectionRestoredElsewhere())
        return true;
    MessageBox::Show(QStringLiteral("La collection partagée a été restaurée depuis une "
                                    "sauvegarde par un autre programme : les fiches affichées "
                                    "n'existent peut-être plus. Pivanes la rouvre telle qu'elle "
                                    "est maintenant ; recommencez ce que vous faisiez."));
    session_.CloseCollection();
    // This window goes too, once its handler has returned.
    for (QWidget* window = this; window; window = window->parentWidget())
        if (auto* main = qobject_cast<MainWindow*>(window))
            main->startAgain();
    return false;
}
