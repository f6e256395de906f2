// "Imprimer" on the system's default printer, a real CUPS queue that writes PDF files.
// tools/cups-test.sh starts the queue and runs this test; alone it has nothing to print on.
#include "PrintoutPdf.h"
#include "TestSupport.h"

#include "platform/Printer.h"
#include "print/PrintPreview.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QPrinterInfo>

namespace {

// The queue has handed the job to its backend and the backend has written its file.
QString PrintedFile(const QString& queue, const QString& folder) {
    QDeadlineTimer deadline(120000);
    while (!deadline.hasExpired()) {
        const QStringList pdfs = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        const bool queueEmpty =
            Tool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}).trimmed().isEmpty();
        if (queueEmpty && !pdfs.isEmpty())
            return QDir(folder).filePath(pdfs.front());
        QTest::qWait(100); // the spooler works in processes of its own
    }
    return {};
}

} // namespace

class TestSystemPrinter : public QObject {
    Q_OBJECT

private slots:
    void printsOnTheDefaultQueue() {
        const QString queue = qEnvironmentVariable("PIVANES_TEST_QUEUE");
        const QString output = qEnvironmentVariable("PIVANES_TEST_QUEUE_OUTPUT");
        if (queue.isEmpty() || output.isEmpty())
            QSKIP("no test queue: tools/cups-test.sh starts one");
        ProgramFixture fixture;
        QVERIFY(Printer::Installed());
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), queue);
        MainWindow& main = MainWindowOn(CardOfPrintLines(140));
        PrintPreview& printout = OpenPrintout(main);
        QCOMPARE(Control<ListBox>(printout, "List2")->count(), 140);

        QTest::mouseClick(Control<QPushButton>(printout, "Imprim"), Qt::LeftButton);

        QCOMPARE(ShownMessages(), QStringList());
        QVERIFY(Fakes().fileDialogs.Asked().isEmpty()); // the queue, not the PDF fallback
        const QString pdf = PrintedFile(queue, output);
        QVERIFY2(!pdf.isEmpty(), "the queue wrote no file");
        QCOMPARE(PageCount(pdf), 3);

        // The same printout written by the program itself, checked line by line, is the
        // pattern: every line of ink of the paper's pages lies where that printout has it.
        Printer::Queue::Replace(&Fakes().printers);
        const QString pattern = fixture.Path(QStringLiteral("pattern.pdf"));
        Fakes().printers.RouteToPdf(pattern);
        QTest::mouseClick(Control<QPushButton>(printout, "Imprim"), Qt::LeftButton);
        CheckPrintoutOf140Lines(pattern);
        const auto expected = InkLines(pattern);
        const auto printed = InkLines(pdf);
        QCOMPARE(printed.size(), 3);
        const int linesOfPage[] = {1 + 62, 65, 10}; // the title and two empty lines open page 1
        for (int page = 0; page < 3; ++page) {
            QCOMPARE(expected[page].size(), linesOfPage[page]);
            QCOMPARE(printed[page].size(), expected[page].size());
            for (int line = 0; line < expected[page].size(); ++line) {
                const InkLine& want = expected[page][line];
                const InkLine& got = printed[page][line];
                QVERIFY2(qAbs(got.top - want.top) <= 2 && qAbs(got.bottom - want.bottom) <= 2 &&
                             qAbs(got.left - want.left) <= 2,
                         qPrintable(QStringLiteral("page %1, line %2: %3-%4 at %5, not %6-%7 "
                                                   "at %8")
                                        .arg(page + 1)
                                        .arg(line)
                                        .arg(got.top)
                                        .arg(got.bottom)
                                        .arg(got.left)
                                        .arg(want.top)
                                        .arg(want.bottom)
                                        .arg(want.left)));
            }
        }
    }
};

// The printer is the real one here; every other seam stays as in the other tests.
int main(int argc, char** argv) {
    PrepareTestEnvironment();
    PivanesApplication app(argc, argv);
    EnableTestSeams();
    Printer::Queue::Replace(nullptr);
    TestSystemPrinter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_SystemPrinter.moc"
