target_sources(pivanes_maintenance PRIVATE
    src/maintenance/Compaction.cpp
    src/maintenance/HelpWindow.cpp
    src/maintenance/MainWindowMaintenance.cpp
    src/maintenance/BackupChecks.cpp
    src/maintenance/BackupCopies.cpp
    src/maintenance/BackupWindow.cpp
    src/maintenance/FolderViews.cpp
    src/maintenance/Marker.cpp
    src/maintenance/SafeFiles.cpp
)
