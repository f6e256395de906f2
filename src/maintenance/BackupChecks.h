#pragma once

#include "maintenance/Marker.h"

#include <QString>
#include <QStringList>
#include <optional>

class Session;

// What a backup and a restore find out before anything is copied, and the words that say it:
// the marker, the folders, the collection in place and the backup to restore. No window.
namespace BackupChecks {

// The folder of the data, which takes the place of the program's folder.
QString DataFolder();
// A folder path with exactly one "/" at its end.
QString WithFinalSlash(const QString& path);
// path itself when it exists, else its nearest parent that does (as far as the user can see).
QString ExistingAncestor(const QString& path);
// An existing folder whose list of files the user may read and into which they may go.
bool CanEnter(const QString& folder);
// An existing folder in which the user may also create and replace files.
bool CanWriteIn(const QString& folder);
// The roots of the mounted volumes of non-zero size, each ending in "/", in order.
QStringList VolumeRoots();
// The root of the volume that holds path (or its nearest existing parent), ending in "/".
QString VolumeRoot(const QString& path);
// The typed folder, absolute, with a final slash.
QString Absolute(const QString& typed);
bool SameFile(const QString& first, const QString& second);

// The data folder's marker markerFile (Marker::FileFor) as it stands; when it is missing,
// unreadable or cut short, the lines of a first run, kept in the data folder when it allows.
MarkerLines LastBackup(const QString& markerFile = Marker::kFileName);
// The marker written again as it stands, so that a data folder where it cannot be written stops
// a backup before anything is copied; answers the marker as it was, to be put back if the backup
// fails. Throws UserError saying why.
Marker::Snapshot RewriteMarker(const QString& markerFile = Marker::kFileName);

// Where a backup is proposed: the marker's folder while it exists, else "SauvePivane/" in the data
// folder; and the data folder the marker names, else this one.
struct ProposedBackup {
    QString backupFolder;
    QString dataFolder;
    std::optional<MarkerLines> marker; // as read, when there is one
};
ProposedBackup ProposeBackup(const QString& markerFile = Marker::kFileName);

// Why a backup cannot be written into the folder (or the one it would make there); none when it
// can. Checked before anything is written, so that a folder the user may not use is never
// followed into a row of failed copies.
std::optional<QString> WhyFolderRefusesBackup(const QString& folder);
// The files of a folder that a backup copies and a restore puts back: "*.kor" and "*.mdb",
// whatever their case, in the order of their names.
QStringList CopiedFiles(const QString& folder);
// The files a backup copies: those of the data folder, and the collection's own copy, which
// comes from the server when it lives there, whatever the folder holds.
QStringList BackupNames(const Session& session);

// The cards of the collection in place, when there is one that can be read.
std::optional<qint64> LiveCardCount(const Session& session);

struct RestoreSource {
    QString folder;
    QString date;
    qint64 cards = 0;
};
// The backup in the folder picked, checked whole; throws UserError saying why it cannot be
// restored.
RestoreSource CheckedRestoreSource(const QString& picked, const QString& databaseName);

// "aucune fiche", "1 fiche", "12 fiches".
QString CardsText(qint64 cards);
// "A, B et C".
QString InFrench(const QStringList& names);

} // namespace BackupChecks
