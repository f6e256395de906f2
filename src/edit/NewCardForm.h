#pragma once

#include "edit/CardForm.h"

class CategoryButtons;

// Writes new cards: a title and a text are typed first, and the card is stored when its
// category is chosen. The form then clears itself for the next one.
// Its objectName, which scripts and the guide know, is "KorAjouter".
class NewCardForm : public CardForm {
    Q_OBJECT

public:
    explicit NewCardForm(Session& session);

    void Form_Load() override;
    // Writes the card in the category and starts afresh; false, with a message, when the store
    // refused it.
    bool storeCard(const QString& code);

private:
    void startAfresh();

    void commandPressed() override;
    void showOfficeCategories();
    void storeInCategory(const QString& code, const QString& label);
    void goBack() override;
    QString DiscardQuestion() const override;
    void addToCollection();

    CategoryButtons* Categories;
};
