#include "EngineFakes.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

FailingWrites::FailingWrites(WriteStep step, const QString& folder)
    : step_(step), folder_(folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath()) {
    DiskCalls::Replace(this);
}

FailingWrites::~FailingWrites() {
    DiskCalls::Replace(nullptr);
}

int FailingWrites::ErrorNumberOf(WriteStep step) {
    switch (step) {
    case WriteStep::Create:
        return EROFS;
    case WriteStep::Write:
        return ENOSPC;
    case WriteStep::Flush:
        return EIO;
    case WriteStep::Rename:
        break;
    }
    return EACCES;
}

bool FailingWrites::Inside(const char* path) const {
    const QFileInfo file(QFile::decodeName(path));
    return folder_.isEmpty() || QFileInfo(file.absolutePath()).canonicalFilePath() == folder_;
}

int FailingWrites::Fail() {
    struck_ = true;
    errno = ErrorNumberOf(step_);
    return -1;
}

int FailingWrites::Create(const char* path, mode_t mode) {
    if (!Inside(path))
        return DiskCalls::Create(path, mode);
    if (step_ == WriteStep::Create)
        return Fail();
    const int descriptor = DiskCalls::Create(path, mode);
    if (descriptor >= 0)
        descriptors_.insert(descriptor);
    return descriptor;
}

// Half of the first write goes through, as on a disk that fills up during it.
ssize_t FailingWrites::Write(int descriptor, const void* bytes, std::size_t size) {
    if (step_ != WriteStep::Write || !descriptors_.contains(descriptor))
        return DiskCalls::Write(descriptor, bytes, size);
    if (size >= 2 && !cutShort_.contains(descriptor)) {
        cutShort_.insert(descriptor);
        return DiskCalls::Write(descriptor, bytes, size / 2);
    }
    return Fail();
}

int FailingWrites::Sync(int descriptor) {
    if (step_ == WriteStep::Flush && descriptors_.contains(descriptor))
        return Fail();
    return DiskCalls::Sync(descriptor);
}

int FailingWrites::Close(int descriptor) {
    const bool fails = step_ == WriteStep::Flush && descriptors_.contains(descriptor);
    descriptors_.remove(descriptor);
    cutShort_.remove(descriptor);
    const int closed = DiskCalls::Close(descriptor);
    return fails ? Fail() : closed;
}

int FailingWrites::Rename(const char* from, const char* to, unsigned int flags) {
    if (step_ == WriteStep::Rename && Inside(to))
        return Fail();
    return DiskCalls::Rename(from, to, flags);
}
