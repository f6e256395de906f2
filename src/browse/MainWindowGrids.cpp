// The main window's commands that open the grid screens.
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "platform/Forms.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CardStore.h"
#include "store/Queries.h"

void MainWindow::openCardList() {
    Forms::Load<CardList>(session());
    hide();
}

void MainWindow::openSearch() {
    if (!CollectionIsOpen())
        return;
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    // A count that fails leaves none counted.
    session().cardCount = 0;
    session().cardCount = cards.CountAndRewind();
    Forms::Load<SearchWindow>(session());
    hide();
}
