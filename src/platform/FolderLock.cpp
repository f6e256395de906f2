#include "platform/FolderLock.h"

#include <QDir>

FolderLock::FolderLock(const QString& folder) : lock_(QDir(folder).filePath(FileName())) {
    // A live holder keeps the folder however long it runs; only a dead one loses it.
    lock_.setStaleLockTime(0);
}

FolderLock::Outcome FolderLock::Take() {
    if (lock_.tryLock(0))
        return Outcome::Taken;
    return lock_.error() == QLockFile::LockFailedError ? Outcome::HeldByOther : Outcome::NotPlaced;
}

qint64 FolderLock::Holder() const {
    qint64 pid = 0;
    QString host;
    QString application;
    return lock_.getLockInfo(&pid, &host, &application) ? pid : 0;
}
