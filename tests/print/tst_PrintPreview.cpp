#include "PrintoutPdf.h"
#include "TestSupport.h"

#include "platform/Application.h"
#include "platform/FileDialog.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

class TestPrintPreview : public QObject {
    Q_OBJECT

private slots:
    void previewShowsTheCard();
    void previewFontFollowsScale_data();
    void previewFontFollowsScale();
    void printsPagesOf65Lines();
    void leavingPrintsNothing_data();
    void leavingPrintsNothing();
    void noPrinterOffersPdf_data();
    void noPrinterOffersPdf();
    void failureKeepsPreviewOpen_data();
    void failureKeepsPreviewOpen();
    void noCardShownPrintsNothing_data();
    void noCardShownPrintsNothing();
    void pageHoldsTwoBlankAnd65Lines();
    void lineBelowTheLastGoesOnNextPage();
};

void TestPrintPreview::previewShowsTheCard() {
    ProgramFixture fixture;
    const Card card{1, QStringLiteral("WIN"), QStringLiteral("Copier"),
                    QStringLiteral("Ctrl C\r\n\r\nCtrl V")};
    MainWindow& main = MainWindowOn(card);

    PrintPreview& printout = OpenPrintout(main);

    QVERIFY(main.isHidden());
    QCOMPARE(printout.windowTitle(), QStringLiteral("Form1"));
    QVERIFY(printout.isVisible());
    QVERIFY(Control<ListBox>(printout, "List1")->isHidden());
    QVERIFY(Control<ListBox>(printout, "List2")->isVisible());
    QCOMPARE(Control<QPushButton>(printout, "Imprim")->text(), QStringLiteral("Imprimer"));
    QVERIFY(Control<QPushButton>(printout, "Imprim")->isVisible());
    QVERIFY(Control<QPushButton>(printout, "Retour")->isVisible());
    const QString indent(15, QLatin1Char(' '));
    QCOMPARE(Control<ListBox>(printout, "List2")->Items(),
             (QStringList{QString(50, QLatin1Char(' ')) + QStringLiteral("Copier"),
                          QString(52, QLatin1Char(' ')), indent, indent + QStringLiteral("Ctrl C"),
                          indent, indent + QStringLiteral("Ctrl V")}));
}

void TestPrintPreview::previewFontFollowsScale_data() {
    QTest::addColumn<int>("screenTwips");
    QTest::addColumn<double>("points");
    QTest::newRow("800 pixels") << 12000 << 12.7;
    QTest::newRow("smallest screen") << 9000 << 9.5;
    QTest::newRow("1024 x 768") << 11520 << 12.2;
    QTest::newRow("largest screen") << 15360 << 16.3;
}

void TestPrintPreview::previewFontFollowsScale() {
    QFETCH(int, screenTwips);
    QFETCH(double, points);
    ProgramFixture fixture;
    Fakes().screen.Set(screenTwips);
    MainWindow& main = MainWindowOn(CardOfPrintLines(4));

    const PrintPreview& printout = OpenPrintout(main);

    QVERIFY(qAbs(Control<ListBox>(printout, "List2")->font().pointSizeF() - points) < 0.01);
}

void TestPrintPreview::printsPagesOf65Lines() {
    ProgramFixture fixture;
    const QString pdf = fixture.Path(QStringLiteral("printer.pdf"));
    Fakes().printers.RouteToPdf(pdf);
    MainWindow& main = MainWindowOn(CardOfPrintLines(140));
    PrintPreview& printout = OpenPrintout(main);
    QCOMPARE(Control<ListBox>(printout, "List2")->count(), 140);

    QTest::mouseClick(Control<QPushButton>(printout, "Imprim"), Qt::LeftButton);

    QCOMPARE(ShownMessages(), QStringList());
    QVERIFY(Fakes().fileDialogs.Asked().isEmpty());
    CheckPrintoutOf140Lines(pdf);
    QVERIFY(printout.isVisible());
}

void TestPrintPreview::leavingPrintsNothing_data() {
    QTest::addColumn<bool>("byCloseBox");
    QTest::newRow("Retour") << false;
    QTest::newRow("close box") << true;
}

void TestPrintPreview::leavingPrintsNothing() {
    QFETCH(bool, byCloseBox);
    ProgramFixture fixture;
    const QString pdf = fixture.Path(QStringLiteral("printer.pdf"));
    Fakes().printers.RouteToPdf(pdf);
    MainWindow& main = MainWindowOn(CardOfPrintLines(10));
    PrintPreview& printout = OpenPrintout(main);

    if (byCloseBox)
        printout.close();
    else
        QTest::mouseClick(Control<QPushButton>(printout, "Retour"), Qt::LeftButton);

    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!FindWindow<PrintPreview>());
    QVERIFY(main.isVisible());
    QVERIFY(Control<TextBox>(main, "Text1")->isVisible());
    QCOMPARE(ShownMessages(), QStringList());
}

