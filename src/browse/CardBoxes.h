#pragma once

class Recordset;
class TextBox;

// Shows the current row of a record set in a title box and a text box; a field without value
// shows as an empty text.
void ShowCard(const Recordset& cards, TextBox& title, TextBox& text);
