list(APPEND PIVANES_CORE_SOURCES
    src/platform/Clock.cpp
    src/platform/FileWriter.cpp
    src/platform/UserError.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/platform/Application.cpp
    src/platform/ControlProperties.cpp
    src/platform/Controls.cpp
    src/platform/FileDialog.cpp
    src/platform/Desktop.cpp
    src/platform/FileControls.cpp
    src/platform/Form.cpp
    src/platform/Forms.cpp
    src/platform/Guard.cpp
    src/platform/Look.cpp
    src/platform/MessageBox.cpp
    src/platform/Printer.cpp
    src/platform/Screen.cpp
)
