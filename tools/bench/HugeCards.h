#pragma once

#include <QString>

// Cards of 100 KB to 10 MB of text or title, driven through the windows as a user meets them:
// shown from the list, stepped onto, opened in the editor and laid out for printing.
namespace HugeCards {

// Writes the collection of huge cards into a new database file.
void WriteCollection(const QString& file);
// In the current folder, times each command on each huge card as the windows run it; prints one
// line per card: "huge", the card's name, then the milliseconds of each command.
int RunChild(int reps);
// The Markdown table of what a child printed.
QString Report(const QString& childOutput);

} // namespace HugeCards
