#include "convert/Isolated.h"

#include "store/StoreError.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum Record : char { kReport = 'P', kResult = 'R', kFailure = 'E' };

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

// One record: its type, two numbers, the length of a text and the text in UTF-8.
void Send(int fd, Record type, qint64 a, qint64 b, const QString& text = QString()) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray record(1, type);
    const qint64 length = utf8.size();
    record.append(reinterpret_cast<const char*>(&a), sizeof a);
    record.append(reinterpret_cast<const char*>(&b), sizeof b);
    record.append(reinterpret_cast<const char*>(&length), sizeof length);
    record += utf8;
    if (!WriteAll(fd, record.constData(), size_t(record.size())))
        ::_exit(3);
}

const char* const kOption = "--travail-isole";
// The child writes its records there, whatever the parent's descriptors were.
constexpr int kRecordFd = 3;

std::map<std::string, Isolated::Work>& Works() {
    static std::map<std::string, Isolated::Work> works;
    return works;
}

int RunChild(int fd, Isolated::Work work, const QStringList& arguments) {
    try {
        const Isolated::Result result =
            work(arguments, [fd](qint64 x, qint64 y) { Send(fd, kReport, x, y); });
        Send(fd, kResult, result.number, 0, result.text);
    } catch (const StoreError& error) {
        Send(fd, kFailure, qint64(error.kind()), 0, error.text());
    } catch (const UserError& error) {
        Send(fd, kFailure, qint64(StoreError::Kind::Failed), 0, error.text());
    } catch (...) {
        return 4;
    }
    ::close(fd);
    return 0;
}

// The name the program was started under, so that the child shows as the same program.
QByteArray ProgramName() {
    QFile cmdline(QStringLiteral("/proc/self/cmdline"));
    const QByteArray all = cmdline.open(QIODevice::ReadOnly) ? cmdline.readAll() : QByteArray();
    return all.isEmpty() ? QByteArrayLiteral("pivanes") : all.left(all.indexOf('\0'));
}

// Reads the child's records until a deadline.
class Reader {
public:
    Reader(int fd, std::chrono::steady_clock::time_point deadline) : fd_(fd), deadline_(deadline) {}

    bool Read(void* into, size_t size) {
        auto* bytes = static_cast<char*>(into);
        while (size > 0) {
            if (!Ready())
                return false;
            const ssize_t got = ::read(fd_, bytes, size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            bytes += got;
            size -= size_t(got);
        }
        return true;
    }
    bool TimedOut() const { return timedOut_; }

private:
    // Whether there is something to read (or the end) before the deadline.
    bool Ready() {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - std::chrono::steady_clock::now());
            pollfd polled{fd_, POLLIN, 0};
            const int rc = ::poll(&polled, 1, int(std::clamp<qint64>(left.count(), 0, 60000)));
            if (rc > 0)
                return true;
            if (rc < 0 && errno != EINTR)
                return false;
            if (rc == 0 && left.count() <= 0) {
                timedOut_ = true;
                return false;
            }
        }
    }

    int fd_;
    std::chrono::steady_clock::time_point deadline_;
    bool timedOut_ = false;
};

} // namespace

namespace Isolated {

bool Offer(const char* name, Work work) {
    Works()[name] = work;
    return true;
}

std::optional<int> ServeIfAsked(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], kOption) != 0)
        return std::nullopt;
    const auto work = Works().find(argv[2]);
    if (work == Works().end())
        return 5;
    QStringList arguments;
    for (int i = 3; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return RunChild(kRecordFd, work->second, arguments);
}

Result Run(const char* name, const QStringList& arguments, const Report& onReport,
           const Limits& limits) {
    // Everything the child needs is made before it exists: between fork and exec, a copy of a
    // program that runs threads may only make system calls.
    std::vector<QByteArray> words{ProgramName(), kOption, name};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw StoreError(StoreError::Kind::Failed, limits.crashMessage);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw StoreError(StoreError::Kind::Failed, limits.crashMessage);
    }
    if (child == 0) {
        // The work ends with the program: a killed program leaves no conversion running.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(5);
        if (fds[1] == kRecordFd ? ::fcntl(kRecordFd, F_SETFD, 0) != 0
                                : ::dup2(fds[1], kRecordFd) < 0)
            ::_exit(6);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(7);
    }
    ::close(fds[1]);
    Reader reader(fds[0], std::chrono::steady_clock::now() + limits.time);
    std::optional<Result> result;
    std::optional<StoreError> failure;
    char type = 0;
    qint64 a = 0, b = 0, length = 0;
    int status = 0;
    try {
        while (reader.Read(&type, 1) && reader.Read(&a, sizeof a) && reader.Read(&b, sizeof b) &&
               reader.Read(&length, sizeof length) && length >= 0 && length < (1 << 24)) {
            QByteArray text(length, '\0');
            if (!reader.Read(text.data(), size_t(length)))
                break;
            if (type == kReport && onReport)
                onReport(a, b);
            else if (type == kResult)
                result = Result{a, QString::fromUtf8(text)};
            else if (type == kFailure)
                failure.emplace(StoreError::Kind(a), QString::fromUtf8(text));
        }
    } catch (...) {
        ::kill(child, SIGKILL);
        ::close(fds[0]);
        ::waitpid(child, &status, 0);
        throw;
    }
    ::close(fds[0]);
    if (reader.TimedOut())
        ::kill(child, SIGKILL);
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (reader.TimedOut())
        throw StoreError(StoreError::Kind::Failed, limits.timeMessage);
    if (failure)
        throw *failure;
    if (!result || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw StoreError(StoreError::Kind::Damaged, limits.crashMessage);
    return *result;
}

} // namespace Isolated
