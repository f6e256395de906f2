#pragma once

#include "store/ServerChanges.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>

// The local copy of a server collection, kept in the data folder for each server CONNEXION, in a
// folder of its own that the local collection's backup and restore never read.
namespace ServerCopy {

// copies/serveur-<a hash of the connection>.mdb in the data folder.
QString FileFor(const QString& dataFolder, const QString& connection);
// Sends the changes waiting in the copy, in order, then brings the copy up to date: the changes
// since it was last read, or the whole collection for a copy not made yet or left behind by a
// restore. Answers what the server made of the changes sent.
ReturnReport BringUpToDate(Collection& server, const QString& copyFile);
// When the copy last read its server; none when there is no copy.
std::optional<QDateTime> ReadAt(const QString& copyFile);
// The server's collection, worked on through its copy while the server does not answer.
std::unique_ptr<Collection> OpenOffline(const QString& copyFile, const QString& server);

} // namespace ServerCopy
