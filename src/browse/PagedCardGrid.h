#pragma once

#include "browse/CardGrid.h"
#include "browse/CardSlots.h"
#include "browse/CardTableModel.h"
#include "browse/GridPaging.h"
#include "shell/Window.h"

#include <optional>

class UserError;

// A screen that lists the cards last counted (the session's) as rows of number and title, in pages
// of 300 cards, with the menu "Menu" ("Suite", "Retour") and the command "Quitter". A screen built
// on it says which cards it lists (FirstFill's rule) and what a click on a card opens
// (OpenClickedCard); paging, leaving and the click itself are common.
//
// The collection counts the cards; each page reads its own from the table. Between two paging
// commands the page state lives in the file "Liste" of the current directory, and in memory as
// well for when that file cannot be written.
class PagedCardGrid : public Window {
    Q_OBJECT

public:
    // The cards listed and the last card of the page on screen, as the window keeps them.
    GridPaging::PageState pageState() const { return memory_; }

signals:
    // The card that a click chose for the main window to show.
    void cardChosen(qint64 numero);

protected:
    // The grid is placed at the given top, in twips at design scale; the empty row below the
    // cards chooses the card current in the opener.
    PagedCardGrid(const char* className, int gridTop, Session& session, qint64 currentCard);

    // Collects the cards last counted, or those of them that the search finds, in ascending
    // number, and shows the first page.
    void FirstFill(const std::optional<SearchedFor>& searched = std::nullopt);

    // What a click on a card opens: the clicked card, or for the empty row the card that was
    // current.
    virtual void OpenClickedCard(qint64 numero) = 0;

    void WindowClosed() override;
    // The column widths follow the scale.
    void scaleChanged() override;

    CardGrid* MSFlexGrid1;
    QMenu* Mem;

private:
    void showNextPage();
    void showPreviousPage();
    void leave();
    void openClickedRow(int row);
    void fitColumnsToScale();
    CardSlots Collect(const std::optional<SearchedFor>& searched);
    void ShowFirstPage(qint32 mark);
    void ShowPage(const GridPaging::Page& page);
    void ShowRows(const std::vector<CardRow>& rows, bool trimmed);
    std::optional<GridPaging::PageState> CurrentPageState() const;
    void KeepPageState(GridPaging::PageState state);
    void ReportUnwritableFile(const UserError& error);

    qint64 currentCard_;
    CardTableModel* cards_;
    CardSlots slots_;
    bool paged_ = false;
    GridPaging::PageState memory_;
    bool stateInFile_ = false;
    bool writeFailureReported_ = false;

    QAction* ListeSuite;
    QAction* Retour;
    QAction* ListeFin;
};
