#include "DesktopFakes.h"

#include <QPrinter>

namespace Fake {

MessageBox::Answer MessageBoxes::Present(MessageBox::Kind kind, const QString& title,
                                         const QString& text) {
    shown_.append({title, text});
    const MessageBox::Answer fallback =
        kind == MessageBox::Kind::Question ? MessageBox::Answer::No : MessageBox::Answer::Ok;
    const MessageBox::Answer answer = nextAnswer_.value_or(fallback);
    nextAnswer_.reset();
    return answer;
}

void MessageBoxes::Clear() {
    shown_.clear();
    nextAnswer_.reset();
}

void Printers::Choose(QPrinter& printer) {
    if (routedPdf_.isEmpty()) {
        Queue::Choose(printer);
        return;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(routedPdf_);
}

QString FileDialogs::SaveFileName(const QString& caption, const QString&, const QString&,
                                  const QString&) {
    asked_.append(caption);
    QString answer = nextAnswer_.value_or(QString());
    nextAnswer_.reset();
    return answer;
}

void FileDialogs::Clear() {
    nextAnswer_.reset();
    asked_.clear();
}

void Opener::Open(Desktop::Target kind, const QString& target, const QUrl& url,
                  const std::function<void()>& failed) {
    requests_.append({kind, target});
    if (realOpener_)
        Desktop::Opener::Open(kind, target, url, failed);
    else if (!answer_)
        failed();
}

void Opener::Clear() {
    requests_.clear();
    answer_ = true;
    realOpener_ = false;
}

int FixedScreen::HeightTwips() {
    return twips_ ? *twips_ : Primary::HeightTwips();
}

QSize FixedScreen::AvailablePixels() {
    return twips_ ? available_ : Primary::AvailablePixels();
}

void FixedScreen::Set(std::optional<int> twips, QSize availablePixels) {
    twips_ = twips;
    if (twips && !availablePixels.isValid()) {
        const int pixels = *twips / 15;
        availablePixels = QSize(pixels * 16 / 9, pixels);
    }
    available_ = availablePixels;
}

} // namespace Fake

DesktopFakes::DesktopFakes() {
    MessageBox::Presenter::Replace(&messages);
    Application::EventLoop::Replace(&eventLoop);
    Printer::Queue::Replace(&printers);
    FileDialog::Chooser::Replace(&fileDialogs);
    Desktop::Opener::Replace(&opener);
    Screen::Primary::Replace(&screen);
    Clock::Source::Replace(&clock);
}

DesktopFakes::~DesktopFakes() {
    MessageBox::Presenter::Replace(nullptr);
    Application::EventLoop::Replace(nullptr);
    Printer::Queue::Replace(nullptr);
    FileDialog::Chooser::Replace(nullptr);
    Desktop::Opener::Replace(nullptr);
    Screen::Primary::Replace(nullptr);
    Clock::Source::Replace(nullptr);
}

void DesktopFakes::Clear() {
    messages.Clear();
    eventLoop.Clear();
    printers.Clear();
    fileDialogs.Clear();
    opener.Clear();
    screen.Clear();
    clock.Set({});
}

DesktopFakes& Fakes() {
    static DesktopFakes fakes;
    return fakes;
}
