#pragma once

#include <QString>
#include <vector>

class Connection;

// The structure of a collection file: its table of cards and the indexes the program reads it
// through. Opening reads the structure only; everything here is made when a collection is
// created, compacted or first written, never on opening.
namespace Schema {

void CreateCardTable(Connection& connection);
// How the file's table of cards stands: the program's is a table with row ids and four columns,
// named in any case, of which Numero is the row id (INTEGER PRIMARY KEY).
enum class CardTable { Sound, Missing, View, Virtual, WithoutRowid, OtherColumns, NumeroNotRowid };
CardTable CardTableShape(Connection& connection);

// What the program's writes would run that it did not make: triggers and views other than its
// own, and indexes on an expression or on some rows of the tables it writes. Reads the structure
// only.
struct SchemaObject {
    QString type; // "trigger", "view" or "index"
    QString name;
};
std::vector<SchemaObject> ForeignCode(Connection& connection);

// The program's indexes, made where they are missing or out of date. A failure to make the title
// or the text index leaves the file without it: searches then read every card.
void EnsureIndexes(Connection& connection);
// The trash's table, made where it is missing; whether the file holds one, without writing.
void EnsureTrash(Connection& connection);
bool HasTrash(Connection& connection);
// The index of categories alone, which every list of a category reads.
void EnsureCategoryIndex(Connection& connection);
// Drops the indexes, to be made again from a whole table at once (EnsureIndexes).
void DropIndexes(Connection& connection);
// The memory the full-text indexes fill before they write a piece out: large for a write of many
// cards (fewer pieces to merge), usual otherwise. Within the caller's transaction, for the
// indexes that are the program's own.
enum class IndexMemory { Large, Usual };
void SetIndexMemory(Connection& connection, IndexMemory memory);
// Runs once per connection before its first write: rollback journal and indexes.
void PrepareForWrites(Connection& connection);

// Whether the title index answers for the table: it and every trigger that keeps it are there
// as this program makes them. Another program that writes without the triggers, or drops them,
// leaves an index that is no longer trusted. Reads the structure only.
bool TitleIndexIsCurrent(Connection& connection);
// The same for the index of the words of titles and texts.
bool TextIndexIsCurrent(Connection& connection);

} // namespace Schema
