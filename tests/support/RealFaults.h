#pragma once

#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// A small tmpfs of its own, to meet a real full or read-only disk. Mounting needs root; where it
// cannot be mounted, WhyNot says why and the test skips.
class ScratchVolume {
public:
    explicit ScratchVolume(qint64 bytes = 64 * 1024);
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;
    ~ScratchVolume();

    bool IsMounted() const { return mounted_; }
    QString WhyNot() const { return whyNot_; }
    QString Path(const QString& name = QString()) const;

    // Takes every free byte with a file of its own; false when the disk did not end up full.
    bool Fill();
    // False, with WhyNot set, when the volume cannot be remounted read-only.
    bool MakeReadOnly();

private:
    QTemporaryDir mountPoint_;
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
