#pragma once

#include "browse/PagedCardGrid.h"

#include <QLabel>

class CategoryButtons;

// The first step of changing a card: a category is chosen with a column of buttons, its cards
// are listed in pages, and a click opens the card editor on the card.
// Its objectName, which scripts and the guide know, is "KorModifie" (one letter from the editor's:
// the picker is the step before it).
class CardPicker : public PagedCardGrid {
    Q_OBJECT

public:
    CardPicker(Session& session, qint64 currentCard);

    void Form_Load() override;
    // Lists the category's cards, as its button does.
    void listCategory(const QString& code, const QString& label);

protected:
    void OpenClickedCard(qint64 numero) override;

private:
    // What the picker shows when it opens, and again when the editor returns to it.
    void startAfresh();
    void showCategoryChoice();
    void listChosenCategory();
    void showOfficeCategories();

    QLabel* Label1;
    CategoryButtons* Categories;
    QString category_; // the code of the category listed
};
