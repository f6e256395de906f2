#pragma once

#include "browse/FlexGrid.h"
#include "browse/GridPaging.h"
#include "platform/Form.h"

#include <functional>
#include <optional>

class UserError;

// A screen that lists cards of the current record set as rows of number and title, in pages of
// 300 cards, with the menu "Menu" ("Suite", "Retour") and the command "Quitter". A screen built
// on it says which cards it lists (FirstFill's rule) and what a click on a card opens
// (OpenClickedCard); paging, leaving and the click itself are common.
//
// The collected cards go to the shared GridNumbers and GridTitles; between two paging commands
// the page state lives in the file "Liste" of the current directory, and in memory as well for
// when that file cannot be written.
class PagedCardGrid : public Form {
    Q_OBJECT

public:
    FlexGrid* MSFlexGrid1;
    QMenu* Mem;
    QAction* ListeSuite;
    QAction* Retour;
    QAction* ListeFin;

    // Which titles are listed; an empty rule lists every card.
    using TitleRule = std::function<bool(QByteArrayView titleUtf8)>;

public slots:
    void ListeSuite_Click();
    void Retour_Click();
    void ListeFin_Click();
    void MSFlexGrid1_Click();

protected:
    // The grid is placed at the given top, in twips at design scale.
    PagedCardGrid(const char* className, int gridTop);

    // Collects the first CardCount records of the current record set whose title the rule keeps,
    // in record-set order, and shows the first page.
    void FirstFill(const TitleRule& keeps = {});

    // What a click on a card opens; CurrentCardNumber holds the clicked card (or, for the empty
    // row, the card that was current). The screen is unloaded afterwards, unless the card was
    // refused (false).
    virtual bool OpenClickedCard() = 0;
    // The click target of the screens that return to the main window: it shows that card.
    static void ShowCardInMainWindow();

    void WindowClosed() override;

private:
    void PrepareGrid();
    void Collect(const TitleRule& keeps);
    void ShowFirstPage();
    void ShowPage(const GridPaging::Page& page, qint32 rows);
    void WriteHeader();
    void WriteRows(qint32 firstSlot, qint32 count, bool trimmed);
    std::optional<GridPaging::PageState> CurrentPageState() const;
    void KeepPageState(GridPaging::PageState state);
    void ReportUnwritableFile(const UserError& error);

    bool paged_ = false;
    GridPaging::PageState memory_;
    bool stateInFile_ = false;
    bool writeFailureReported_ = false;
};
