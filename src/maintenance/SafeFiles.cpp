#include "maintenance/SafeFiles.h"

#include "store/Connection.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

StoreError CopyError(const QString& target, const QString& reason,
                     StoreError::Kind kind = StoreError::Kind::Failed) {
    return StoreError(kind, QStringLiteral("La copie vers « %1 » a échoué : %2")
                                .arg(QDir::toNativeSeparators(target), reason));
}

bool SyncPath(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

namespace SafeFiles {

QString TwinIn(const QString& folder, const QString& name) {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& present : names)
        if (present.compare(name, Qt::CaseInsensitive) == 0)
            return present;
    return name;
}

QString TemporaryNameFor(const QString& target) {
    return target + QStringLiteral(".tmp");
}

bool SameBytes(const QString& first, const QString& second) {
    QFile a(first), b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.size() != b.size())
        return false;
    constexpr qint64 kChunk = 1 << 20;
    while (!a.atEnd()) {
        const QByteArray chunk = a.read(kChunk);
        if (chunk.isEmpty() || chunk != b.read(kChunk))
            return false;
    }
    return true;
}

void Install(const QString& target, const std::function<void(const QString&)>& write,
             const std::function<void(const QString&)>& verify) {
    const QString temporary = TemporaryNameFor(target);
    try {
        if (QFileInfo::exists(temporary) && !QFile::remove(temporary))
            throw CopyError(target, QStringLiteral("un ancien fichier temporaire ne peut pas "
                                                   "être supprimé."));
        write(temporary);
        verify(temporary);
        Commit(temporary, target);
    } catch (...) {
        QFile::remove(temporary);
        throw;
    }
}

void Commit(const QString& temporary, const QString& target) {
    if (!SyncPath(temporary, O_RDONLY))
        throw CopyError(target, QStringLiteral("le fichier n'a pas pu être écrit sur le disque."));
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(target).constData()) != 0)
        throw CopyError(target, QStringLiteral("le fichier ne peut pas être remplacé."));
    // The rename itself reaches the disk with its folder.
    SyncPath(QFileInfo(target).absolutePath(), O_RDONLY | O_DIRECTORY);
}

void CopyDatabase(const Database& database, const QString& target) {
    const qint64 cards = database.CardCount();
    Install(
        target, [&](const QString& temporary) { database.BackupTo(temporary); },
        [&](const QString& temporary) {
            if (Database::VerifiedCardCount(temporary) != cards)
                throw CopyError(target, QStringLiteral("la copie ne contient pas toutes les "
                                                       "fiches."));
        });
}

void CopyFile(const QString& source, const QString& target, Check check) {
    Install(
        target,
        [&](const QString& temporary) {
            QFile original(source);
            if (!original.copy(temporary))
                throw CopyError(target,
                                QStringLiteral("« %1 » ne peut pas être lu ou la "
                                               "destination ne peut pas être écrite (%2).")
                                    .arg(QDir::toNativeSeparators(source), original.errorString()));
        },
        [&](const QString& temporary) {
            if (!SameBytes(source, temporary))
                throw CopyError(target, QStringLiteral("la copie diffère de l'original."));
            if (check == Check::BytesAndDatabase)
                Database::VerifiedCardCount(temporary);
        });
}

void RestoreDatabase(const QString& source, const QString& target) {
    if (QFileInfo(target).isFile()) {
        try {
            Database::WriteInto(source, target);
            return;
        } catch (const StoreError& error) {
            if (error.kind() != StoreError::Kind::NotADatabase &&
                error.kind() != StoreError::Kind::Damaged)
                throw CopyError(target, error.text(), error.kind());
        }
    }
    CopyFile(source, target, Check::BytesAndDatabase);
}

} // namespace SafeFiles
