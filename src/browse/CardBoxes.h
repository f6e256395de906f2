#pragma once

struct StoredCard;
class TextBox;

// Shows a card in a title box and a text box; a field without value shows as an empty text.
void ShowCard(const StoredCard& card, TextBox& title, TextBox& text);
