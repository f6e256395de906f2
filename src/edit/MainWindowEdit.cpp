// The main window's commands that open the card forms.
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"

void MainWindow::Ajout_Click() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<CardPicker>();
    hide();
}

void MainWindow::Modif_Click() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<NewCardForm>();
    Forms::Unload<MainWindow>();
}
