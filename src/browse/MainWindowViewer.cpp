// The main window's card viewer: the refresh, the four steps and the lookup by number.
#include "browse/CardBoxes.h"
#include "browse/CardLines.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CardCursor.h"
#include "store/CategoryCatalogue.h"
#include "store/StoreError.h"
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
    Label2->setText(QStringLiteral("FICHE N° ") + NumberText(currentCard_));
}

CardCursor& MainWindow::Cursor() const {
    if (!cards_)
        throw StoreError(StoreError::Kind::NoCurrentRecord,
                         QStringLiteral("Aucune sélection de fiches n'est ouverte : "
                                        "choisissez d'abord une catégorie."));
    return *cards_;
}

void MainWindow::ShowCurrentRow() {
    currentCard_ = Cursor().CurrentNumero();
    ShowCard(Cursor().CurrentCard(), *Text1, *Text2);
    shownCard_ = currentCard_;
}

void MainWindow::showFirstCard() {
    Cursor().MoveFirst();
    ShowCurrentRow();
    refreshViewer();
}

void MainWindow::showLastCard() {
    Cursor().MoveLast();
    ShowCurrentRow();
    refreshViewer();
}

// Past either end the card on screen stays; the next step comes back to the end card.
void MainWindow::showPreviousCard() {
    Cursor().MovePrevious();
    if (!Cursor().Bof())
        ShowCurrentRow();
    refreshViewer();
}

void MainWindow::showNextCard() {
    Cursor().MoveNext();
    if (!Cursor().Eof())
        ShowCurrentRow();
    refreshViewer();
}

void MainWindow::showChosenCard(qint64 numero) {
    currentCard_ = numero;
    // An empty selection stays shown as such: there is no card to come back to.
    if (session().cardCount <= 0)
        return;
    // The arrows go on from the chosen card through the cards the grid showed.
    cards_ = std::make_unique<CardCursor>(session().sharedCollection(), session().countedSelection);
    if (cards_->Seek(currentCard_)) {
        const StoredCard& card = cards_->CurrentCard();
        // A card of all cards (found by the search) that the selection on display does not
        // hold is shown among all cards, and the banner says so.
        if (cards_->selection().IsAllCards() && !SelectionHolds(card)) {
            selection_ = ShownSelection{Selection::AllCards(),
                                        QString::fromLatin1(CategoryCatalogue::kGeneralPrefix)};
            ShowSelectionCommands();
            ShowBanner(selection_->labelPrefix, session().cardCount);
        }
        ShowCard(card, *Text1, *Text2);
        shownCard_ = currentCard_;
    }
    SetViewerVisible(true);
    refreshViewer();
}

bool MainWindow::SelectionHolds(const StoredCard& card) const {
    if (!selection_)
        return false;
    return selection_->cards.IsAllCards() ||
           card.cate.value_or(QString()) == selection_->cards.Code();
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
