// Line ends between the stored text and the text widgets, and the cutting of long lines into
// pieces that a widget lays out quickly; no widget here.
#include "EngineTestSupport.h"

#include "platform/LineEnds.h"

class TestLineEnds : public QObject {
    Q_OBJECT

private slots:
    void convertsBetweenStoredAndShown_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedAgain");
        QTest::newRow("CR LF") << "a\r\nb\r\n"
                               << "a\nb\n"
                               << "a\r\nb\r\n";
        QTest::newRow("bare LF") << "a\nb"
                                 << "a\nb"
                                 << "a\r\nb";
        QTest::newRow("bare CR stays") << "a\rb\r"
                                       << "a\rb\r"
                                       << "a\rb\r";
        QTest::newRow("CR CR LF") << "\r\r\nx"
                                  << "\r\nx"
                                  << "\r\nx";
        QTest::newRow("LF first") << "\nx"
                                  << "\nx"
                                  << "\r\nx";
        QTest::newRow("no line end") << "été"
                                     << "été"
                                     << "été";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void convertsBetweenStoredAndShown() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, storedAgain);
        QCOMPARE(StoredToShown(stored), shown);
        QCOMPARE(ShownToStored(shown), storedAgain);
    }

    // Cuts fall after the last blank before a piece's length (where the piece has none, at its
    // length), or in a run without blanks after kWordPieceLength characters, never inside a
    // surrogate pair. Each cut is where the document sees it, a CR LF pair being one break.
    void cutsLongLinesIntoPieces_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("lineLength");
        QTest::addColumn<QList<qsizetype>>("cuts");
        const QString word(kWordPieceLength - 2, QLatin1Char('w'));
        QString words;
        while (words.size() < kPieceLength + 100)
            words += word + QLatin1Char(' ');
        const qsizetype lastBlank = (kPieceLength / (word.size() + 1)) * (word.size() + 1);
        QTest::newRow("short") << QStringLiteral("court\r\nligne") << qsizetype(0)
                               << QList<qsizetype>{};
        QTest::newRow("words") << words << qsizetype(0) << QList<qsizetype>{lastBlank};
        QTest::newRow("continued line")
            << words << kPieceLength - 10 << QList<qsizetype>{10, lastBlank + 1};
        QTest::newRow("line ends restart the count")
            << QStringLiteral("\r\n").repeated(3) + words << kPieceLength
            << QList<qsizetype>{3 + lastBlank};
        const QString run(kWordPieceLength * 2 + 1, QLatin1Char('x'));
        QTest::newRow("run without blanks")
            << run << qsizetype(0) << QList<qsizetype>{kWordPieceLength, 2 * kWordPieceLength + 1};
        const char32_t deseret = 0x10428;
        const QString pair = QString(kWordPieceLength - 1, QLatin1Char('x')) +
                             QString::fromUcs4(&deseret, 1) + QLatin1Char('y');
        QTest::newRow("surrogate pair at the cut")
            << pair << qsizetype(0) << QList<qsizetype>{kWordPieceLength + 1};
    }
    void cutsLongLinesIntoPieces() {
        QFETCH(QString, text);
        QFETCH(qsizetype, lineLength);
        QFETCH(QList<qsizetype>, cuts);
        const Pieces pieces = CutInPieces(text, lineLength);
        QCOMPARE(QList<qsizetype>(pieces.cuts.begin(), pieces.cuts.end()), cuts);
        QString joined = pieces.text;
        joined.remove(QChar::ParagraphSeparator);
        QCOMPARE(joined, text);
        QCOMPARE(pieces.text.count(QChar::ParagraphSeparator), cuts.size());
    }
};

PIVANES_ENGINE_TEST_MAIN(TestLineEnds)
#include "tst_LineEnds.moc"
