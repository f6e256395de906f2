#pragma once

#include "EngineFakes.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/Screen.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// What tests and tools put in the desktop's place: nothing is shown, printed, opened or ended;
// each fake records what the program asked and answers as the test chose.
namespace Fake {

struct Message {
    QString title;
    QString text;
};

// Every message is recorded; a question gets the answer given in advance, else No.
class MessageBoxes : public MessageBox::Presenter {
public:
    MessageBox::Answer Present(MessageBox::Kind kind, const QString& title,
                               const QString& text) override;
    void SetNextAnswer(MessageBox::Answer answer) { nextAnswer_ = answer; } // used once
    const QList<Message>& Shown() const { return shown_; }
    void Clear();

private:
    std::optional<MessageBox::Answer> nextAnswer_;
    QList<Message> shown_;
};

// The event loop goes on; the request to end is noted.
class EventLoop : public Application::EventLoop {
public:
    void Quit() override { endRequested_ = true; }
    bool EndRequested() const { return endRequested_; }
    void Clear() { endRequested_ = false; }

private:
    bool endRequested_ = false;
};

// No printer, unless the test routes "the system printer" to a PDF file.
class Printers : public Printer::Queue {
public:
    bool Installed() override { return !routedPdf_.isEmpty(); }
    void Choose(QPrinter& printer) override;
    void RouteToPdf(const QString& file) { routedPdf_ = file; } // empty: no printer again
    void Clear() { routedPdf_.clear(); }

private:
    QString routedPdf_;
};

// The question is recorded and gets the answer given in advance, else it is cancelled.
class FileDialogs : public FileDialog::Chooser {
public:
    QString SaveFileName(const QString& caption, const QString& suggested, const QString& filter,
                         const QString& suffix) override;
    void SetNextAnswer(const QString& file) { nextAnswer_ = file; } // used once
    const QStringList& Asked() const { return asked_; }             // the dialogs' captions
    void Clear();

private:
    std::optional<QString> nextAnswer_;
    QStringList asked_;
};

// Each request is recorded and answered as the test chose; nothing is started unless the test
// asks for the desktop's own opener.
class Opener : public Desktop::Opener {
public:
    struct Request {
        Desktop::Target kind;
        QString target;
    };
    void Open(Desktop::Target kind, const QString& target, const QUrl& url,
              const std::function<void()>& failed) override;
    void SetAnswer(bool opened) { answer_ = opened; } // for every later request; true at first
    void UseRealOpener() { realOpener_ = true; }
    const QList<Request>& Requests() const { return requests_; }
    void Clear();

private:
    bool answer_ = true;
    bool realOpener_ = false;
    QList<Request> requests_;
};

// A primary screen of the height the test gives, else the real one.
class FixedScreen : public Screen::Primary {
public:
    int HeightTwips() override;
    QSize AvailablePixels() override;
    // The available area defaults to the whole of a 16:9 screen; no height: the real screen.
    void Set(std::optional<int> twips, QSize availablePixels = QSize());
    void Clear() { Set(std::nullopt); }

private:
    std::optional<int> twips_;
    QSize available_;
};

} // namespace Fake

// Every seam of the desktop, and the clock, with its fake in place for as long as this lives.
class DesktopFakes {
public:
    DesktopFakes();
    DesktopFakes(const DesktopFakes&) = delete;
    DesktopFakes& operator=(const DesktopFakes&) = delete;
    ~DesktopFakes();

    // Forgets what was recorded and asked for; the fakes stay in place.
    void Clear();

    Fake::MessageBoxes messages;
    Fake::EventLoop eventLoop;
    Fake::Printers printers;
    Fake::FileDialogs fileDialogs;
    Fake::Opener opener;
    Fake::FixedScreen screen;
    TestClock clock;
};

// The process's one set, put in place at the first call.
DesktopFakes& Fakes();
