list(APPEND PIVANES_CORE_SOURCES
    src/print/PrintLayout.cpp
)
list(APPEND PIVANES_FORMS_SOURCES
    src/print/ImprimeR.cpp
    src/print/KorPivanePrint.cpp
)
