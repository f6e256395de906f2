#pragma once

#include "platform/Replaceable.h"

#include <cstddef>
#include <sys/types.h>

// The system calls through which the file writer puts a file on the disk, in the system's terms:
// -1 and errno on failure. A test puts calls that fail at a chosen step in their place, so that
// every writer's failure paths run without a full or read-only disk.
class DiskCalls : public Replaceable<DiskCalls> {
public:
    virtual ~DiskCalls() = default;

    // A new file open for writing; it fails when the name is taken.
    virtual int Create(const char* path, mode_t mode);
    virtual ssize_t Write(int descriptor, const void* bytes, std::size_t size);
    virtual int Sync(int descriptor);
    // The descriptor is released even when the close reports a failure.
    virtual int Close(int descriptor);
    // flags as renameat2 takes them (RENAME_EXCHANGE).
    virtual int Rename(const char* from, const char* to, unsigned int flags);
};
