// The main window's commands that open the grid screens.
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

void MainWindow::openCardList() {
    Forms::Load<CardList>(session());
    hide();
}

void MainWindow::openSearch() {
    if (!CollectionIsOpen())
        return;
    session().CountCards(Selection::AllCards());
    Forms::Load<SearchWindow>(session());
    hide();
}
