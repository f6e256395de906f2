#include "maintenance/SafeFiles.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

UserError CopyError(const QString& target, const QString& reason) {
    return UserError(QStringLiteral("La copie vers « %1 » a échoué : %2")
                         .arg(QDir::toNativeSeparators(target), reason));
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

// The file is copied as it stands, while no writer can change it, and read back against it: the
// copy is then the database byte for byte.
void CopyDatabase(const Database& database, const QString& target) {
    database.WhileUnchanged([&] { CopyFile(database.FileName(), target); });
}

void CopyFile(const QString& source, const QString& target, Check check) {
    FileWriter file(target);
    file.CopyFrom(source);
    if (!SameBytes(source, file.TemporaryName()))
        throw CopyError(target, QStringLiteral("la copie diffère de l'original."));
    if (check == Check::BytesAndDatabase)
        Database::VerifiedCardCount(file.TemporaryName());
    file.Commit();
}

} // namespace SafeFiles
