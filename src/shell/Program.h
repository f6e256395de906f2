#pragma once

class MainWindow;
class QWidget;
class Session;

// The program's first windows on a session, as main() opens them: the backdrop, and the splash
// over it, which is answered; the splash hands over to the main window.
QWidget* StartProgram(Session& session);

// The main window, loaded on the session in its entry state. It is the shell's: it goes with
// the program (Application::End), and every other window goes with it or with the start-up
// windows.
MainWindow& OpenMainWindow(Session& session);
