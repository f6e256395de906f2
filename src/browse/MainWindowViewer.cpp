// The main window's card viewer: the refresh, the four steps and the lookup by number.
#include "browse/CardBoxes.h"
#include "browse/CardLines.h"
#include "platform/NumberText.h"
#include "platform/ResumeNext.h"
#include "shell/MainWindow.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/Donnees.h"
#include "store/Queries.h"

void MainWindow::SetViewerVisible(bool visible) {
    for (QWidget* control : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Text2),
                             static_cast<QWidget*>(Command4), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Label2)})
        control->setVisible(visible);
}

void MainWindow::Lire() {
    SetViewerVisible(true);
    List1->clear();
    List1->addItems(CardLines(Text2->Text()));
    Label2->setText(QStringLiteral("FICHE N° ") + NumberText(Donnees.CurrentCardNumber));
}

void MainWindow::ShowCurrentRow() {
    Recordset& cards = Store().Current();
    Donnees.CurrentCardNumber = cards.Fields(Field::Numero).toLongLong();
    ShowCard(cards, *Text1, *Text2);
    shownCard_ = Donnees.CurrentCardNumber;
}

void MainWindow::Command3_Click() {
    Store().Current().MoveFirst();
    ShowCurrentRow();
    Lire();
}

void MainWindow::Command4_Click() {
    Store().Current().MoveLast();
    ShowCurrentRow();
    Lire();
}

// Past either end the step fails quietly and the card on screen stays.
void MainWindow::Command1_Click() {
    ResumeNext([] { Store().Current().MovePrevious(); });
    ResumeNext([this] { ShowCurrentRow(); });
    Lire();
}

void MainWindow::Command2_Click() {
    ResumeNext([] { Store().Current().MoveNext(); });
    ResumeNext([this] { ShowCurrentRow(); });
    Lire();
}

void MainWindow::Voir() {
    // An empty selection stays shown as such: there is no card to come back to.
    if (Donnees.CardCount <= 0)
        return;
    Recordset& cards = Store().Current();
    if (cards.Seek(Donnees.CurrentCardNumber)) {
        // A card of all cards (found by the search) that the selection on display does not
        // hold is shown among all cards, and the banner says so.
        if (cards.selection().IsAllCards() && !SelectionHolds(cards)) {
            selection_ = Selection{Queries::AllCards(),
                                   QString::fromLatin1(CategoryCatalogue::kGeneralPrefix)};
            ShowSelectionCommands();
            ShowBanner(selection_->labelPrefix, Donnees.CardCount);
        }
        ShowCard(cards, *Text1, *Text2);
        shownCard_ = Donnees.CurrentCardNumber;
    }
    SetViewerVisible(true);
    Lire();
}

bool MainWindow::SelectionHolds(const Recordset& cards) const {
    if (!selection_)
        return false;
    const std::optional<QString> code = Queries::CategoryCode(selection_->sql);
    return !code || cards.Fields(Field::Cate).toString() == *code;
}