void TestPrintPreview::noPrinterOffersPdf_data() {
    QTest::addColumn<bool>("answered");
    QTest::newRow("file named") << true;
    QTest::newRow("dialog cancelled") << false;
}

void TestPrintPreview::noPrinterOffersPdf() {
    QFETCH(bool, answered);
    ProgramFixture fixture;
    const QString pdf = fixture.Path(QStringLiteral("ma fiche.pdf"));
    MainWindow& main = MainWindowOn(CardOfPrintLines(10));
    PrintPreview& printout = OpenPrintout(main);
    if (answered)
        Fakes().fileDialogs.SetNextAnswer(pdf);

    QTest::mouseClick(Control<QPushButton>(printout, "Imprim"), Qt::LeftButton);

    QCOMPARE(Fakes().fileDialogs.Asked().size(), 1);
    QCOMPARE(QFile::exists(pdf), answered);
    QVERIFY(printout.isVisible());
    if (!answered) {
        QCOMPARE(ShownMessages(), QStringList());
        return;
    }
    QCOMPARE(PageCount(pdf), 1);
    const QString text = PagesText(pdf).value(0);
    QVERIFY(text.contains(QStringLiteral("Titre de la fiche")));
    QVERIFY(text.contains(LineLabel(9)));
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY(ShownMessages().first().startsWith(QStringLiteral("AUCUNE IMPRIMANTE")));
    QVERIFY(ShownMessages().first().contains(pdf));
}

void TestPrintPreview::failureKeepsPreviewOpen_data() {
    QTest::addColumn<bool>("printerInstalled");
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("printer fails") << true << QStringLiteral("ERREUR D'IMPRESSION");
    QTest::newRow("file cannot be written") << false << QStringLiteral("Le fichier");
}

void TestPrintPreview::failureKeepsPreviewOpen() {
    QFETCH(bool, printerInstalled);
    QFETCH(QString, messageStart);
    ProgramFixture fixture;
    const QString unwritable = fixture.Path(QStringLiteral("absent/fiche.pdf"));
    if (printerInstalled)
        Fakes().printers.RouteToPdf(unwritable);
    else
        Fakes().fileDialogs.SetNextAnswer(unwritable);
    MainWindow& main = MainWindowOn(CardOfPrintLines(10));
    PrintPreview& printout = OpenPrintout(main);

    QTest::mouseClick(Control<QPushButton>(printout, "Imprim"), Qt::LeftButton);

    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY2(ShownMessages().first().startsWith(messageStart), qPrintable(ShownMessages().first()));
    QCOMPARE(FindWindow<PrintPreview>(), &printout);
    QVERIFY(printout.isVisible());
    QCOMPARE(Control<ListBox>(printout, "List2")->count(), 10);
}

void TestPrintPreview::noCardShownPrintsNothing_data() {
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("empty category") << QStringLiteral("Internet");
    QTest::newRow("office menu") << QStringLiteral("Bureautique");
}

void TestPrintPreview::noCardShownPrintsNothing() {
    QFETCH(QString, menuItem);
    ProgramFixture fixture;
    MainWindow& main = MainWindowOn(CardOfPrintLines(10));
    MenuItem(main, qPrintable(menuItem))->trigger();

    MenuItem(main, "Imprime")->trigger();

    QVERIFY(!FindWindow<PrintPreview>());
    QVERIFY(main.isVisible());
    QCOMPARE(ShownMessages(), QStringList{QStringLiteral("AUCUNE FICHE A IMPRIMER")});
}

void TestPrintPreview::pageHoldsTwoBlankAnd65Lines() {
    ProgramFixture fixture;
    PrintJob job(fixture.Path(QStringLiteral("mesure.pdf")));
    job.SetFont(QStringLiteral("Arial"), 10);

    const int lines = job.LinesPerPage();
    job.EndDoc();

    qInfo("lines of Arial 10 points on an A4 page with 10 mm margins: %d", lines);
    QVERIFY(lines >= 2 + 65);
}

void TestPrintPreview::lineBelowTheLastGoesOnNextPage() {
    ProgramFixture fixture;
    const QString pdf = fixture.Path(QStringLiteral("long.pdf"));
    {
        PrintJob job(pdf);
        job.SetFont(QStringLiteral("Arial"), 10);
        const int lines = job.LinesPerPage();
        for (int index = 0; index <= lines; ++index)
            job.PrintLine(LineLabel(index));
        job.EndDoc();
    }

    QCOMPARE(PageCount(pdf), 2);
    const auto pages = WordTops(pdf);
    QCOMPARE(pages[1].size(), 1);
    QVERIFY(pages[1][0].top < pages[0][1].top);
}

PIVANES_TEST_MAIN(TestPrintPreview)
#include "tst_PrintPreview.moc"
