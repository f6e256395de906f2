#pragma once

#include <QMetaType>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// The two ways a disk refuses a write.
enum class DiskFault { Full, ReadOnly };
Q_DECLARE_METATYPE(DiskFault)
// The system's error for each.
int ErrorNumberOf(DiskFault fault);
// One test row per fault, in the column "fault".
void AddDiskFaultRows();

// A small tmpfs of its own, to meet a real full or read-only disk. Mounting needs root; where it
// cannot be mounted, WhyNot says why and the test skips.
class ScratchVolume {
public:
    explicit ScratchVolume(qint64 bytes = qint64{256} * 1024);
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;
    ~ScratchVolume();

    bool IsMounted() const { return mounted_; }
    QString WhyNot() const { return whyNot_; }
    QString Path(const QString& name = QString()) const;

    // Fills every free byte, or remounts the volume read-only; false, with WhyNot set, when the
    // disk did not end up so.
    bool Break(DiskFault fault);

private:
    bool Fill();
    bool MakeReadOnly();

    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    QString whyNot_;
};

// An ext4 file system on a loop device of its own, whose disk can be made to fail: from then on
// every read or write of it ends in EIO, as on a dying disk. Needs root, a loop device and
// mkfs.ext4; where it cannot be made, WhyNot says why.
class FailingDisk {
public:
    FailingDisk();
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;
    ~FailingDisk();

    bool IsMounted() const { return mounted_; }
    QString WhyNot() const { return whyNot_; }
    QString Path(const QString& name = QString()) const;
    bool Fail();

private:
    QTemporaryDir image_;
    QTemporaryDir mountPoint_;
    QString device_;
    bool mounted_ = false;
    QString whyNot_;
};

#define SKIP_WITHOUT_VOLUME(volume)                                                                \
    do {                                                                                           \
        if (!(volume).IsMounted())                                                                 \
            QSKIP(qPrintable(QStringLiteral("no scratch tmpfs: ") + (volume).WhyNot()));           \
    } while (false)

// A named pipe for a test. While the test's work stays blocked on it, the watch opens the pipe
// from the other side once a minute, so that the blocked read or write returns and the test
// fails instead of hanging. The watch ends with the object.
class WatchedPipe {
public:
    explicit WatchedPipe(const QString& path);
    WatchedPipe(const WatchedPipe&) = delete;
    WatchedPipe& operator=(const WatchedPipe&) = delete;
    ~WatchedPipe();

    bool Made() const { return made_; }
    // Whether the watch had to release a blocked opening.
    bool Released() const { return released_; }

private:
    QString path_;
    bool made_ = false;
    std::atomic<bool> released_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
    bool ending_ = false;
    std::thread watch_;
};
