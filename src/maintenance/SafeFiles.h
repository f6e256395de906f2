#pragma once

#include <QString>
#include <optional>

// Copies that replace a file only by an atomic rename of a complete, checked file, so that a
// crash at any moment leaves either the old file or the new one under the name. Failures throw
// UserError (StoreError when the database engine fails); the target is then untouched.
namespace SafeFiles {

// The name of the file of the folder that matches name without regard to case; name itself when
// there is none.
QString TwinIn(const QString& folder, const QString& name);

// A byte copy, compared with its source; a card database is also checked whole, and its cards
// are answered.
enum class Check { Bytes, BytesAndDatabase };
std::optional<qint64> CopyFile(const QString& source, const QString& target,
                               Check check = Check::Bytes);

// Puts the checked card database source in place of target. An existing collection is written
// into under the engine's locks, never renamed over, since another program may hold it open;
// a missing target, or one that is no collection at all, is installed like any other file.
void RestoreDatabase(const QString& source, const QString& target);

} // namespace SafeFiles
