#pragma once

#include "maintenance/Marker.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Collection;

// The copies of a backup and of a restore, without any window: the window that starts them
// hears of each file through the progress callback.
namespace BackupCopies {

// Called before and after each file: the file's path, and how many of `count` are done.
using Progress = std::function<void(const QString& file, int done, int count)>;

struct Written {
    QStringList copied;          // the copies' names, in capitals
    QStringList failures;        // one French sentence per file that was not copied
    std::optional<qint64> cards; // in the collection copied
};

// Copies the named files of the data folder `made.programFolder` into `made.backupFolder`
// (made if missing), in capitals, then the marker `made` that dates them, written only once
// every copy is checked. The open collection, when it is the database copied (a collection on a
// server always is), is copied through its own snapshot.
Written Write(const QStringList& names, const MarkerLines& made, const QString& databaseName,
              Collection* open, const Progress& progress);

struct Backup {
    Written copies;
    // Why the data folder's marker could not take the backup's date, when it could not.
    std::optional<QString> markerNotDated;
};
// A whole backup (Write); then the data folder's marker markerFile, as it was `before`, is put
// back when a copy failed, and takes the backup's date when none did.
Backup WriteBackup(const Marker::Snapshot& before, const QStringList& names,
                   const MarkerLines& made, const QString& databaseName, Collection* open,
                   const Progress& progress, const QString& markerFile = Marker::kFileName);

// Puts each named file of the backup folder in place in the data folder, on the file of the
// same name whatever its case; the card database through the collection's own replacement, into
// `server` when the collection lives there, and the backup's marker on the data folder's marker
// markerFile. Answers the names that were not restored (with the server's reason), whose files
// or collection in place are unchanged.
QStringList Restore(const QStringList& names, const QString& backupFolder,
                    const QString& dataFolder, const QString& databaseName, Collection* server,
                    const Progress& progress, const QString& markerFile = Marker::kFileName);

} // namespace BackupCopies
