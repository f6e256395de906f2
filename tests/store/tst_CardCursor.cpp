// The cursor the main window's arrows step with, over one open collection.
#include "EngineTestSupport.h"

#include "store/CardCursor.h"
#include "store/StoreError.h"

#include <memory>

namespace {

// One step of a walk through a selection and what is then under the cursor.
enum Move { First, Last, Next, Previous };
using Walk = QList<int>;

QString Where(CardCursor& cards) {
    if (cards.Bof())
        return QStringLiteral("BOF");
    if (cards.Eof())
        return QStringLiteral("EOF");
    return QString::number(cards.CurrentNumero());
}

void Step(CardCursor& cards, int move) {
    switch (move) {
    case First:
        cards.MoveFirst();
        break;
    case Last:
        cards.MoveLast();
        break;
    case Next:
        cards.MoveNext();
        break;
    case Previous:
        cards.MovePrevious();
        break;
    }
}

// A fresh folder and its collection, open.
struct CursorFixture {
    TemporaryFolder folder;
    std::shared_ptr<Collection> collection;
    void Open() { collection = Collection::OpenLocal(QStringLiteral("Pivane.mdb")); }
};

} // namespace

class TestCardCursor : public QObject {
    Q_OBJECT

private slots:
    void walksStopAtBothEnds_data() {
        QTest::addColumn<Walk>("moves");
        QTest::addColumn<QStringList>("positions");
        // Cards 1, 3, 5 are WIN; 2 and 4 are MAT.
        QTest::newRow("forward past the end")
            << Walk{First, Next, Next, Next, Next} << QStringList{"1", "3", "5", "EOF", "EOF"};
        QTest::newRow("back from the end")
            << Walk{Last, Next, Previous, Previous} << QStringList{"5", "EOF", "5", "3"};
        QTest::newRow("before the start") << Walk{First, Previous, Previous, Next, Next}
                                          << QStringList{"1", "BOF", "BOF", "1", "3"};
    }
    void walksStopAtBothEnds() {
        QFETCH(Walk, moves);
        QFETCH(QStringList, positions);
        CursorFixture fixture;
        WriteCollection({{1, "WIN", "A", ""},
                         {2, "MAT", "B", ""},
                         {3, "WIN", "C", ""},
                         {4, "MAT", "D", ""},
                         {5, "WIN", "E", ""}});
        fixture.Open();
        CardCursor cards(fixture.collection, Selection::Category("WIN"));
        QStringList seen;
        for (int move : moves) {
            Step(cards, move);
            seen << Where(cards);
        }
        QCOMPARE(seen, positions);
    }

    // The cursor reads rows in windows; crossing their edges must neither skip nor repeat a row.
    void longWalksVisitEveryRowOnce() {
        CursorFixture fixture;
        WriteSyntheticCollection(1300);
        fixture.Open();
        CardCursor cards(fixture.collection, Selection::AllCards());
        QList<int> backward;
        for (cards.MoveLast(); !cards.Bof(); cards.MovePrevious())
            backward << int(cards.CurrentNumero());
        QList<int> forward;
        for (cards.MoveFirst(); !cards.Eof(); cards.MoveNext())
            forward << int(cards.CurrentNumero());
        QCOMPARE(forward.size(), 1300);
        for (int i = 0; i < 1300; ++i) {
            QCOMPARE(forward[i], i + 1);
            QCOMPARE(backward[i], 1300 - i);
        }
        // A category is a subset in the same order.
        CardCursor word(fixture.collection, Selection::Category("WORD"));
        qint64 previous = 0;
        int seen = 0;
        for (word.MoveFirst(); !word.Eof(); word.MoveNext(), ++seen) {
            QCOMPARE(word.CurrentCard().cate, QStringLiteral("WORD"));
            QVERIFY(word.CurrentNumero() > previous);
            previous = word.CurrentNumero();
        }
        QCOMPARE(seen, 100);
    }

    void emptySetsAndFieldsOffTheRows() {
        CursorFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        fixture.Open();
        CardCursor none(fixture.collection, Selection::Category("MAT"));
        none.MoveFirst();
        QVERIFY(none.Eof());
        QVERIFY_THROWS_EXCEPTION(StoreError, none.MoveLast());
        QVERIFY_THROWS_EXCEPTION(StoreError, none.CurrentCard());
        CardCursor cards(fixture.collection, Selection::AllCards());
        cards.MoveFirst();
        cards.MovePrevious();
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.CurrentNumero());
    }

    void cursorsOfAClosedCollectionFailCleanly() {
        CursorFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        fixture.Open();
        CardCursor cards(fixture.collection, Selection::AllCards());
        cards.MoveFirst();
        fixture.collection.reset();
        // Rows kept in memory must not be served once the file is closed.
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.MoveNext());
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.CurrentCard());
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.MoveLast());
        // Nor once another collection is open in its place.
        fixture.Open();
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.MoveFirst());
    }

    void seekFindsOnlyCardsOfTheSet() {
        CursorFixture fixture;
        WriteSyntheticCollection(2000);
        fixture.Open();
        CardCursor cards(fixture.collection, Selection::Category("WIN"));
        QVERIFY(cards.Seek(1963)); // 1963 % 13 == 0: a Windows card
        QCOMPARE(cards.CurrentNumero(), 1963);
        cards.MoveNext();
        QCOMPARE(cards.CurrentNumero(), 1976);
        QVERIFY(!cards.Seek(1964));
        QVERIFY(cards.Eof());
    }
};

PIVANES_ENGINE_TEST_MAIN(TestCardCursor)
#include "tst_CardCursor.moc"
