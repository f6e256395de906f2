list(APPEND PIVANES_CORE_SOURCES
    src/maintenance/Compaction.cpp
    src/maintenance/Marker.cpp
    src/maintenance/Pause.cpp
    src/maintenance/SafeFiles.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/maintenance/HelpWindow.cpp
    src/maintenance/KorPivaneMaintenance.cpp
    src/maintenance/KorSauve.cpp
)
