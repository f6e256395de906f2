list(APPEND PIVANES_FORMS_SOURCES
    src/maintenance/KorPivaneMaintenance.cpp
)
