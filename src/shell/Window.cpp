#include "shell/Window.h"

#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

Window::Window(const char* objectName, Session& session) : Form(objectName), session_(session) {
    connect(Design(), &DesignLayout::rescaled, this,
            [this] { RunGuarded([this] { scaleChanged(); }); });
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
    Session& session = session_;
    session.CloseCollection();
    // This window goes too, once its handler has returned.
    Forms::UnloadAll();
    Forms::Load<MainWindow>(session);
    return false;
}
