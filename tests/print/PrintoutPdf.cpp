#include "PrintoutPdf.h"

#include "TestSupport.h"
#include "platform/Application.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

QString Tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qFatal("%s failed", qPrintable(program));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PageCount(const QString& pdf) {
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(Tool(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QStringList PagesText(const QString& pdf) {
    QStringList pages =
        Tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The words of each page, as pdftotext places them.
QList<QList<Word>> WordTops(const QString& pdf) {
    const QString html =
        Tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<QList<Word>> pages;
    static const QRegularExpression tag(
        QStringLiteral("<page |<word [^>]*yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page")))
            pages.append(QList<Word>());
        else
            pages.last().append(Word{match.captured(2), match.captured(1).toDouble()});
    }
    return pages;
}

namespace {

QList<InkLine> InkLinesOf(const QImage& page) {
    QList<InkLine> lines;
    bool inLine = false;
    for (int y = 0; y < page.height(); ++y) {
        int left = -1;
        for (int x = 0; x < page.width() && left < 0; ++x)
            if (qGray(page.pixel(x, y)) < 128)
                left = x;
        if (left >= 0 && !inLine)
            lines.append({y, y, left});
        if (left >= 0) {
            lines.last().bottom = y;
            lines.last().left = std::min(lines.last().left, left);
        }
        inLine = left >= 0;
    }
    return lines;
}

} // namespace

QList<QList<InkLine>> InkLines(const QString& pdf) {
    QTemporaryDir pictures;
    Tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("150"),
                                      QStringLiteral("-png"), pdf, pictures.filePath("page")});
    QList<QList<InkLine>> pages;
    const QDir folder(pictures.path());
    for (const QString& name :
         folder.entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name))
        pages.append(InkLinesOf(QImage(folder.filePath(name))));
    return pages;
}

QString LineLabel(int index) {
    return QStringLiteral("Ligne%1").arg(index, 3, 10, QLatin1Char('0'));
}

// A card whose text lines are labelled with the index of the print line they become.
Card CardOfPrintLines(int printLines) {
    QString text;
    for (int index = 3; index < printLines; ++index)
        text += LineLabel(index) + QStringLiteral("\r\n");
    return {1, QStringLiteral("WIN"), QStringLiteral("Titre de la fiche"), text};
}

MainWindow& MainWindowOn(const Card& card) {
    WriteCollection({card});
    MainWindow& main = LoadMainWindow();
    MenuItem(main, "Windows")->trigger();
    return main;
}

PrintPreview& OpenPrintout(MainWindow& main) {
    MenuItem(main, "Imprime")->trigger();
    PrintPreview* printout = FindWindow<PrintPreview>();
    if (!printout)
        qFatal("the printout did not open");
    return *printout;
}

void CheckPrintoutOf140Lines(const QString& pdf) {
    QCOMPARE(PageCount(pdf), 3);
    const QStringList pages = PagesText(pdf);
    QCOMPARE(pages.size(), 3);
    const int firstOfPage[] = {0, 65, 130, 140};
    for (int page = 0; page < 3; ++page)
        for (int index = 3; index < 140; ++index)
            QCOMPARE(pages[page].contains(LineLabel(index)),
                     index >= firstOfPage[page] && index < firstOfPage[page + 1]);
    QVERIFY(pages[0].contains(QStringLiteral("Titre de la fiche")));

    // Every page opens with two empty lines; the lines follow at the spacing of Arial 10 points.
    const auto tops = WordTops(pdf);
    QCOMPARE(tops.size(), 3);
    const double lineSpacing = tops[1][1].top - tops[1][0].top;
    QVERIFY2(qAbs(lineSpacing - 11.5) < 0.3, qPrintable(QString::number(lineSpacing)));
    const double firstTop = tops[1][0].top;
    QCOMPARE(tops[1][0].text, LineLabel(65));
    QCOMPARE(tops[2][0].text, LineLabel(130));
    QVERIFY(qAbs(tops[2][0].top - firstTop) < 0.1);
    QVERIFY(qAbs(tops[0][0].top - firstTop) < 0.1); // the title
    const double margin = 10 / 25.4 * 72;
    QVERIFY2(qAbs(firstTop - (margin + 2 * lineSpacing)) < 3,
             qPrintable(QString::number(firstTop)));
    QVERIFY(Tool(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("LiberationSans")));
}
