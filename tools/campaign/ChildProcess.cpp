#include "ChildProcess.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<qint64>(0, left.count()));
}

} // namespace

ChildProcess::ChildProcess(const QStringList& arguments) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        qFatal("pipe: %s", strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    // This very program, even when a newer build has replaced its file meanwhile.
    const QByteArray program("/proc/self/exe");
    std::vector<QByteArray> storage{program, QByteArrayLiteral("child")};
    for (const QString& argument : arguments)
        storage.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (QByteArray& bytes : storage)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);
    // The campaign ignores SIGPIPE (a child may die before reading); its children do not.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &pipe);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int rc =
        posix_spawn(&pid_, program.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0)
        qFatal("posix_spawn: %s", strerror(rc));
    input_ = in[1];
    output_ = out[0];
    errors_ = err[0];
}

ChildProcess::~ChildProcess() {
    if (!reaped_) {
        Kill();
        Wait(std::chrono::milliseconds(60000));
    }
    for (int fd : {input_, output_, errors_})
        if (fd >= 0)
            ::close(fd);
}

void ChildProcess::Drain(int& fd, QByteArray& into, int waitMs) {
    pollfd ready{fd, POLLIN, 0};
    if (fd < 0 || ::poll(&ready, 1, waitMs) <= 0)
        return;
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, got);
    } else if (got == 0 || errno != EINTR) {
        ::close(fd);
        fd = -1;
    }
}

std::optional<QByteArray> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const qsizetype end = outputBytes_.indexOf('\n');
        if (end >= 0) {
            QByteArray line = outputBytes_.left(end);
            outputBytes_.remove(0, end + 1);
            return line;
        }
        if (output_ < 0)
            return std::nullopt;
        // The error output is emptied too, so that a talkative child never blocks on it.
        pollfd both[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
        const int ready = ::poll(both, 2, RemainingMs(deadline));
        if (ready > 0 && both[1].revents)
            Drain(errors_, errorBytes_, 0);
        if (ready > 0 && both[0].revents)
            Drain(output_, outputBytes_, 0);
        else if (Clock::now() >= deadline)
            return std::nullopt;
    }
}

QList<QByteArray> ChildProcess::RemainingLines() {
    QList<QByteArray> lines;
    while (output_ >= 0)
        Drain(output_, outputBytes_, 1000);
    for (const QByteArray& line : outputBytes_.split('\n'))
        if (!line.isEmpty())
            lines << line;
    outputBytes_.clear();
    return lines;
}

void ChildProcess::Write(const QByteArray& bytes) {
    if (input_ >= 0 &&
        ::write(input_, bytes.constData(), std::size_t(bytes.size())) != bytes.size())
        CloseInput();
}

void ChildProcess::CloseInput() {
    if (input_ >= 0)
        ::close(input_);
    input_ = -1;
}

void ChildProcess::Kill() {
    if (reaped_ || status_)
        return;
    // A child that already ended on its own was not killed by us.
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
        return;
    }
    if (::kill(pid_, SIGKILL) == 0)
        killed_ = true;
}

ChildProcess::End ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = status;
            break;
        }
        if (killed_) {
            // Nothing stops a SIGKILL: the end comes without waiting for output.
            if (::waitpid(pid_, &status, 0) == pid_)
                status_ = status;
            break;
        }
        if (Clock::now() >= deadline) {
            timedOut_ = true;
            Kill();
            continue;
        }
        // Both outputs are read while waiting: a child blocked on a full pipe never ends.
        pollfd both[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
        if (::poll(both, 2, 20) > 0) {
            if (both[0].revents)
                Drain(output_, outputBytes_, 0);
            if (both[1].revents)
                Drain(errors_, errorBytes_, 0);
        }
    }
    const int status = *status_;
    reaped_ = true;
    while (errors_ >= 0)
        Drain(errors_, errorBytes_, 1000);
    End end;
    end.killedByUs = killed_;
    end.signalled = WIFSIGNALED(status);
    end.signal = end.signalled ? WTERMSIG(status) : 0;
    end.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    end.errors = errorBytes_;
    return end;
}

bool ChildProcess::End::SanitizerReport() const {
    return errors.contains("Sanitizer") || errors.contains("runtime error:");
}

QString ChildProcess::End::Describe() const {
    QString text = signalled ? QStringLiteral("signal %1").arg(signal)
                             : QStringLiteral("exit code %1").arg(exitCode);
    if (!errors.isEmpty())
        text += QStringLiteral("; stderr: ") + QString::fromLocal8Bit(errors.right(1500));
    return text;
}

void AwaitGo() {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    std::string go;
    if (!std::getline(std::cin, go))
        std::exit(0);
}

void SleepMicros(qint64 micros) {
    const timespec delay{time_t(micros / 1000000), long(micros % 1000000) * 1000};
    clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, nullptr);
}
