#pragma once

#include <QList>
#include <QString>
#include <functional>

// Hands a file or a web address to the desktop's opener (xdg-open where there is one). The
// opener only says by its exit status that it found no program for the target, so that answer
// may come a moment after the call has returned. In tests nothing is started, unless the test
// asks for the real opener: each request is recorded and answered as the test chose.
namespace Desktop {

// `failed` runs, once, when there is no such file, no opener, or the opener could not open it.
void OpenFile(const QString& fileName, const std::function<void()>& failed);
void OpenUrl(const QString& address, const std::function<void()>& failed);

namespace Testing {
struct Request {
    enum class Kind { File, Url } kind;
    QString target;
};
void Enable();
void SetAnswer(bool opened); // the answer to every later request; true at first
void UseRealOpener();        // later requests go to the desktop's opener, recorded all the same
const QList<Request>& Requests();
void Clear();
} // namespace Testing

} // namespace Desktop
