#pragma once

#include <QString>
#include <QtGlobal>

// The program's own code for each measured command, driven as the windows drive it.
namespace ProgramSide {

qint64 OpenAndCount(const QString& code); // an empty code opens all cards
qint64 Voir(qint32 numero);               // all cards open; finds the card and reads it
// The windows are opened before the clock starts: what is timed is their work on the cards.
void OpenList(); // the list of all cards
void FillList(); // its collection and first page, as at its opening
void NextPage(); // "Suite" on the open list
void CloseList();
void OpenSearch();
qint64 Search(const QString& keyword); // collection and first page of the matches
void CloseSearch();
void WriteNewCard();
void OpenEditor(qint32 numero, const QString& text);
void SaveEditedCard(); // "Enregistrer" in the open editor
void CloseEditor();
void Compact();
void Backup(const QString& target);

} // namespace ProgramSide
