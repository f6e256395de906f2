#include "platform/FileWriter.h"

#include "platform/DiskCalls.h"
#include "platform/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Encoded(const QString& path) {
    return QFile::encodeName(path);
}

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString NotWritten(const QString& target) {
    return QStringLiteral("Le fichier « %1 » n'a pas pu être écrit ; son ancien contenu est "
                          "conservé.")
        .arg(Shown(target));
}

QString NotRead(const QString& source) {
    return QStringLiteral("Le fichier « %1 » ne peut pas être lu.").arg(Shown(source));
}

const QString kNotRegular =
    QStringLiteral("ce n'est pas un fichier ordinaire (dossier, tube ou périphérique).");

// Closes the descriptor it holds, whatever way the scope is left.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

// The mode of a file, or nothing when there is none under the name.
std::optional<mode_t> ModeOf(const QString& path, const QString& sentence) {
    struct stat status {};
    if (::stat(Encoded(path).constData(), &status) != 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw UserError(sentence, UserError::SystemReason(errno));
    }
    if (!S_ISREG(status.st_mode))
        throw UserError(sentence, kNotRegular);
    return status.st_mode;
}

// A descriptor open for reading on a regular file; -1 when there is no file of that name. The
// type is checked before opening and again on what was opened, and the opening never waits.
int OpenRegular(const QString& path) {
    if (!ModeOf(path, NotRead(path)))
        return -1;
    const int descriptor =
        ::open(Encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT)
            return -1;
        throw UserError(NotRead(path), UserError::SystemReason(errno));
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw UserError(NotRead(path), kNotRegular);
    }
    return descriptor;
}

// Reads up to size bytes, fewer only at the end of the file.
qint64 ReadSome(int descriptor, char* into, qint64 size, const QString& path) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(descriptor, into + done, std::size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw UserError(NotRead(path), UserError::SystemReason(errno));
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

// A link is followed, as an editor saving through it would: the file it names is replaced.
QString Followed(const QString& target) {
    const QFileInfo info(target);
    if (info.isSymLink()) {
        QString followed = info.canonicalFilePath();
        if (!followed.isEmpty())
            return followed;
    }
    return target;
}

} // namespace

FileWriter::FileWriter(const QString& target, const QString& temporary)
    : target_(Followed(target)),
      temporary_(temporary.isEmpty() ? target_ + QStringLiteral(".tmp") : temporary) {
    const std::optional<mode_t> mode = ModeOf(target_, NotWritten(target_));
    if (::unlink(Encoded(temporary_).constData()) != 0 && errno != ENOENT)
        Fail(errno);
    descriptor_ = DiskCalls::Current().Create(Encoded(temporary_).constData(), 0666);
    if (descriptor_ < 0)
        Fail(errno);
    // The new file keeps the old one's permissions.
    if (mode && ::fchmod(descriptor_, *mode & 07777) != 0)
        Fail(errno);
}

FileWriter::~FileWriter() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
    if (!committed_)
        ::unlink(Encoded(temporary_).constData());
}

void FileWriter::Fail(int errorNumber) const {
    throw UserError(NotWritten(target_), UserError::SystemReason(errorNumber));
}

void FileWriter::Write(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = DiskCalls::Current().Write(descriptor_, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            Fail(errno);
        data += written;
        left -= written;
    }
}

void FileWriter::CopyFrom(const QString& source) {
    const Descriptor in(OpenRegular(source));
    if (in.get() < 0)
        throw UserError(NotRead(source), UserError::SystemReason(ENOENT));
    constexpr qint64 kPiece = 1 << 20;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        const qint64 got = ReadSome(in.get(), piece.data(), kPiece, source);
        Write(QByteArrayView(piece.constData(), got));
        if (got < kPiece)
            return;
    }
}

void FileWriter::Commit(Flush flush) {
    DiskCalls& disk = DiskCalls::Current();
    if (flush == Flush::ToDisk && disk.Sync(descriptor_) != 0)
        Fail(errno);
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (disk.Close(descriptor) != 0)
        Fail(errno);
    if (flush == Flush::NotNeeded) {
        ReplaceWithoutWait();
        committed_ = true;
        return;
    }
    if (disk.Rename(Encoded(temporary_).constData(), Encoded(target_).constData(), 0) != 0)
        Fail(errno);
    committed_ = true;
    // The rename reaches the disk with its folder; the file is already replaced either way.
    const Descriptor folder(::open(Encoded(QFileInfo(target_).absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

// A file system such as ext4 writes a file's blocks out before it renames it over another, a wait
// of a few milliseconds on a busy disk at every page of a grid. Exchanging the two names, then
// removing the old file, replaces it as atomically without that wait.
void FileWriter::ReplaceWithoutWait() {
    const QByteArray temporary = Encoded(temporary_);
    const QByteArray target = Encoded(target_);
    DiskCalls& disk = DiskCalls::Current();
    if (disk.Rename(temporary.constData(), target.constData(), RENAME_EXCHANGE) == 0) {
        if (::unlink(temporary.constData()) == 0)
            return;
        // What came out is no regular file, put there since the target was checked: it goes
        // back under its name.
        const int error = errno;
        disk.Rename(temporary.constData(), target.constData(), RENAME_EXCHANGE);
        Fail(error);
    }
    // No target yet, or a file system that cannot exchange names.
    if (disk.Rename(temporary.constData(), target.constData(), 0) != 0)
        Fail(errno);
}

void WriteFileWhole(const QString& target, QByteArrayView bytes, FileWriter::Flush flush) {
    FileWriter file(target);
    file.Write(bytes);
    file.Commit(flush);
}

std::optional<QByteArray> ReadRegularFile(const QString& fileName, qint64 limit) {
    const Descriptor in(OpenRegular(fileName));
    if (in.get() < 0)
        return std::nullopt;
    QByteArray bytes(limit, Qt::Uninitialized);
    bytes.truncate(ReadSome(in.get(), bytes.data(), limit, fileName));
    return bytes;
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
