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
    explicit CardPicker(Session& session);

    void Form_Load() override;
    // Lists the category's cards, as its button does.
    void listCategory(const QString& code, const QString& label);

protected:
    bool OpenClickedCard() override;

private:
    void showCategoryChoice();
    void listChosenCategory();
    void showOfficeCategories();

    QLabel* Label1;
    CategoryButtons* Categories;
};
