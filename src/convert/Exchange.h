#pragma once

#include "store/Collection.h"

#include <QString>

class QTextStream;

// Every card of a collection copied in, or the whole collection copied out. The format is chosen
// by the name: ".mdb" is the program's own collection file, or, to import, one of the old program
// (Jet), told apart by its first bytes; ".csv", ".json" and ".html" (written only: a page to
// read); a name ending in "/", or an existing folder, is a folder of Markdown files.
namespace Exchange {

// How far a long copy is: the cards copied so far, and the share done, from 0 to 100. Called when
// the share changes.
using Progress = std::function<void(qint64 cards, int percent)>;
// A copy shows its progress from this many cards on.
inline constexpr qint64 kCardsShowingProgress = 2000;

// Whether an import into a collection that holds cards adds those identical (category, title and
// text) to one already there.
enum class Duplicates { LeftOut, Added };

// Adds the cards in one transaction, checked card by card: under their own numbers into an empty
// collection, else numbered after its highest, where the file needs no numbers. A card that
// cannot come in stops the import, which then adds nothing, with a message saying where and why.
// A local collection file missing at `into` is made first.
Imported ImportCards(const CollectionPlace& into, const QString& file, Duplicates duplicates,
                     const Progress& progress = {});
// Writes a new file or folder, never over an existing file nor into a folder that holds
// anything, from one moment of the collection; answers the cards written, checked against the
// collection's count.
qint64 ExportCards(const CollectionPlace& from, const QString& file, const Progress& progress = {});

// `pivanes [--serveur CONNEXION] --importer FICHIER` and `--exporter FICHIER`, without a display.
// Each answers the exit code: 0 when done, 1 when nothing was copied, with a French message
// saying why. On a terminal, a line on err shows the progress of a long copy.
int Import(const CollectionPlace& into, const QString& file, Duplicates duplicates,
           QTextStream& out, QTextStream& err);
int Export(const CollectionPlace& from, const QString& file, QTextStream& out, QTextStream& err);

// Every card of a collection, in ascending number, a page of numbers at a time.
CardSource EveryCardOf(Collection& collection);

} // namespace Exchange
