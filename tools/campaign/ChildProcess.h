#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <sys/types.h>

// One child of the campaign: this program run again in one of its child modes, with its output
// read line by line and its end examined. Killed and reaped when it goes out of scope.
class ChildProcess {
public:
    explicit ChildProcess(const QStringList& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // The next line of the child's output, without its end; nothing when the child ended or the
    // time ran out first.
    std::optional<QByteArray> ReadLine(std::chrono::milliseconds timeout);
    // The lines that came since the last ReadLine, once the child has ended.
    QList<QByteArray> RemainingLines();
    void Write(const QByteArray& bytes);
    void CloseInput();
    bool OutputEnded() const { return output_ < 0 && outputBytes_.indexOf('\n') < 0; }
    void Kill();

    struct End {
        bool killedByUs = false;
        bool signalled = false;
        int signal = 0;
        int exitCode = 0;
        QByteArray errors; // the child's error output
        bool SanitizerReport() const;
        bool Crashed() const { return (signalled && !killedByUs) || SanitizerReport(); }
        QString Describe() const;
    };
    // Waits for the end; a child still running after timeout is killed (see TimedOut).
    End Wait(std::chrono::milliseconds timeout);
    bool TimedOut() const { return timedOut_; }

private:
    void Drain(int& fd, QByteArray& into, int waitMs);
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
    QByteArray outputBytes_;
    QByteArray errorBytes_;
    bool killed_ = false;
    bool timedOut_ = false;
    bool reaped_ = false;
    std::optional<int> status_; // the wait status, once reaped by Kill
};

// The child's side of a start ahead of time: says "ready" once started, then waits until the
// parent says to go; ends quietly when the parent goes away instead.
void AwaitGo();

// Sleeps this many microseconds, by the monotonic clock.
void SleepMicros(qint64 micros);
