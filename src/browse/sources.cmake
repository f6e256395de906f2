list(APPEND PIVANES_CORE_SOURCES
    src/browse/CardLines.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/browse/KorPivaneCategories.cpp
    src/browse/KorPivaneGrids.cpp
    src/browse/KorPivaneViewer.cpp
)
