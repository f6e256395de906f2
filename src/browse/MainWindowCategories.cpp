// The main window's category menus.
#include "platform/NumberText.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CardCursor.h"
#include "store/CategoryCatalogue.h"

void MainWindow::showCategory(const QString& code) {
    const Category* category = CategoryCatalogue::FindByCode(code);
    if (!category || !CollectionIsOpen())
        return;
    ShowSelectionCommands();
    ShowSelection(Selection::Category(code), QString::fromLatin1(category->labelPrefix));
}

void MainWindow::showAllCards() {
    if (!CollectionIsOpen())
        return;
    ShowSelectionCommands();
    ShowSelection(Selection::AllCards(), QString::fromLatin1(CategoryCatalogue::kGeneralPrefix));
}

void MainWindow::ShowSelection(const Selection& cards, const QString& labelPrefix) {
    selection_ = ShownSelection{cards, labelPrefix};
    ShowSelectedCard(std::nullopt);
}

void MainWindow::ShowSelectedCard(std::optional<qint64> numero) {
    cards_.reset();
    const qint32 count = session().CountCards(selection_->cards);
    if (count == 0) {
        ShowEmptySelection(selection_->labelPrefix);
        return;
    }
    ShowBanner(selection_->labelPrefix, count);
    cards_ = std::make_unique<CardCursor>(session().sharedCollection(), selection_->cards);
    if (!numero || !cards_->Seek(*numero))
        cards_->MoveFirst();
    ShowCurrentRow();
    refreshViewer();
}

void MainWindow::ShowBanner(const QString& labelPrefix, qint32 count) {
    lblLabels->setText(labelPrefix + NumberText(count) + QStringLiteral(" Fiches"));
}

void MainWindow::ShowSelectionCommands() {
    for (QAction* item : {Retour, Imprime, ListeFiche})
        item->setVisible(true);
}

// Nothing of an earlier card may stay behind, or it would be printed or listed by mistake.
void MainWindow::ShowEmptySelection(const QString& labelPrefix) {
    session().cardCount = 0;
    ShowBanner(labelPrefix, 0);
    Text1->SetText(QString());
    Text2->SetText(QString());
    List1->clear();
    SetViewerVisible(false);
}

void MainWindow::showOfficeMenu() {
    selection_.reset();
    lblLabels->setText(QString::fromLatin1(CategoryCatalogue::kOfficeLabel));
    SetMenuVisible(Catego, false);
    SetMenuVisible(Bur, true);
    List1->clear();
    List1->hide();
    SetViewerVisible(false);
    ShowSelectionCommands();
}
