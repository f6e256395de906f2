// The main window's commands that open the grid screens.
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"
#include "store/CardStore.h"
#include "store/Donnees.h"
#include "store/Queries.h"

void MainWindow::ListeFiche_Click() {
    Forms::Load<CardList>();
    hide();
}

void MainWindow::Recher_Click() {
    if (!CollectionIsOpen())
        return;
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    // A count that fails leaves none counted.
    Donnees.CardCount = 0;
    Donnees.CardCount = cards.CountAndRewind();
    Forms::Load<SearchWindow>();
    hide();
}
