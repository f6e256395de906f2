#include "RealFaults.h"
#include "TestSupport.h"

#include "browse/GridPaging.h"
#include "browse/PageStateFile.h"
#include "browse/SearchKeyword.h"
#include "platform/UserError.h"
#include "store/Collection.h"

#include <QFile>

using GridPaging::Page;
using GridPaging::PageState;

Q_DECLARE_METATYPE(std::optional<PageState>)

class TestGridPaging : public QObject {
    Q_OBJECT

private slots:
    void pagesStayInsideTheCollection_data();
    void pagesStayInsideTheCollection();
    void pageStateFileReading_data();
    void pageStateFileReading();
    void pageStateFileIsWrittenWhole();
    void pageStateFileOfAnotherKindIsRefused();
    void keywordAndTitles_data();
    void keywordAndTitles();
};

void TestGridPaging::pagesStayInsideTheCollection_data() {
    QTest::addColumn<int>("total");
    for (int total :
         {301, 302, 450, 599, 600, 601, 700, 750, 899, 900, 901, 1000, 1199, 1200, 100000})
        QTest::addRow("%d cards", total) << total;
}

// Every sequence of eight commands from the first page: each page lies within the collection
// and holds at most 301 cards; "Suite" shows the page that begins with the card ending the one on
// screen, "Retour" the page that ends with the card beginning it, each one a step the other
// undoes; at either end the page stays.
void TestGridPaging::pagesStayInsideTheCollection() {
    QFETCH(int, total);
    constexpr int kCommands = 8;
    for (int sequence = 0; sequence < (1 << kCommands); ++sequence) {
        constexpr qint32 kPage = GridPaging::kPageSize;
        Page shown{1, kPage, kPage - 1, {total, kPage}, true, false};
        for (int i = 0; i < kCommands; ++i) {
            const bool forward = (sequence >> i) & 1;
            const Page page =
                forward ? GridPaging::Next(shown.state) : GridPaging::Previous(shown.state);
            const QByteArray where =
                QByteArray::number(sequence, 2) + " step " + QByteArray::number(i);
            QVERIFY2(page.first >= 1 && page.first < page.last && page.last <= total, where);
            QVERIFY2(page.last - page.first <= GridPaging::kPageSize, where);
            QCOMPARE(page.state.mark, page.last);
            QCOMPARE(page.suiteShown, page.last < total);
            QCOMPARE(page.retourShown, page.first > 1);
            if (forward && shown.suiteShown)
                QVERIFY2(page.first == shown.last, where);
            else if (!forward && shown.retourShown)
                QVERIFY2(page.last == shown.first, where);
            else
                QVERIFY2(page == shown, where);
            const Page undone =
                forward ? GridPaging::Previous(page.state) : GridPaging::Next(page.state);
            if (page != shown)
                QVERIFY2(undone == shown, where);
            QVERIFY2(GridPaging::IsUsable(page.state, total), where);
            shown = page;
        }
    }
}

void TestGridPaging::pageStateFileReading_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<std::optional<PageState>>("state");

    using State = std::optional<PageState>;
    QTest::newRow("two lines") << QByteArray("750\r\n300\r\n") << State(PageState{750, 300});
    QTest::newRow("blanks around the digits")
        << QByteArray(" 750 \r\n 300 \r\n") << State(PageState{750, 300});
    QTest::newRow("one line") << QByteArray("750 300") << State(PageState{750, 300});
    QTest::newRow("no final line end") << QByteArray("901\r\n1") << State(PageState{901, 1});
    QTest::newRow("empty") << QByteArray() << State();
    QTest::newRow("one number") << QByteArray("750\r\n") << State();
    QTest::newRow("words") << QByteArray("Liste\r\nfiches\r\n") << State();
    QTest::newRow("fraction") << QByteArray("750\r\n3.5\r\n") << State();
    QTest::newRow("beyond 32 bits") << QByteArray("99999999999\r\n300\r\n") << State();
}

void TestGridPaging::pageStateFileReading() {
    QFETCH(QByteArray, contents);
    QFETCH(std::optional<PageState>, state);
    ProgramFixture fixture;
    QFile file(QStringLiteral("Liste"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    QCOMPARE(PageStateFile::Read(), state);
}

void TestGridPaging::pageStateFileIsWrittenWhole() {
    ProgramFixture fixture;
    QVERIFY(!PageStateFile::Read());
    PageStateFile::Write({1200, 901});
    QFile file(QStringLiteral("Liste"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1200\r\n901\r\n"));
    file.close();
    PageStateFile::Empty();
    QCOMPARE(QFile(QStringLiteral("Liste")).size(), 0);
    QVERIFY(!PageStateFile::Read());
}

// Reading a pipe would wait for a writer that never comes.
void TestGridPaging::pageStateFileOfAnotherKindIsRefused() {
    ProgramFixture fixture;
    const WatchedPipe pipe(fixture.Path(QStringLiteral("Liste")));
    QVERIFY(pipe.Made());
    QVERIFY_THROWS_EXCEPTION(UserError, PageStateFile::Read());
    QVERIFY_THROWS_EXCEPTION(UserError, PageStateFile::Write({750, 300}));
    QVERIFY2(!pipe.Released(), "blocked on the pipe");
    QVERIFY(!QFileInfo(QStringLiteral("Liste")).isFile());
}

void TestGridPaging::keywordAndTitles_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("found");

    QTest::newRow("lower case typed") << "excel"
                                      << "MACRO EXCEL"
                                      << "EXCEL" << true;
    QTest::newRow("lower case stored") << "EXCEL"
                                       << "macro excel"
                                       << "EXCEL" << true;
    QTest::newRow("accents stored in lower case") << "été"
                                                  << "Été indien"
                                                  << "ÉTÉ" << true;
    QTest::newRow("no accent typed") << "ete"
                                     << "Été indien"
                                     << "ETE" << false;
    QTest::newRow("accents upper-cased") << "réseau"
                                         << "RÉSEAU LOCAL"
                                         << "RÉSEAU" << true;
    QTest::newRow("blanks around") << "  word  "
                                   << "WORD 2007"
                                   << "WORD" << true;
    QTest::newRow("inner blanks kept") << "mot  clé"
                                       << "MOT CLÉ"
                                       << "MOT  CLÉ" << false;
    QTest::newRow("inner blanks match") << "mot  clé"
                                        << "UN MOT  CLÉ"
                                        << "MOT  CLÉ" << true;
    QTest::newRow("tab is not a blank") << "\tword"
                                        << "WORD"
                                        << "\tWORD" << false;
    QTest::newRow("empty keyword") << ""
                                   << "TITRE"
                                   << "" << true;
    QTest::newRow("blanks only") << "   "
                                 << "TITRE"
                                 << "" << true;
    QTest::newRow("empty keyword, empty title") << ""
                                                << ""
                                                << "" << false;
    QTest::newRow("empty title") << "A"
                                 << ""
                                 << "A" << false;
}

void TestGridPaging::keywordAndTitles() {
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QFETCH(QString, keyword);
    QFETCH(bool, found);
    QCOMPARE(SearchKeyword(typed), keyword);
    QCOMPARE(TitleHolds(title.toUtf8(), keyword.toUtf8()), found);
}

PIVANES_TEST_MAIN(TestGridPaging)
#include "tst_GridPaging.moc"
