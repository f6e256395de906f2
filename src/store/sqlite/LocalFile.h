#pragma once

#include "store/Collection.h"

#include <QString>
#include <memory>
#include <optional>

class Connection;
class FileWriter;

// A collection file on the local disk. Opening never creates it, never writes to it, and refuses
// anything that is not a whole card collection, so a wrong or damaged file is reported and left
// as it is.
namespace LocalFile {

// "« Pivane.mdb » dans le dossier « /home/... »", as messages name a file.
QString Where(const QString& fileName);

// Refuses a file whose table of cards is not the program's, or that holds triggers, views or
// indexes on expressions of another program, which the program's writes would run.
void CheckStructure(Connection& connection, const QString& fileName);
// A read-write connection to the collection file, checked first.
std::shared_ptr<Connection> OpenChecked(const QString& fileName);
// Why the open file cannot be written: the file or its disk refuses writes, or its folder, where
// each write puts its journal beside it; none when it can.
std::optional<QString> WhyReadOnly(Connection& connection, const QString& fileName);
void Create(const QString& fileName);
qint64 VerifiedCardCount(const QString& fileName, Collection::Check check);

// Writes the file of the open connection into the new file as it stands at one moment, writers
// held off meanwhile, and reads the copy back: the file's bytes, compared with the live file's,
// or, for a file in WAL mode, the engine's pages, checked whole. Answers the number of cards at
// that moment; nothing when the copy read back differs.
std::optional<qint64> CopyInto(Connection& live, FileWriter& file);
// Writes every page of the collection file source into the connection's file, in one
// transaction under the engine's locks: a program that holds it open sees the old collection
// or the new one, and a crash leaves the old one.
void CopyPagesFrom(const QString& source, Connection& into);

} // namespace LocalFile
