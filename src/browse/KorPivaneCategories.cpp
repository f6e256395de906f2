// The main window's category menus.
#include "platform/NumberText.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/Donnees.h"
#include "store/Queries.h"

void KorPivane::ChooseCategory(const QString& code) {
    const Category* category = CategoryCatalogue::FindByCode(code);
    if (!category || !CollectionIsOpen())
        return;
    Donnees.CurrentCategoryCode = code;
    if (category->group == CategoryGroup::Top)
        for (QAction* item : {Retour, Imprime, ListeFiche})
            item->setVisible(true);
    ShowSelection(Queries::Category(Donnees.CurrentCategoryCode),
                  QString::fromLatin1(category->labelPrefix));
}

void KorPivane::General_Click() {
    if (!CollectionIsOpen())
        return;
    for (QAction* item : {Retour, Imprime, ListeFiche})
        item->setVisible(true);
    ShowSelection(Queries::AllCards(), QString::fromLatin1(CategoryCatalogue::kGeneralPrefix));
}

void KorPivane::ShowSelection(const QString& sql, const QString& labelPrefix) {
    const qint32 count = Store().OpenRecordset(sql).CountAndRewind();
    if (count == 0) {
        ShowEmptySelection(labelPrefix);
        return;
    }
    Donnees.CardCount = count;
    lblLabels->setText(labelPrefix + NumberText(Donnees.CardCount) + QStringLiteral(" Fiches"));
    ShowCurrentRow();
    Lire();
}

// Nothing of an earlier card may stay behind, or it would be printed or listed by mistake.
void KorPivane::ShowEmptySelection(const QString& labelPrefix) {
    Donnees.CardCount = 0;
    lblLabels->setText(labelPrefix + NumberText(0) + QStringLiteral(" Fiches"));
    Text1->SetText(QString());
    Text2->SetText(QString());
    List1->clear();
    SetViewerVisible(false);
}

void KorPivane::Bureautique_Click() {
    lblLabels->setText(QString::fromLatin1(CategoryCatalogue::kOfficeLabel));
    SetMenuVisible(Catego, false);
    SetMenuVisible(Bur, true);
    List1->clear();
    List1->hide();
    SetViewerVisible(false);
    for (QAction* item : {Retour, Imprime, ListeFiche})
        item->setVisible(true);
}
