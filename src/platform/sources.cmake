# What the engine below the windows needs, built without QtWidgets.
target_sources(pivanes_platform_core PRIVATE
    src/platform/Clock.cpp
    src/platform/DiskCalls.cpp
    src/platform/FileWriter.cpp
    src/platform/FolderLock.cpp
    src/platform/LineEnds.cpp
    src/platform/UserError.cpp
)
target_sources(pivanes_platform PRIVATE
    src/platform/Application.cpp
    src/platform/DesignLayout.cpp
    src/platform/Controls.cpp
    src/platform/Desktop.cpp
    src/platform/Display.cpp
    src/platform/FileDialog.cpp
    src/platform/FocusRing.cpp
    src/platform/Form.cpp
    src/platform/Guard.cpp
    src/platform/Look.cpp
    src/platform/MessageBox.cpp
    src/platform/Printer.cpp
    src/platform/Screen.cpp
    src/platform/Worker.cpp
)
