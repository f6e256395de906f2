#pragma once

#include <QList>
#include <QString>

// Hands a file or a web address to the desktop's opener. In tests nothing is started: each
// request is recorded and answered as the test chose.
namespace Desktop {

// False when there is no file, or no program to open it.
bool OpenFile(const QString& fileName);
// False when there is no web browser.
bool OpenUrl(const QString& address);

namespace Testing {
struct Request {
    enum class Kind { File, Url } kind;
    QString target;
};
void Enable();
void SetAnswer(bool opened); // the answer to every later request; true at first
const QList<Request>& Requests();
void Clear();
} // namespace Testing

} // namespace Desktop
