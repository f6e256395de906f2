#pragma once

#include <QString>
#include <QtGlobal>

// The program's own code for each measured command, driven as the windows drive it.
namespace ProgramSide {

qint64 OpenAndCount(const QString& code); // an empty code opens all cards
qint64 Voir(qint32 numero);               // all cards open; finds the card and reads it
void OpenList();                          // the list of all cards: collection and first page
void NextPage();                          // "Suite" on the open list
void CloseList();
qint64 Search(const QString& keyword); // collection and first page of the matches
void WriteNewCard();
void OpenEditor(qint32 numero);
void SaveEditedCard(); // "Enregistrer" in the open editor
void CloseEditor();
void Compact();
void Backup(const QString& target);

} // namespace ProgramSide
