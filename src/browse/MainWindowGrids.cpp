// The main window's commands that open the grid screens.
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

void MainWindow::openCardList() {
    auto& list = Open<CardList>(currentCard_);
    connect(&list, &PagedCardGrid::cardChosen, this, &MainWindow::showCardFromGrid);
    connect(&list, &Window::finished, this, &MainWindow::comeBack);
    hide();
}

void MainWindow::openSearch() {
    if (!CollectionIsOpen())
        return;
    session().CountCards(Selection::AllCards());
    auto& search = Open<SearchWindow>(currentCard_);
    connect(&search, &PagedCardGrid::cardChosen, this, &MainWindow::showCardFromGrid);
    connect(&search, &SearchWindow::wordsFound, this, Guarded(&MainWindow::highlightFoundWords));
    connect(&search, &Window::finished, this, &MainWindow::comeBack);
    hide();
}

// A card that cannot be shown is said; this window comes back all the same.
void MainWindow::showCardFromGrid(qint64 numero) {
    RunGuarded([this, numero] { showChosenCard(numero); });
    comeBack();
}
