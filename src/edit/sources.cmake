target_sources(pivanes_edit PRIVATE
    src/edit/CardForm.cpp
    src/edit/CategoryButtons.cpp
    src/edit/KorAjouter.cpp
    src/edit/KorModifie.cpp
    src/edit/KorModifier.cpp
    src/edit/KorPivaneEdit.cpp
)
