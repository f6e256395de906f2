#include "maintenance/SafeFiles.h"

#include "store/Connection.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

StoreError CopyError(const QString& target, const QString& reason) {
    return StoreError(StoreError::Kind::Failed, QStringLiteral("La copie vers « %1 » a échoué : %2")
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

namespace {

// Reads up to size bytes, fewer only at the end of the file; -1 on failure.
qint64 ReadFull(int fd, char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, data + done, std::size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {}
    ~ReadOnlyFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

// Large files are compared piece by piece in two buffers taken once.
bool SameBytes(const QString& first, const QString& second) {
    const ReadOnlyFile a(first), b(second);
    if (a.fd() < 0 || b.fd() < 0 || QFileInfo(first).size() != QFileInfo(second).size())
        return false;
    constexpr qint64 kPiece = 1 << 20;
    std::vector<char> left(kPiece), right(kPiece);
    for (;;) {
        const qint64 got = ReadFull(a.fd(), left.data(), kPiece);
        if (got < 0 || ReadFull(b.fd(), right.data(), kPiece) != got ||
            std::memcmp(left.data(), right.data(), std::size_t(got)) != 0)
            return false;
        if (got < kPiece)
            return true;
    }
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

// The file is copied as it stands, while no writer can change it, and read back against it: the
// copy is then the database byte for byte.
void CopyDatabase(const Database& database, const QString& target) {
    database.WhileUnchanged([&] { CopyFile(database.FileName(), target); });
}

void CopyFile(const QString& source, const QString& target, Check check) {
    Install(
        target,
        [&](const QString& temporary) {
            if (!QFile::copy(source, temporary))
                throw CopyError(target, QStringLiteral("« %1 » ne peut pas être lu ou la "
                                                       "destination ne peut pas être écrite.")
                                            .arg(QDir::toNativeSeparators(source)));
        },
        [&](const QString& temporary) {
            if (!SameBytes(source, temporary))
                throw CopyError(target, QStringLiteral("la copie diffère de l'original."));
            if (check == Check::BytesAndDatabase)
                Database::VerifiedCardCount(temporary);
        });
}

} // namespace SafeFiles
