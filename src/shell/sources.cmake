target_sources(pivanes_shell PRIVATE
    src/shell/CommandLine.cpp
    src/shell/Splash.cpp
    src/shell/Window.cpp
    src/shell/DataFolder.cpp
    src/shell/FormZoomed.cpp
    src/shell/Backdrop.cpp
    src/shell/MainWindow.cpp
    src/shell/OldCollection.cpp
    src/shell/Pictures.cpp
    src/shell/ProgressDialog.cpp
    src/shell/SearchCommand.cpp
    src/shell/ServerChoice.cpp
    src/shell/ServerCopyCommand.cpp
    src/shell/Session.cpp
)
