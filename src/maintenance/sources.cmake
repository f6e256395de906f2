target_sources(pivanes_maintenance PRIVATE
    src/maintenance/Compaction.cpp
    src/maintenance/HelpWindow.cpp
    src/maintenance/KorPivaneMaintenance.cpp
    src/maintenance/KorSauve.cpp
    src/maintenance/Marker.cpp
    src/maintenance/Pause.cpp
    src/maintenance/SafeFiles.cpp
)
