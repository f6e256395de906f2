#pragma once

#include "platform/Clock.h"
#include "platform/DiskCalls.h"

#include <QDateTime>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <functional>

// A clock that reads what the test gives it, a function called at each reading; without one,
// the system's time.
class TestClock : public Clock::Source {
public:
    QDateTime Now() override { return now_ ? now_() : Source::Now(); }
    void Set(std::function<QDateTime()> now) { now_ = std::move(now); }

private:
    std::function<QDateTime()> now_;
};

// Where a writer meets the disk.
enum class WriteStep { Create, Write, Flush, Rename };
Q_DECLARE_METATYPE(WriteStep)

// While it lives, the program's writes into one folder (or anywhere, without one) fail at one
// step, the way a faulty disk fails them: the file cannot be created (a read-only disk), a write
// stops short and then finds the disk full, the flush meets an I/O error (at the fsync, or at the
// close of a writer that does not wait for the disk), the rename is refused. The step goes on
// failing; every other call is the system's.
class FailingWrites : public DiskCalls {
public:
    explicit FailingWrites(WriteStep step, const QString& folder = QString());
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;
    ~FailingWrites() override;

    // The system's error that the step fails with.
    static int ErrorNumberOf(WriteStep step);
    // Whether any call failed.
    bool Struck() const { return struck_; }

    int Create(const char* path, mode_t mode) override;
    ssize_t Write(int descriptor, const void* bytes, std::size_t size) override;
    int Sync(int descriptor) override;
    int Close(int descriptor) override;
    int Rename(const char* from, const char* to, unsigned int flags) override;

private:
    bool Inside(const char* path) const;
    int Fail();

    WriteStep step_;
    QString folder_;        // canonical; empty for every folder
    QSet<int> descriptors_; // of the files created inside
    QSet<int> cutShort_;
    bool struck_ = false;
};
