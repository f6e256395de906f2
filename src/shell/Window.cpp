#include "shell/Window.h"

Window::Window(const char* objectName, Session& session) : Form(objectName), session_(session) {
    connect(Design(), &DesignLayout::rescaled, this, Guarded(&Window::scaleChanged));
}

void Window::scaleToScreen() {
    Design()->loadForScreen();
}
