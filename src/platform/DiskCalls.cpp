#include "platform/DiskCalls.h"

#include <cstdio> // renameat2
#include <fcntl.h>
#include <unistd.h>

int DiskCalls::Create(const char* path, mode_t mode) {
    return ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

ssize_t DiskCalls::Write(int descriptor, const void* bytes, std::size_t size) {
    return ::write(descriptor, bytes, size);
}

int DiskCalls::Sync(int descriptor) {
    return ::fsync(descriptor);
}

int DiskCalls::Close(int descriptor) {
    return ::close(descriptor);
}

int DiskCalls::Rename(const char* from, const char* to, unsigned int flags) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}
