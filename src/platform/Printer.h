#pragma once

#include "platform/Replaceable.h"
#include "platform/UserError.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QString>

// The printer object: lines of text in one font, page after page, on A4 paper with 10 mm
// margins. The document goes to the system's default printer, or to a PDF file when one is
// named.
class PrintJob {
public:
    explicit PrintJob(const QString& pdfFile = QString());
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    ~PrintJob();

    void SetFont(const QString& family, double points);
    // Prints one line and moves to the next; a line that would pass the bottom goes on a new page.
    void PrintLine(const QString& text);
    void NewPage();
    // Ends the document, which sends it to the printer or writes the file.
    void EndDoc();

    // How many lines of the current font fit between the top and bottom margins.
    int LinesPerPage();

private:
    void Begin();
    double LineHeight() const;
    double PageHeight() const;
    [[noreturn]] void Fail() const;

    QPrinter printer_;
    QPainter painter_;
    bool toFile_;
    QFont font_;
    int lineOnPage_ = 0;
};

// Why a document could not be printed or written.
class PrinterError : public UserError {
public:
    using UserError::UserError;
};

namespace Printer {

// Whether the system has a printer to print on.
bool Installed();

// The system's printers, unless a test or a tool put its own in their place (a PDF file for a
// printer, or none at all).
class Queue : public Replaceable<Queue> {
public:
    virtual ~Queue() = default;
    virtual bool Installed();
    // Sends what the printer prints to the default printer.
    virtual void Choose(QPrinter& printer);
};

} // namespace Printer
