#include "store/ServerCopy.h"

#include "store/StoreError.h"
#include "store/sqlite/CopyFile.h"
#include "store/sqlite/LocalFile.h"
#include "store/sqlite/OfflineCollection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

ServerChanges& ChangesOf(Collection& server) {
    auto* changes = dynamic_cast<ServerChanges*>(&server);
    if (!changes)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Seule une collection de serveur a une copie locale."));
    return *changes;
}

ReturnReport SendQueued(CopyFile& copy, ServerChanges& server) {
    ReturnReport report;
    bool first = true;
    while (const std::optional<QueuedChange> next = copy.FirstQueued()) {
        if (first)
            report.restored = server.Mark().epoch != copy.Held().epoch;
        first = false;
        const ReturnedChange returned = server.Apply(*next);
        copy.Sent(returned);
        report.changes.push_back(returned);
    }
    return report;
}

// The whole collection, read through the server's backup path into a file beside the copy, made
// into a copy there, then put in place: renamed where there was none, else written into the
// copy's file under its locks, so that a program reading the copy meanwhile sees one or the
// other. The mark is read first: a change that the read already holds comes again after it,
// which writes the card as it stands once more.
void ReadWhole(Collection& server, ServerChanges& changes, const QString& copyFile) {
    const ChangeMark mark = changes.Mark();
    const QString fresh = copyFile + QStringLiteral(".nouvelle");
    server.SnapshotInto(fresh);
    CopyFile::Prepare(fresh, mark);
    if (!QFileInfo::exists(copyFile)) {
        if (!QFile::rename(fresh, copyFile))
            throw StoreError(StoreError::Kind::Failed,
                             QStringLiteral("La copie locale du serveur « %1 » n'a pas pu être "
                                            "mise en place sous le nom %2.")
                                 .arg(server.Place().name, LocalFile::Where(copyFile)));
        return;
    }
    Collection::OpenLocal(copyFile)->ReplaceWith(fresh);
    QFile::remove(fresh);
}

} // namespace

namespace ServerCopy {

QString FileFor(const QString& dataFolder, const QString& connection) {
    const QByteArray hash =
        QCryptographicHash::hash(connection.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QDir(dataFolder)
        .filePath(QStringLiteral("copies/serveur-%1.mdb").arg(QString::fromLatin1(hash)));
}

ReturnReport BringUpToDate(Collection& server, const QString& copyFile) {
    ServerChanges& changes = ChangesOf(server);
    const QString folder = QFileInfo(copyFile).path();
    if (!QDir().mkpath(folder))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Le dossier des copies locales « %1 » n'a pas pu être "
                                        "créé : la copie du serveur n'a pas été faite.")
                             .arg(QDir::toNativeSeparators(folder)));
    ReturnReport report;
    if (QFileInfo::exists(copyFile)) {
        CopyFile copy(copyFile);
        report = SendQueued(copy, changes);
        if (copy.CatchUp(changes))
            return report;
    }
    ReadWhole(server, changes, copyFile);
    return report;
}

std::optional<QDateTime> ReadAt(const QString& copyFile) {
    if (!QFileInfo::exists(copyFile))
        return std::nullopt;
    return CopyFile(copyFile).ReadAt();
}

std::unique_ptr<Collection> OpenOffline(const QString& copyFile, const QString& server) {
    return std::make_unique<OfflineCollection>(std::make_unique<CopyFile>(copyFile), server);
}

} // namespace ServerCopy
