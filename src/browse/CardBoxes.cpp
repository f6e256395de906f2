#include "browse/CardBoxes.h"

#include "platform/Controls.h"
#include "store/Recordset.h"

void ShowCard(const Recordset& cards, TextBox& title, TextBox& text) {
    title.SetText(cards.Fields(Field::Titre).toString());
    text.SetText(cards.Fields(Field::Pivanes).toString());
}
