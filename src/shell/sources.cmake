target_sources(pivanes_shell PRIVATE
    src/shell/CommandLine.cpp
    src/shell/Copyright.cpp
    src/shell/DataFolder.cpp
    src/shell/FormZoomed.cpp
    src/shell/KorDepart.cpp
    src/shell/KorPivane.cpp
    src/shell/OldCollection.cpp
    src/shell/Pictures.cpp
    src/shell/SearchCommand.cpp
    src/shell/ServerChoice.cpp
)
