#include "browse/CardBoxes.h"

#include "platform/Controls.h"
#include "store/Collection.h"

void ShowCard(const StoredCard& card, TextBox& title, TextBox& text) {
    title.SetText(card.titre.value_or(QString()));
    text.SetText(card.pivanes.value_or(QString()));
}
