#include "RealFaults.h"

#include <QFile>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray SizeOption(qint64 bytes) {
    return "size=" + QByteArray::number(bytes);
}

} // namespace

int ErrorNumberOf(DiskFault fault) {
    return fault == DiskFault::Full ? ENOSPC : EROFS;
}

void AddDiskFaultRows() {
    QTest::addColumn<DiskFault>("fault");
    QTest::newRow("full disk") << DiskFault::Full;
    QTest::newRow("read-only disk") << DiskFault::ReadOnly;
}

ScratchVolume::ScratchVolume(qint64 bytes) {
    if (::geteuid() != 0) {
        whyNot_ = QStringLiteral("mounting needs root");
        return;
    }
    const QByteArray where = QFile::encodeName(mountPoint_.path());
    if (::mount("pivanes-test", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                SizeOption(bytes).constData()) != 0) {
        whyNot_ = SystemText();
        return;
    }
    mounted_ = true;
}

ScratchVolume::~ScratchVolume() {
    // Detached, so that a current directory still inside does not keep it.
    if (mounted_)
        ::umount2(QFile::encodeName(mountPoint_.path()).constData(), MNT_DETACH);
}

QString ScratchVolume::Path(const QString& name) const {
    return name.isEmpty() ? mountPoint_.path() : mountPoint_.filePath(name);
}

bool ScratchVolume::Break(DiskFault fault) {
    return fault == DiskFault::Full ? Fill() : MakeReadOnly();
}

bool ScratchVolume::Fill() {
    const int filler = ::open(QFile::encodeName(Path(QStringLiteral(".filler"))).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (filler < 0) {
        whyNot_ = SystemText();
        return false;
    }
    const QByteArray block(4096, 'x');
    ssize_t written = 0;
    do {
        written = ::write(filler, block.constData(), std::size_t(block.size()));
    } while (written > 0);
    const bool full = written < 0 && errno == ENOSPC;
    if (!full)
        whyNot_ = QStringLiteral("the disk did not fill: ") + SystemText();
    ::close(filler);
    return full;
}

bool ScratchVolume::MakeReadOnly() {
    if (::mount("pivanes-test", QFile::encodeName(mountPoint_.path()).constData(), "tmpfs",
                MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) != 0) {
        whyNot_ = SystemText();
        return false;
    }
    return true;
}

WatchedPipe::WatchedPipe(const QString& path) : path_(path) {
    made_ = ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    if (!made_)
        return;
    watch_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        while (!ended_.wait_for(lock, std::chrono::minutes(1), [this] { return ending_; })) {
            released_ = true;
            // A writer released this way meets a pipe without reader: let it fail, not die.
            std::signal(SIGPIPE, SIG_IGN);
            const int other = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_NONBLOCK);
            if (other >= 0)
                ::close(other);
        }
    });
}

WatchedPipe::~WatchedPipe() {
    if (!watch_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    ended_.notify_one();
    watch_.join();
}
