#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Database;

// Copies that replace a file only by an atomic rename of a complete, checked file, so that a
// crash at any moment leaves either the old file or the new one under the name.
namespace SafeFiles {

// The name of the file of the folder that matches name without regard to case; name itself when
// there is none.
QString TwinIn(const QString& folder, const QString& name);

// A consistent snapshot of the open database, read back against it byte for byte.
void CopyDatabase(const Database& database, const QString& target);
// A byte copy, compared with its source; a card database is also checked whole.
enum class Check { Bytes, BytesAndDatabase };
void CopyFile(const QString& source, const QString& target, Check check = Check::Bytes);

// Writes a temporary file beside target, checks it, flushes it to the disk and renames it over
// target; on failure the temporary file goes and target is untouched. Throws StoreError.
void Install(const QString& target, const std::function<void(const QString& temporary)>& write,
             const std::function<void(const QString& temporary)>& verify);

// Flushes temporary to the disk and renames it over target in one step. Throws StoreError.
void Commit(const QString& temporary, const QString& target);

bool SameBytes(const QString& first, const QString& second);
QString TemporaryNameFor(const QString& target);

} // namespace SafeFiles
