target_sources(pivanes_print PRIVATE
    src/print/ImprimeR.cpp
    src/print/KorPivanePrint.cpp
    src/print/PrintLayout.cpp
)
