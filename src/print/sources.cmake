list(APPEND PIVANES_FORMS_SOURCES
    src/print/KorPivanePrint.cpp
)
