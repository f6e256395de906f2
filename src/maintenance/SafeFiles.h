#pragma once

#include <QString>

class Database;

// Copies that replace a file only by an atomic rename of a complete, checked file, so that a
// crash at any moment leaves either the old file or the new one under the name. Failures throw
// UserError (StoreError when the database engine fails); the target is then untouched.
namespace SafeFiles {

// The name of the file of the folder that matches name without regard to case; name itself when
// there is none.
QString TwinIn(const QString& folder, const QString& name);

// A consistent snapshot of the open database, read back against it byte for byte.
void CopyDatabase(const Database& database, const QString& target);
// A byte copy, compared with its source; a card database is also checked whole.
enum class Check { Bytes, BytesAndDatabase };
void CopyFile(const QString& source, const QString& target, Check check = Check::Bytes);

bool SameBytes(const QString& first, const QString& second);

} // namespace SafeFiles
