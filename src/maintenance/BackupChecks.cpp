#include "maintenance/BackupChecks.h"

#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "maintenance/SafeFiles.h"
#include "platform/UserError.h"
#include "shell/Session.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace BackupChecks {

namespace {

// A normal user cannot write at the root of the file system: the first backup is proposed in
// their home folder. No backup was made yet, so the marker names no date.
MarkerLines FirstRunLines() {
    return {WithFinalSlash(QDir::homePath()), DataFolder(), QString()};
}

// Why the marker cannot be written in the data folder, as far as the file system tells.
QString WhyMarkerIsUnwritable(const QString& markerFile) {
    const QFileInfo marker(markerFile);
    if (marker.exists() && !marker.isFile())
        return QStringLiteral("« %1 » n'y est pas un fichier ordinaire").arg(markerFile);
    if (!QFileInfo(DataFolder()).isWritable() || (marker.exists() && !marker.isWritable()))
        return QStringLiteral("dossier en lecture seule ou protégé");
    return QStringLiteral("disque peut-être plein");
}

// A backup of the old program is converted first, by a command that keeps the original beside.
QString JetBackupRefusal(const QString& database) {
    const QString shown = QDir::toNativeSeparators(database);
    return QStringLiteral("La sauvegarde « %1 » est au format Jet (Access) de l'ancienne version "
                          "du programme : elle ne peut pas être restaurée telle quelle.\n"
                          "Convertissez-la d'abord avec la commande\n"
                          "    pivanes --convertir \"%1\"\n"
                          "(l'original reste à côté, sous le nom « %2 »), puis recommencez la "
                          "restauration.")
        .arg(shown, QFileInfo(JetConversion::KeptName(database)).fileName());
}

} // namespace

QString DataFolder() {
    return QDir::currentPath();
}

QString WithFinalSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString ExistingAncestor(const QString& path) {
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    while (!info.exists() && !info.isRoot())
        info = QFileInfo(info.absolutePath());
    return info.absoluteFilePath();
}

bool CanEnter(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

bool CanWriteIn(const QString& folder) {
    return CanEnter(folder) && QFileInfo(folder).isWritable();
}

QStringList VolumeRoots() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && volume.bytesTotal() > 0 &&
            QFileInfo(volume.rootPath()).isDir())
            roots << WithFinalSlash(volume.rootPath());
    roots.removeDuplicates();
    roots.sort();
    return roots;
}

QString VolumeRoot(const QString& path) {
    return WithFinalSlash(QStorageInfo(ExistingAncestor(path)).rootPath());
}

QString Absolute(const QString& typed) {
    return WithFinalSlash(QDir::cleanPath(QDir::current().absoluteFilePath(typed)));
}

bool SameFile(const QString& first, const QString& second) {
    return QFileInfo(first).canonicalFilePath() == QFileInfo(second).canonicalFilePath();
}

// The marker only remembers the last backup: when the data folder cannot keep it, the window
// still shows the right folder, and the backup, which cannot be made then, says why.
MarkerLines LastBackup(const QString& markerFile) {
    if (std::optional<MarkerLines> lines = Marker::Read(markerFile))
        return *lines;
    MarkerLines lines = FirstRunLines();
    try {
        Marker::Write(lines, markerFile);
    } catch (const UserError&) {
        // Told by the backup.
    }
    return lines;
}

Marker::Snapshot RewriteMarker(const QString& markerFile) {
    Marker::Snapshot before(markerFile);
    try {
        Marker::Write(Marker::Read(markerFile).value_or(FirstRunLines()), markerFile);
        return before;
    } catch (const UserError& error) {
        throw UserError(QStringLiteral("le fichier « %1 », qui garde le dossier et la date de la "
                                       "dernière sauvegarde, ne peut pas être écrit dans le "
                                       "dossier des fiches « %2 » (%3)")
                            .arg(markerFile, QDir::toNativeSeparators(DataFolder()),
                                 WhyMarkerIsUnwritable(markerFile)),
                        error.reason());
    }
}

