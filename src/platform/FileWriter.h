#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// A file replaced whole. The new content goes into a temporary file beside the target; every
// write and the flush to the disk are checked, and only then is the temporary renamed over the
// target, so the target holds either its old content or the whole new one, never a part. A writer
// left without Commit removes its temporary and leaves the target as it was. Only a regular file
// is ever replaced: a folder, a pipe or a device under the target's name is refused, never
// opened. Every failure throws UserError carrying the system's reason.
class FileWriter {
public:
    // A file that matters only while the program runs (the grid's page state, rewritten at
    // every page) is not worth a wait for the disk: it is still replaced whole, and a crash
    // leaves its old content, its new one or an empty file.
    enum class Flush { ToDisk, NotNeeded };

    // The temporary is the target's name followed by ".tmp" unless another one is given; a
    // temporary left by an earlier failure is removed first.
    explicit FileWriter(const QString& target, const QString& temporary = QString());
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;
    ~FileWriter();

    // The temporary's name, for writers that fill the file by its name (the database engine).
    const QString& TemporaryName() const { return temporary_; }

    void Write(QByteArrayView bytes);
    // Appends the whole of a regular file, read piece by piece.
    void CopyFrom(const QString& source);
    // Flushes the temporary to the disk and renames it over the target.
    void Commit(Flush flush = Flush::ToDisk);

private:
    [[noreturn]] void Fail(int errorNumber) const;
    void ReplaceWithoutWait();

    QString target_;
    QString temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
};

// Replaces target by bytes, as FileWriter does.
void WriteFileWhole(const QString& target, QByteArrayView bytes,
                    FileWriter::Flush flush = FileWriter::Flush::ToDisk);

// The first limit bytes of a regular file; nothing when no file has that name. Anything else
// under the name (a folder, a pipe, a device) is refused with UserError without being opened, so
// that reading never waits on it; so is a file that cannot be read.
std::optional<QByteArray> ReadRegularFile(const QString& fileName, qint64 limit);

// Whether two files hold the same bytes; false when either cannot be read.
bool SameBytes(const QString& first, const QString& second);
