#include "maintenance/BackupCopies.h"

#include "maintenance/BackupChecks.h"
#include "maintenance/SafeFiles.h"
#include "platform/UserError.h"
#include "store/Collection.h"

#include <QDir>
#include <QFileInfo>

namespace {

using BackupChecks::SameFile;

bool IsDatabase(const QString& name, const QString& databaseName) {
    return QFileInfo(name).fileName().compare(databaseName, Qt::CaseInsensitive) == 0;
}

QString FailedCopy(const QString& name, const QString& folder, const QString& reason) {
    return QStringLiteral("Le fichier « %1 » n'a pas pu être sauvegardé dans le dossier « %2 » : "
                          "%3")
        .arg(name, QDir::toNativeSeparators(folder), reason);
}

// Throws UserError; answers the number of cards when the file is the card database.
std::optional<qint64> CopyToBackup(const QString& source, const QString& target,
                                   const QString& databaseName, Collection* open) {
    if (!QFileInfo(QFileInfo(target).path()).isDir())
        throw UserError(QStringLiteral("le dossier n'existe pas et n'a pas pu être créé (dossier "
                                       "parent absent, nom déjà pris par un fichier, disque en "
                                       "lecture seule ou plein)."));
    const bool isDatabase = IsDatabase(source, databaseName);
    if (isDatabase && open &&
        (open->Place().kind == CollectionPlace::Kind::Server ||
         SameFile(source, open->Place().name)))
        return open->SnapshotInto(target);
    return SafeFiles::CopyFile(
        source, target, isDatabase ? SafeFiles::Check::BytesAndDatabase : SafeFiles::Check::Bytes);
}

// The backup's own marker names its folder and today: it is read back before it counts.
void WriteBackupMarker(const MarkerLines& made, const QString& target, bool whole) {
    if (!whole)
        throw UserError(QStringLiteral("la sauvegarde n'est pas complète : sa date n'y est pas "
                                       "inscrite."));
    if (!QFileInfo(made.backupFolder).isDir())
        throw UserError(QStringLiteral("le dossier n'existe pas."));
    Marker::Write(made, target);
    if (Marker::Read(target) != made)
        throw UserError(QStringLiteral("la copie relue diffère de l'original."));
}

} // namespace

namespace BackupCopies {

Written Write(const QStringList& names, const MarkerLines& made, const QString& databaseName,
              Collection* open, const Progress& progress) {
    QDir().mkdir(made.backupFolder);
    QStringList files = names;
    files.removeIf([](const QString& name) {
        return name.compare(Marker::kFileName, Qt::CaseInsensitive) == 0;
    });
    files << Marker::kFileName;
    const auto count = int(files.size());
    Written written;
    for (int i = 0; i < count; ++i) {
        const QString copied = files[i].toUpper();
        const QString source = made.programFolder + files[i];
        const QString target = made.backupFolder + copied;
        progress(source, i, count);
        try {
            if (i + 1 < count) {
                if (const std::optional<qint64> cards =
                        CopyToBackup(source, target, databaseName, open))
                    written.cards = cards;
            } else {
                WriteBackupMarker(made, target, written.failures.isEmpty());
            }
            written.copied << copied;
        } catch (const UserError& error) {
            written.failures << FailedCopy(copied, made.backupFolder, error.text());
        }
        progress(source, i + 1, count);
    }
    return written;
}

Backup WriteBackup(const Marker::Snapshot& before, const QStringList& names,
                   const MarkerLines& made, const QString& databaseName, Collection* open,
                   const Progress& progress, const QString& markerFile) {
    Backup backup{Write(names, made, databaseName, open, progress), std::nullopt};
    if (!backup.copies.failures.isEmpty()) {
        before.PutBack();
        return backup;
    }
    try {
        Marker::Write(made, markerFile);
    } catch (const UserError& error) {
        backup.markerNotDated = error.reason();
    }
    return backup;
}

QStringList Restore(const QStringList& names, const QString& backupFolder,
                    const QString& dataFolder, const QString& databaseName, Collection* server,
                    const Progress& progress, const QString& markerFile) {
    const auto count = int(names.size());
    QStringList failed;
    for (int i = 0; i < count; ++i) {
        const QString& name = names[i];
        const QString source = backupFolder + name;
        const bool isMarker = name.compare(Marker::kFileName, Qt::CaseInsensitive) == 0;
        const QString target =
            dataFolder + SafeFiles::TwinIn(dataFolder, isMarker ? markerFile : name);
        progress(source, i, count);
        const bool isDatabase = IsDatabase(name, databaseName);
        try {
            if (isDatabase && server)
                server->ReplaceWith(source);
            else if (isDatabase)
                SafeFiles::RestoreDatabase(source, target);
            else
                SafeFiles::CopyFile(source, target);
        } catch (const UserError& error) {
            // The server says why, a right that the role lacks among others.
            failed << (isDatabase && server
                           ? name + QStringLiteral(" (") + error.text() + QLatin1Char(')')
                           : name);
        }
        progress(source, i + 1, count);
    }
    return failed;
}

} // namespace BackupCopies
