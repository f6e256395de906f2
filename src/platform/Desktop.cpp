#include "platform/Desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

struct TestState {
    bool enabled = false;
    bool answer = true;
    QList<Desktop::Testing::Request> requests;
};

TestState& State() {
    static TestState state;
    return state;
}

bool Open(Desktop::Testing::Request::Kind kind, const QString& target, const QUrl& url) {
    if (State().enabled) {
        State().requests.append({kind, target});
        return State().answer;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace

namespace Desktop {

bool OpenFile(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.isFile())
        return false;
    return Open(Testing::Request::Kind::File, file.absoluteFilePath(),
                QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool OpenUrl(const QString& address) {
    return Open(Testing::Request::Kind::Url, address, QUrl(address));
}

namespace Testing {
void Enable() {
    State().enabled = true;
}
void SetAnswer(bool opened) {
    State().answer = opened;
}
const QList<Request>& Requests() {
    return State().requests;
}
void Clear() {
    State().requests.clear();
    State().answer = true;
}
} // namespace Testing

} // namespace Desktop
