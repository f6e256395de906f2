#pragma once

#include "edit/CardForm.h"

class CategoryButtons;

// Writes new cards: a title and a text are typed first, and the card is stored when its
// category is chosen. The form then clears itself for the next one.
// Its objectName, which scripts and the guide know, is "KorAjouter".
class NewCardForm : public CardForm {
    Q_OBJECT

public:
    NewCardForm();

    CategoryButtons* Categories;

public slots:
    void Form_Load() override;
    void Depart();
    // Writes the card and starts afresh; false, with a message, when the store refused it.
    bool Ecrire();

    void Command1_Click() override;
    void Bureautique_Click();
    void ChooseCategory(const QString& code, const QString& label);
    void Retour_Click() override;

private:
    void WriteCard();
};
