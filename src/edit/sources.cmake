list(APPEND PIVANES_FORMS_SOURCES
    src/edit/KorPivaneEdit.cpp
)
