#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program out of a data folder for as long as this object lives.
// The lock is a small file in the folder; the lock of a process that died is taken over.
class FolderLock {
public:
    // NotPlaced: the lock file cannot be written there (read-only folder, full disk).
    enum class Outcome { Taken, HeldByOther, NotPlaced };

    explicit FolderLock(const QString& folder);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    Outcome Take();
    // The process that holds the folder, when Take() found it held; 0 when unknown.
    qint64 Holder() const;

    static QString FileName() { return QStringLiteral(".pivanes.verrou"); }

private:
    QLockFile lock_;
};
