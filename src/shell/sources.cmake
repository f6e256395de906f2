list(APPEND PIVANES_CORE_SOURCES
    src/shell/CommandLine.cpp
    src/shell/DataFolder.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/shell/Copyright.cpp
    src/shell/FormZoomed.cpp
    src/shell/KorDepart.cpp
    src/shell/KorPivane.cpp
    src/shell/OldCollection.cpp
    src/shell/Pictures.cpp
)
