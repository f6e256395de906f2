// The main window's commands that open the card forms.
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"

void MainWindow::openCardPicker() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<CardPicker>(session());
    hide();
}

void MainWindow::openNewCardForm() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<NewCardForm>(session());
    Forms::Unload<MainWindow>();
}
