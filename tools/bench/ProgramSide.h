#pragma once

#include <QString>
#include <QtGlobal>

class Session;

// The program's own code for each measured command, driven as the windows drive it.
namespace ProgramSide {

// What the measured windows share, as the shell would own it.
Session& WindowSession();
// The cards listed by the grid window that is open.
qint32 ListedCards();

qint64 OpenAndCount(const QString& code); // an empty code opens all cards
qint64 Voir(qint32 numero);               // all cards open; finds the card and reads it
// The windows are opened before the clock starts: what is timed is their work on the cards.
void OpenList(const QString& code); // the list of one category, or of all cards
void FillList();                    // its collection and first page, as at its opening
void CloseList();
void OpenSearch();
qint64 Search(const QString& keyword); // collection and first page of the matches
void CloseSearch();
void OpenPicker();
void ChooseInPicker(const QString& code); // the category's collection and first page
void ClosePicker();
// On the grid window that is open: "Suite", "Retour", and a page state set by hand followed by
// "Suite", which brings the paging to any place of the collection.
void NextPage();
void PreviousPage();
void PlacePaging(qint32 mark);
void WriteNewCard();
void OpenEditor(qint32 numero, const QString& text);
void SaveEditedCard(); // "Enregistrer" in the open editor
void CloseEditor();
void Compact();
void Backup(const QString& target);

} // namespace ProgramSide
