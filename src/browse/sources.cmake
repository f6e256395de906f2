target_sources(pivanes_browse PRIVATE
    src/browse/CardBoxes.cpp
    src/browse/CardLines.cpp
    src/browse/CardSlots.cpp
    src/browse/FlexGrid.cpp
    src/browse/GridPaging.cpp
    src/browse/KorListe.cpp
    src/browse/KorPivaneCategories.cpp
    src/browse/KorPivaneGrids.cpp
    src/browse/KorPivaneViewer.cpp
    src/browse/KorRecherche.cpp
    src/browse/PageStateFile.cpp
    src/browse/PagedCardGrid.cpp
)
