// The main window's card viewer: the refresh, the four steps and the lookup by number.
#include "browse/CardBoxes.h"
#include "browse/CardLines.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "platform/ResumeNext.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/Queries.h"
#include "store/TextSearch.h"

void MainWindow::SetViewerVisible(bool visible) {
    for (QWidget* control : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                             static_cast<QWidget*>(Command4), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Label2)})
        control->setVisible(visible);
}

void MainWindow::refreshViewer() {
    SetViewerVisible(true);
    List1->clear();
    List1->addItems(CardLines(Text2->Text()));
    Label2->setText(QStringLiteral("FICHE N° ") + NumberText(session().currentCard));
}

void MainWindow::ShowCurrentRow() {
    Recordset& cards = Store().Current();
    session().currentCard = cards.Fields(Field::Numero).toLongLong();
    ShowCard(cards, *Text1, *Text2);
    shownCard_ = session().currentCard;
}

void MainWindow::showFirstCard() {
    Store().Current().MoveFirst();
    ShowCurrentRow();
    refreshViewer();
}

void MainWindow::showLastCard() {
    Store().Current().MoveLast();
    ShowCurrentRow();
    refreshViewer();
}

// Past either end the step fails quietly and the card on screen stays.
void MainWindow::showPreviousCard() {
    ResumeNext([] { Store().Current().MovePrevious(); });
    ResumeNext([this] { ShowCurrentRow(); });
    refreshViewer();
}

void MainWindow::showNextCard() {
    ResumeNext([] { Store().Current().MoveNext(); });
    ResumeNext([this] { ShowCurrentRow(); });
    refreshViewer();
}

void MainWindow::showChosenCard() {
    // An empty selection stays shown as such: there is no card to come back to.
    if (session().cardCount <= 0)
        return;
    Recordset& cards = Store().Current();
    if (cards.Seek(session().currentCard)) {
        // A card of all cards (found by the search) that the selection on display does not
        // hold is shown among all cards, and the banner says so.
        if (cards.selection().IsAllCards() && !SelectionHolds(cards)) {
            selection_ = Selection{Queries::AllCards(),
                                   QString::fromLatin1(CategoryCatalogue::kGeneralPrefix)};
            ShowSelectionCommands();
            ShowBanner(selection_->labelPrefix, session().cardCount);
        }
        ShowCard(cards, *Text1, *Text2);
        shownCard_ = session().currentCard;
    }
    SetViewerVisible(true);
    refreshViewer();
}

bool MainWindow::SelectionHolds(const Recordset& cards) const {
    if (!selection_)
        return false;
    const std::optional<QString> code = Queries::CategoryCode(selection_->sql);
    return !code || cards.Fields(Field::Cate).toString() == *code;
}

void MainWindow::highlightFoundWords(const TextQuery& query) {
    if (!query.Matches(Text1->Text(), Text2->Text()))
        return;
    // The colours of the boxes swapped: the words stand out as an editor's search shows them.
    QTextCharFormat found;
    found.setBackground(Colors::Yellow);
    found.setForeground(Colors::Blue);
    const auto occurrences = [&query](QStringView shown) { return query.Occurrences(shown); };
    Text1->Highlight(occurrences, found);
    Text2->Highlight(occurrences, found);
}
