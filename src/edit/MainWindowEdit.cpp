// The main window's commands that open the card forms and the trash.
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "edit/TrashWindow.h"
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

void MainWindow::openTrashWindow() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<TrashWindow>(session());
    Forms::Unload(this);
}
