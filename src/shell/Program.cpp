#include "shell/Program.h"

#include "shell/Backdrop.h"
#include "shell/MainWindow.h"

QWidget* StartProgram(Session& session) {
    return LoadWindow(new Backdrop(session)).splash();
}

MainWindow& OpenMainWindow(Session& session) {
    return LoadWindow(new MainWindow(session));
}
