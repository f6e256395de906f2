#pragma once

#include "Collections.h"

#include <QStringList>
#include <functional>
#include <memory>

#include <QApplication>

// The program's own code paths that the campaign drives, each as the program runs it: the
// store's writes as the card windows make them, and the main window's and the backup window's
// commands, run offscreen with message boxes recorded instead of shown. Every call works in the
// current directory, the data folder.
namespace Operations {

// Windows offscreen; message boxes, the program's end and the clock through the program's seams
// (the clock moves on at each reading, so the pauses between copied files end at once).
std::unique_ptr<QApplication> StartWindows(int& argc, char** argv);

// The card store opened on "Pivane.mdb", as the main window opens it at start.
void OpenCollection();
// The new-card window's write: the card gets the last card's number plus one, which is
// answered. Throws the program's error.
qint64 AddCard(const RawCard& card);
// The card editor's write of card.numero, found in its category. Throws the program's error.
void EditCard(const RawCard& card);
// The text of the program's error being handled, in a catch block.
QString CurrentErrorText();

// Each answers what the program said (every message box, title and text); the command's own
// success is told apart by done.
struct Said {
    bool done = false;
    QStringList messages;
};
// "Compression de Base" of the main window. prepare runs just before the command, once the
// window has loaded.
Said Compact(const std::function<void()>& prepare);
// The backup window: "Sauvegarde", the folder typed, "Ecrire la sauvegarde". The main window
// is open meanwhile, with its database, as when the user comes from it. prepare runs just before
// the copies start, after the windows have loaded.
Said Backup(const QString& folder, const std::function<void()>& prepare);
// The backup window: "Restoration", the folder typed, "Lire la sauvegarde".
Said Restore(const QString& folder, const std::function<void()>& prepare);
// The grid's page state, written as a paging command writes it. Throws the program's error.
void WritePageState(int total, int mark);
QByteArray PageStateBytes(int total, int mark);
// The marker's bytes for these three lines, as the program writes them.
QByteArray MarkerBytes(const QStringList& lines);
// The date that the backup writes into the marker under StartWindows' clock.
QString BackupDate();

// Opens a collection as the program does at start and counts its cards; the refusal's text when
// it cannot.
std::optional<QString> OpenAtStart(const QString& file);

// Opening a file of unknown content by the program's own reading path. Refused: the program
// would not use it (a message may say why).
struct Opening {
    bool refused = false;
    QStringList messages;
};
// The main window started on "Pivane.mdb", then all cards, each step of the viewer, a category.
Opening OpenDatabaseFile();
// The backup marker "Sauve.kor" read as the backup window reads it.
Opening ReadMarker();
// The page-state file "Liste" read as a paging command reads it.
Opening ReadPageState();

} // namespace Operations
