#pragma once

#include "edit/CardForm.h"
#include "store/Collection.h"

#include <optional>

class StoreError;

// Shows the card picked in the card picker, lets the user change its title and text, and writes
// them back on "Enregistrer"; "Supprimer" moves the card into the trash. Its objectName, which
// scripts and the guide know, is "KorModifier".
class CardEditor : public CardForm {
    Q_OBJECT

public:
    // The card numbered numero, picked among the cards of the category.
    CardEditor(Session& session, qint64 numero, const QString& category);

    void Form_Load() override;

private:
    void showPickedCard();
    void commandPressed() override;
    void deletePressed();
    void goBack() override;
    QString DiscardQuestion() const override;
    // After another program changed or removed the card: what was typed may become a new card.
    void offerAsNewCard(const StoreError& conflict);
    void ShowSaved(bool saved);
    // False when the card is not among the cards of the picked category.
    bool WriteCard();

    // The card as shown, then as last saved: what the collection checks has not changed since.
    std::optional<StoredCard> shown_;
    qint64 numero_;
    QPushButton* Supprimer;
};
