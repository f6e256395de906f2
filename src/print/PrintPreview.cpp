#include "print/PrintPreview.h"

#include "platform/FileDialog.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "print/PrintLayout.h"

#include <QDir>

namespace {

// With no printer installed the printout is offered as a PDF file instead; empty: cancelled.
QString AskPdfFile() {
    return FileDialog::SaveFileName(
        QStringLiteral("Aucune imprimante : enregistrer la fiche en PDF"),
        QDir::current().filePath(QStringLiteral("Fiche.pdf")),
        QStringLiteral("Documents PDF (*.pdf)"), QStringLiteral("pdf"));
}

} // namespace

PrintPreview::PrintPreview(Session& session, const QString& title, const QStringList& textLines)
    : Window("ImprimeR", session), title_(title), textLines_(textLines) {
    setWindowTitle(QStringLiteral("Form1"));
    SetBackground(Client(), Colors::Green);

    List1 = AddControl<ListBox>("List1", nullptr);
    List1->setFont(Face("MS Sans Serif", 8.25));
    Place(List1, 0, 0, 11820, 7980);

    List2 = AddControl<ListBox>("List2", nullptr);
    List2->setFont(Face("Arial", 9.75, true));
    SetColors(List2, Colors::Blue, Colors::LightYellow);
    // Every print line is one line of the same font: the preview of a card of thousands of
    // pages is laid out without measuring each.
    List2->setUniformItemSizes(true);
    Place(List2, 375, 45, 11130, 8220);

    Imprim = AddControl<QPushButton>("Imprim", nullptr, QStringLiteral("Imprimer"));
    Imprim->setFont(Face("MS Sans Serif", 8.25, true));
    Place(Imprim, 6578, 8460, 1245, 345);

    Retour = AddControl<QPushButton>("Retour", nullptr, QStringLiteral("Retour"));
    Retour->setFont(Face("MS Sans Serif", 8.25, true));
    Place(Retour, 4058, 8460, 1245, 345);

    OnClick(Imprim, &PrintPreview::printCard);
    OnClick(Retour, &PrintPreview::leave);
    OnEscape(Retour);
}

void PrintPreview::Form_Load() {
    scaleToScreen();
    show();
    ShowCardLines();
    scaleChanged();
    List1->hide();
    List2->addItems(PrintLayout::LayOutLines(List1->Items()));
    List2->show();
    Retour->show();
    Imprim->show();
}

void PrintPreview::scaleChanged() {
    List2->setFont(Face("Arial", double(10.0f / 100 * float(scalePercent())), true));
}

void PrintPreview::ShowCardLines() {
    List1->clear();
    Imprim->hide();
    Retour->show();
    List1->show();
    List2->hide();
    List1->addItem(title_);
    List1->addItems({QString(), QString()});
    List1->addItems(textLines_);
}

void PrintPreview::printCard() {
    QString pdfFile;
    if (!Printer::Installed()) {
        pdfFile = AskPdfFile();
        if (pdfFile.isEmpty())
            return;
    }
    try {
        PrintJob job(pdfFile);
        ShowPrintout(job);
    } catch (const PrinterError& error) {
        MessageBox::Error(error.text());
        return;
    }
    if (!pdfFile.isEmpty())
        MessageBox::Show(
            QStringLiteral("AUCUNE IMPRIMANTE N'EST INSTALLEE.\nLa fiche est enregistrée dans le "
                           "fichier :\n%1")
                .arg(QDir::toNativeSeparators(pdfFile)));
}

void PrintPreview::ShowPrintout(PrintJob& job) {
    job.SetFont(QStringLiteral("Arial"), 10);
    job.PrintLine(QString());
    job.PrintLine(QString());
    for (int line = 0; line < List2->count(); ++line) {
        if (PrintLayout::StartsNewPage(line)) {
            job.NewPage();
            job.PrintLine(QString());
            job.PrintLine(QString());
        }
        job.PrintLine(List2->Item(line));
    }
    job.EndDoc();
}

void PrintPreview::leave() {
    Leave();
}

void PrintPreview::WindowClosed() {
    leave();
}
