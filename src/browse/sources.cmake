target_sources(pivanes_browse PRIVATE
    src/browse/CardBoxes.cpp
    src/browse/CardLines.cpp
    src/browse/CardSlots.cpp
    src/browse/CardGrid.cpp
    src/browse/CardTableModel.cpp
    src/browse/GridPaging.cpp
    src/browse/CardList.cpp
    src/browse/MainWindowCategories.cpp
    src/browse/MainWindowGrids.cpp
    src/browse/MainWindowViewer.cpp
    src/browse/SearchKeyword.cpp
    src/browse/SearchWindow.cpp
    src/browse/PageStateFile.cpp
    src/browse/PagedCardGrid.cpp
)
