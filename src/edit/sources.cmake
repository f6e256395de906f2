target_sources(pivanes_edit PRIVATE
    src/edit/CardForm.cpp
    src/edit/CategoryButtons.cpp
    src/edit/NewCardForm.cpp
    src/edit/CardPicker.cpp
    src/edit/CardEditor.cpp
    src/edit/MainWindowEdit.cpp
    src/edit/TrashWindow.cpp
)
