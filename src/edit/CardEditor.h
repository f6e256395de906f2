#pragma once

#include "edit/CardForm.h"
#include "store/Collection.h"

#include <functional>
#include <optional>

class StoreError;

// Shows the card picked in the card picker (its number and category in the shared state), lets
// the user change its title and text, and writes them back on "Enregistrer"; "Supprimer" moves
// the card into the trash.
// Its objectName, which scripts and the guide know, is "KorModifier".
class CardEditor : public CardForm {
    Q_OBJECT

public:
    // `back` opens the window that "Retour" returns to: the picker that opened the editor.
    CardEditor(Session& session, std::function<void()> back);

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
    std::function<void()> back_;
    QPushButton* Supprimer;
};
