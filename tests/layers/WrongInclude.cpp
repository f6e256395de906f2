// A layer below the shell including the main window's header: the build must refuse it.
#include "shell/MainWindow.h"
