list(APPEND PIVANES_FORMS_SOURCES
    src/shell/Copyright.cpp
    src/shell/FormZoomed.cpp
    src/shell/KorDepart.cpp
    src/shell/KorPivane.cpp
    src/shell/OldCollection.cpp
    src/shell/Pictures.cpp
)
