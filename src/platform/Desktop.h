#pragma once

#include "platform/Replaceable.h"

#include <QString>
#include <QUrl>
#include <functional>

// Hands a file or a web address to the desktop's opener (xdg-open where there is one). The
// opener only says by its exit status that it found no program for the target, so that answer
// may come a moment after the call has returned.
namespace Desktop {

// `failed` runs, once, when there is no such file, no opener, or the opener could not open it.
void OpenFile(const QString& fileName, const std::function<void()>& failed);
void OpenUrl(const QString& address, const std::function<void()>& failed);

enum class Target { File, Url };

// Where the targets go: the desktop's opener, unless a test or a tool takes them.
class Opener : public Replaceable<Opener> {
public:
    virtual ~Opener() = default;
    // target: the file's absolute path or the address, as url says it.
    virtual void Open(Target kind, const QString& target, const QUrl& url,
                      const std::function<void()>& failed);
};

} // namespace Desktop
