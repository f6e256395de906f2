target_sources(pivanes_shell PRIVATE
    src/shell/CollectionChoice.cpp
    src/shell/CommandLine.cpp
    src/shell/Splash.cpp
    src/shell/Window.cpp
    src/shell/DataFolder.cpp
    src/shell/Backdrop.cpp
    src/shell/MainWindow.cpp
    src/shell/OldCollection.cpp
    src/shell/Pictures.cpp
    src/shell/ProgressDialog.cpp
    src/shell/SearchCommand.cpp
    src/shell/ServerChoice.cpp
    src/shell/ServerCopyCommand.cpp
    src/shell/ServerDialogs.cpp
    src/shell/Session.cpp
    src/shell/WriteAccess.cpp
)
