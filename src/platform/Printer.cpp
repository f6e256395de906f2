#include "platform/Printer.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <cmath>

namespace {

QString SystemPrinterName() {
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (!chosen.isNull())
        return chosen.printerName();
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    return printers.isEmpty() ? QString() : printers.first().printerName();
}

} // namespace

PrintJob::PrintJob(const QString& pdfFile)
    : printer_(QPrinter::HighResolution), toFile_(!pdfFile.isEmpty()),
      font_(QStringLiteral("Arial")) {
    if (toFile_) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(pdfFile);
    } else {
        Printer::Queue::Current().Choose(printer_);
    }
    printer_.setDocName(QStringLiteral("Pivanes"));
    printer_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

// A job left unfinished by a failure is not sent half done.
PrintJob::~PrintJob() {
    if (painter_.isActive()) {
        printer_.abort();
        painter_.end();
    }
}

void PrintJob::SetFont(const QString& family, double points) {
    font_ = QFont(family);
    font_.setPointSizeF(points);
    if (painter_.isActive())
        painter_.setFont(font_);
}

void PrintJob::Begin() {
    if (painter_.isActive())
        return;
    if (!painter_.begin(&printer_))
        Fail();
    painter_.setFont(font_);
    lineOnPage_ = 0;
}

double PrintJob::LineHeight() const {
    return QFontMetricsF(font_, &printer_).lineSpacing();
}

double PrintJob::PageHeight() const {
    return printer_.pageLayout().paintRectPixels(printer_.resolution()).height();
}

int PrintJob::LinesPerPage() {
    Begin();
    return int(std::floor(PageHeight() / LineHeight()));
}

void PrintJob::PrintLine(const QString& text) {
    if (LinesPerPage() <= lineOnPage_)
        NewPage();
    const double top = lineOnPage_ * LineHeight();
    painter_.drawText(QPointF(0, top + QFontMetricsF(font_, &printer_).ascent()), text);
    ++lineOnPage_;
}

void PrintJob::NewPage() {
    Begin();
    if (!printer_.newPage())
        Fail();
    lineOnPage_ = 0;
}

void PrintJob::EndDoc() {
    Begin();
    if (!painter_.end() || printer_.printerState() == QPrinter::Error)
        Fail();
}

void PrintJob::Fail() const {
    if (toFile_)
        throw PrinterError(QStringLiteral("Le fichier « %1 » n'a pas pu être écrit : la fiche "
                                          "n'est pas enregistrée.")
                               .arg(printer_.outputFileName()));
    throw PrinterError(QStringLiteral(
        "ERREUR D'IMPRESSION : l'imprimante ne répond pas, la fiche n'est pas imprimée."));
}

namespace Printer {

bool Installed() {
    return Queue::Current().Installed();
}

bool Queue::Installed() {
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void Queue::Choose(QPrinter& printer) {
    printer.setPrinterName(SystemPrinterName());
}

} // namespace Printer
