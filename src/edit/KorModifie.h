#pragma once

#include "browse/PagedCardGrid.h"

#include <QLabel>

class CategoryButtons;

// The first step of changing a card: a category is chosen with a column of buttons, its cards
// are listed in pages, and a click opens the card editor on the card.
class KorModifie : public PagedCardGrid {
    Q_OBJECT

public:
    KorModifie();

    QLabel* Label1;
    CategoryButtons* Categories;

public slots:
    void Form_Load() override;
    void Entree();
    void Depart();

    void Bureautique_Click();
    void ChooseCategory(const QString& code, const QString& label);

protected:
    bool OpenClickedCard() override;
};
