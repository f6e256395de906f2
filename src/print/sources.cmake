target_sources(pivanes_print PRIVATE
    src/print/PrintPreview.cpp
    src/print/MainWindowPrint.cpp
    src/print/PrintLayout.cpp
)
