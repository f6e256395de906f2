#pragma once

#include <QString>
#include <optional>

// A server named by a libpq connection string or URI ("postgresql://equipe@serveur/pivanes",
// "service=pivanes"), checked before anything is connected or remembered.
namespace ServerAddress {

// Why the program refuses it, in French: a string that libpq cannot read, or one that holds a
// password, which belongs in libpq's own places instead. None when it is usable. Throws
// StoreError when the program cannot reach servers at all (LoadedServerEngine).
std::optional<QString> Refusal(const QString& connection);

} // namespace ServerAddress
