#include "convert/Isolated.h"

#include "store/StoreError.h"

#include <QByteArray>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
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

[[noreturn]] void RunChild(int fd,
                           const std::function<Isolated::Result(const Isolated::Report&)>& work) {
    int status = 0;
    try {
        const Isolated::Result result = work([fd](qint64 x, qint64 y) { Send(fd, kReport, x, y); });
        Send(fd, kResult, result.number, 0, result.text);
    } catch (const StoreError& error) {
        Send(fd, kFailure, qint64(error.kind()), 0, error.text());
    } catch (const UserError& error) {
        Send(fd, kFailure, qint64(StoreError::Kind::Failed), 0, error.text());
    } catch (...) {
        status = 4;
    }
    ::close(fd);
    // No destructor of the parent's objects may run in the child.
    ::_exit(status);
}

class Reader {
public:
    explicit Reader(int fd) : fd_(fd) {}

    bool Read(void* into, size_t size) {
        auto* bytes = static_cast<char*>(into);
        while (size > 0) {
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

private:
    int fd_;
};

} // namespace

namespace Isolated {

Result Run(const std::function<Result(const Report&)>& work, const Report& onReport,
           const QString& crashMessage) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw StoreError(StoreError::Kind::Failed, crashMessage);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw StoreError(StoreError::Kind::Failed, crashMessage);
    }
    if (child == 0) {
        ::close(fds[0]);
        // The work ends with the program: a killed program leaves no conversion running.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(5);
        RunChild(fds[1], work);
    }
    ::close(fds[1]);
    Reader reader(fds[0]);
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
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (failure)
        throw *failure;
    if (!result || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw StoreError(StoreError::Kind::Damaged, crashMessage);
    return *result;
}

} // namespace Isolated
