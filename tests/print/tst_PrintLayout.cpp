#include "TestSupport.h"

#include "print/PrintLayout.h"

namespace {

QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}
QString Run(char letter, int count) {
    return QString(count, QLatin1Char(letter));
}
QString Indented(const QString& text) {
    return Blanks(15) + text;
}

} // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT

private slots:
    void sourceLine_data();
    void sourceLine();
    void wholeCard();
};

void TestPrintLayout::sourceLine_data() {
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("printLines");

    const QString x75 = Run('x', 75);
    QTest::newRow("75 characters stay one line") << false << x75 << QStringList{Indented(x75)};
    QTest::newRow("trailing blanks do not count")
        << false << x75 + Blanks(4) << QStringList{Indented(x75)};
    QTest::newRow("blanks at the start are dropped")
        << false << Blanks(3) + QStringLiteral("abc")
        << QStringList{Indented(QStringLiteral("abc"))};
    QTest::newRow("76 characters break at the blank")
        << false << Run('x', 70) + QStringLiteral(" yyyyy")
        << QStringList{Indented(Run('x', 70)), Indented(QStringLiteral("yyyyy"))};
    QTest::newRow("76 characters without a blank stay whole")
        << false << Run('w', 76) << QStringList{Indented(Run('w', 76))};
    QTest::newRow("160-character word: 76, 76 and 8")
        << false << Run('a', 160)
        << QStringList{Indented(Run('a', 76)), Indented(Run('a', 76)), Indented(Run('a', 8))};
    QTest::newRow("break exactly on a blank needs no widening")
        << false << Run('x', 70) + QStringLiteral(" yyyy zzzzzzzz")
        << QStringList{Indented(Run('x', 70) + QStringLiteral(" yyyy")),
                       Indented(QStringLiteral("zzzzzzzz"))};

    // 14 words "aaaa" and "bbb" fill 73 characters: the two rightmost gaps are widened.
    const QString paragraph =
        QStringLiteral("aaaa ").repeated(14) + QStringLiteral("bbb cccccc  dd");
    QTest::newRow("justified from the right, last line left as it is")
        << false << paragraph
        << QStringList{
               Indented(QStringLiteral("aaaa ").repeated(12) + QStringLiteral("aaaa  aaaa  bbb")),
               Indented(QStringLiteral("cccccc  dd"))};

    // Six words of ten letters leave ten blanks to add but only five gaps.
    QStringList tens;
    for (char letter : {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'})
        tens << Run(letter, 10);
    QTest::newRow("each gap widened once at most")
        << false << tens.join(QLatin1Char(' '))
        << QStringList{Indented(tens.mid(0, 6).join(QStringLiteral("  "))),
                       Indented(tens.mid(6).join(QLatin1Char(' ')))};

    QTest::newRow("a line of blanks is the indentation alone")
        << false << Blanks(6) << QStringList{Blanks(15)};
    QTest::newRow("an empty line is the indentation alone")
        << false << QString() << QStringList{Blanks(15)};

    QTest::newRow("title of 20 characters: 42 blanks")
        << true << Run('t', 20) << QStringList{Blanks(42) + Run('t', 20)};
    QTest::newRow("title of 22 characters: 42 blanks")
        << true << Run('t', 22) << QStringList{Blanks(42) + Run('t', 22)};
    QTest::newRow("title of 23 characters: 41 blanks")
        << true << Run('t', 23) << QStringList{Blanks(41) + Run('t', 23)};
    QTest::newRow("empty line under the title is centred")
        << true << QString() << QStringList{Blanks(52)};

    // Ten words of nine letters: seven fit, their six gaps are all widened to 75 characters.
    const QString word = QStringLiteral("abcdefghi");
    const QString longTitle = QStringList(10, word).join(QLatin1Char(' '));
    QTest::newRow("long title wrapped, each piece centred")
        << true << longTitle
        << QStringList{Blanks(15) + QStringList(7, word).join(QStringLiteral("  ")),
                       Blanks(38) + QStringList(3, word).join(QLatin1Char(' '))};
}

void TestPrintLayout::sourceLine() {
    QFETCH(bool, centred);
    QFETCH(QString, source);
    QFETCH(QStringList, printLines);
    using PrintLayout::Placement;

    QCOMPARE(PrintLayout::LayOutLine(source, PrintLayout::kWrapWidth,
                                     centred ? Placement::Centred : Placement::Indented),
             printLines);
}

void TestPrintLayout::wholeCard() {
    const QStringList text{QStringLiteral("Première ligne"), QString(), QStringLiteral("  fin  ")};

    const QStringList lines = PrintLayout::LayOutCard(QStringLiteral("Titre"), text);

    QCOMPARE(lines, (QStringList{Blanks(50) + QStringLiteral("Titre"), Blanks(52), Blanks(15),
                                 Indented(QStringLiteral("Première ligne")), Blanks(15),
                                 Indented(QStringLiteral("fin"))}));
}

PIVANES_TEST_MAIN(TestPrintLayout)
#include "tst_PrintLayout.moc"
