// The main window's category menus.
#include "platform/NumberText.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/Queries.h"

void MainWindow::showCategory(const QString& code) {
    const Category* category = CategoryCatalogue::FindByCode(code);
    if (!category || !CollectionIsOpen())
        return;
    session().categoryCode = code;
    ShowSelectionCommands();
    ShowSelection(Queries::Category(session().categoryCode),
                  QString::fromLatin1(category->labelPrefix));
}

void MainWindow::showAllCards() {
    if (!CollectionIsOpen())
        return;
    ShowSelectionCommands();
    ShowSelection(Queries::AllCards(), QString::fromLatin1(CategoryCatalogue::kGeneralPrefix));
}

void MainWindow::ShowSelection(const QString& sql, const QString& labelPrefix) {
    selection_ = Selection{sql, labelPrefix};
    ShowSelectedCard(std::nullopt);
}

void MainWindow::ShowSelectedCard(std::optional<qint64> numero) {
    Recordset& cards = Store().OpenRecordset(selection_->sql);
    const qint32 count = cards.CountAndRewind();
    if (count == 0) {
        ShowEmptySelection(selection_->labelPrefix);
        return;
    }
    session().cardCount = count;
    ShowBanner(selection_->labelPrefix, count);
    if (numero && !cards.Seek(*numero))
        cards.MoveFirst();
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
