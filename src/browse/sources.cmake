list(APPEND PIVANES_CORE_SOURCES
    src/browse/CardLines.cpp
    src/browse/CardSlots.cpp
    src/browse/GridPaging.cpp
    src/browse/PageStateFile.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/browse/CardBoxes.cpp
    src/browse/FlexGrid.cpp
    src/browse/KorListe.cpp
    src/browse/KorPivaneCategories.cpp
    src/browse/KorPivaneGrids.cpp
    src/browse/KorPivaneViewer.cpp
    src/browse/KorRecherche.cpp
    src/browse/PagedCardGrid.cpp
)
