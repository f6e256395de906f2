// The main window's commands that open the card forms and the trash.
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "edit/TrashWindow.h"
#include "shell/MainWindow.h"

void MainWindow::openCardPicker() {
    if (!CollectionIsOpen())
        return;
    auto& picker = Open<CardPicker>(currentCard_);
    connect(&picker, &Window::finished, this, &MainWindow::comeBack);
    hide();
}

void MainWindow::openNewCardForm() {
    if (!CollectionIsOpen())
        return;
    auto& form = Open<NewCardForm>();
    connect(&form, &Window::finished, this, &MainWindow::comeBackToEntryState);
    LeaveViewer();
}

void MainWindow::openTrashWindow() {
    if (!CollectionIsOpen())
        return;
    auto& trash = Open<TrashWindow>();
    connect(&trash, &Window::finished, this, &MainWindow::comeBackToEntryState);
    LeaveViewer();
}