ProposedBackup ProposeBackup(const QString& markerFile) {
    ProposedBackup proposed{{}, {}, Marker::Read(markerFile)};
    if (proposed.marker) {
        proposed.backupFolder = proposed.marker->backupFolder;
        proposed.dataFolder = proposed.marker->programFolder;
    }
    if (!proposed.marker || !QFileInfo(proposed.backupFolder).isDir()) {
        proposed.backupFolder = WithFinalSlash(DataFolder()) + QStringLiteral("SauvePivane/");
        proposed.dataFolder = DataFolder();
    }
    return proposed;
}

// A new folder is made one level down from an existing one.
std::optional<QString> WhyFolderRefusesBackup(const QString& folder) {
    const QString target = QDir::cleanPath(folder);
    const QString existing = ExistingAncestor(target);
    const QString shown = QDir::toNativeSeparators(existing);
    if (!QFileInfo(existing).isDir())
        return QStringLiteral("« %1 » est un fichier, pas un dossier").arg(shown);
    if (!CanEnter(existing))
        return QStringLiteral("vous n'avez pas le droit d'entrer dans le dossier « %1 »")
            .arg(shown);
    if (existing == target && !CanWriteIn(target))
        return QStringLiteral("vous ne pouvez pas écrire dans le dossier « %1 » (lecture seule ou "
                              "protégé)")
            .arg(shown);
    if (existing == QFileInfo(target).absolutePath() && !CanWriteIn(existing))
        return QStringLiteral("vous ne pouvez pas créer de dossier dans « %1 » (lecture seule ou "
                              "protégé)")
            .arg(shown);
    return std::nullopt;
}

QStringList CopiedFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.kor"), QStringLiteral("*.mdb")},
                                  QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

QStringList BackupNames(const Session& session) {
    QStringList names = CopiedFiles(DataFolder());
    if (session.OnServer() && !names.contains(session.databaseFile, Qt::CaseInsensitive))
        names << session.databaseFile;
    return names;
}

std::optional<qint64> LiveCardCount(const Session& session) {
    try {
        if (session.CollectionIsOpen())
            return session.collection().Count(Selection::AllCards()).cards;
        if (QFileInfo(session.databaseFile).isFile())
            return Collection::VerifiedCardCount(session.databaseFile);
    } catch (const StoreError&) {
        // Told to the user as a collection that cannot be read.
    }
    return std::nullopt;
}

RestoreSource CheckedRestoreSource(const QString& picked, const QString& databaseName) {
    if (QFileInfo(picked).isDir() && !CanEnter(picked))
        throw UserError(QStringLiteral("Vous n'avez pas le droit d'ouvrir le dossier « %1 ».")
                            .arg(QDir::toNativeSeparators(picked)));
    const QString markerFile = picked + SafeFiles::TwinIn(picked, Marker::kFileName);
    if (!QFileInfo(markerFile).isFile())
        throw UserError(QStringLiteral("Le dossier « %1 » ne contient pas de sauvegarde : le "
                                       "fichier « %2 » est introuvable.")
                            .arg(QDir::toNativeSeparators(picked), Marker::kFileName));
    const std::optional<MarkerLines> lines = Marker::Read(markerFile);
    const QString folder = lines ? WithFinalSlash(lines->backupFolder) : QString();
    if (!lines || !QFileInfo(folder).isDir())
        throw UserError(
            QStringLiteral("Le dossier de sauvegarde « %1 » indiqué par « %2 » n'existe pas.")
                .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(markerFile)));
    if (!CanEnter(folder))
        throw UserError(
            QStringLiteral("Vous n'avez pas le droit d'ouvrir le dossier de sauvegarde "
                           "« %1 » indiqué par « %2 ».")
                .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(markerFile)));
    const QString database = folder + SafeFiles::TwinIn(folder, databaseName);
    if (ReadJetHeader(database).IsJet())
        throw UserError(JetBackupRefusal(database));
    try {
        return RestoreSource{folder, lines->date, Collection::VerifiedCardCount(database)};
    } catch (const StoreError& error) {
        throw UserError(QStringLiteral("La base sauvegardée ne peut pas être restaurée.\n") +
                        error.text());
    }
}

QString CardsText(qint64 cards) {
    if (cards == 0)
        return QStringLiteral("aucune fiche");
    return cards == 1 ? QStringLiteral("1 fiche") : QStringLiteral("%1 fiches").arg(cards);
}

QString InFrench(const QStringList& names) {
    if (names.size() < 2)
        return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" et ") +
           names.last();
}

} // namespace BackupChecks
