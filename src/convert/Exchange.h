#pragma once

#include "store/Collection.h"

#include <QString>

class QTextStream;

// `pivanes [--serveur CONNEXION] --importer FICHIER` and `--exporter FICHIER`, without a display:
// every card of a collection copied in, or the whole collection copied out. The file's format is
// chosen by its name; ".mdb" is the program's own collection file, or, to import, one of the old
// program (Jet), told apart by its first bytes. Each answers the exit code: 0 when done, 1 when
// nothing was copied, with a French message saying why.
namespace Exchange {

// Adds the cards in one transaction, checked card by card: under their own numbers into an empty
// collection, else numbered after its highest. A local collection file missing at `into` is
// made first.
int Import(const CollectionPlace& into, const QString& file, QTextStream& out, QTextStream& err);
// Writes a new file, never over an existing one, from one moment of the collection.
int Export(const CollectionPlace& from, const QString& file, QTextStream& out, QTextStream& err);

// Every card of a collection, in ascending number, a page of numbers at a time.
CardSource EveryCardOf(Collection& collection);

} // namespace Exchange
