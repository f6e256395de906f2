// The windows' cursor over the store: the record sets of the one open collection.
#include "EngineTestSupport.h"

#include "store/CardStore.h"
#include "store/Queries.h"
#include "store/StoreError.h"

namespace {

// One step of a walk through a record set and what is then under the cursor.
enum Move { First, Last, Next, Previous };
using Walk = QList<int>;

QString Where(Recordset& cards) {
    if (cards.Bof())
        return QStringLiteral("BOF");
    if (cards.Eof())
        return QStringLiteral("EOF");
    return QString::number(cards.Fields(Field::Numero).toInt());
}

void Step(Recordset& cards, int move) {
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

// A fresh folder and no collection open, as at start.
struct StoreFixture {
    StoreFixture() { Store().Reset(); }
    ~StoreFixture() { Store().Reset(); }
    TemporaryFolder folder;
};

} // namespace

class TestCardStore : public QObject {
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
        StoreFixture fixture;
        WriteCollection({{1, "WIN", "A", ""},
                         {2, "MAT", "B", ""},
                         {3, "WIN", "C", ""},
                         {4, "MAT", "D", ""},
                         {5, "WIN", "E", ""}});
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::Category("WIN"));
        QStringList seen;
        for (int move : moves) {
            Step(cards, move);
            seen << Where(cards);
        }
        QCOMPARE(seen, positions);
    }

    // The cursor reads rows in windows; crossing their edges must neither skip nor repeat a row.
    void longWalksVisitEveryRowOnce() {
        StoreFixture fixture;
        WriteSyntheticCollection(1300);
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::AllCards());
        cards.MoveLast();
        QCOMPARE(cards.RecordCount(), 1300);
        QList<int> backward;
        for (; !cards.Bof(); cards.MovePrevious())
            backward << cards.Fields("Numero").toInt();
        QList<int> forward;
        for (cards.MoveFirst(); !cards.Eof(); cards.MoveNext())
            forward << cards.Fields("Numero").toInt();
        QCOMPARE(forward.size(), 1300);
        for (int i = 0; i < 1300; ++i) {
            QCOMPARE(forward[i], i + 1);
            QCOMPARE(backward[i], 1300 - i);
        }
        // A category is a subset in the same order.
        Recordset& word = Store().OpenRecordset(Queries::Category("WORD"));
        word.MoveLast();
        QCOMPARE(word.RecordCount(), 100);
        int previous = 0, seen = 0;
        for (word.MoveFirst(); !word.Eof(); word.MoveNext(), ++seen) {
            QCOMPARE(word.Fields("cate").toString(), QStringLiteral("WORD"));
            QVERIFY(word.Fields("Numero").toInt() > previous);
            previous = word.Fields("Numero").toInt();
        }
        QCOMPARE(seen, 100);
    }

    void emptySetsAndFieldsOffTheRows() {
        StoreFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& none = Store().OpenRecordset(Queries::Category("MAT"));
        none.MoveFirst();
        QVERIFY(none.Eof());
        QVERIFY_THROWS_EXCEPTION(StoreError, none.MoveLast());
        QVERIFY_THROWS_EXCEPTION(StoreError, none.Fields("Titre"));
        Recordset& cards = Store().OpenRecordset(Queries::AllCards());
        cards.MoveFirst();
        cards.MovePrevious();
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.Fields("Numero"));
        cards.MoveNext();
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.Fields("Colonne"));
    }

    void onlyTheTwoQueryTextsOpen_data() {
        QTest::addColumn<QString>("sql");
        QTest::newRow("one blank before WHERE") << "SELECT * FROM TrucPivane WHERE Cate = 'WIN'";
        QTest::newRow("no closing quote") << "SELECT * FROM TrucPivane  WHERE Cate = 'WIN";
        QTest::newRow("another statement") << "DELETE FROM TrucPivane";
        QTest::newRow("lower case") << "select * from TrucPivane";
    }
    void onlyTheTwoQueryTextsOpen() {
        QFETCH(QString, sql);
        StoreFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& before = Store().OpenCategory("WIN");
        QVERIFY_THROWS_EXCEPTION(StoreError, Store().OpenRecordset(sql));
        // The current record set stays, and nothing was run.
        QCOMPARE(&Store().Current(), &before);
        QCOMPARE(StoredCards(), CardsIn({{"WIN", 2}}));
    }

    void recordSetsOfAClosedDatabaseFailCleanly() {
        StoreFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::AllCards());
        cards.MoveFirst();
        Store().CloseDatabase();
        // Rows kept in memory must not be served once the file is closed.
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.MoveNext());
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.Fields("Titre"));
        QVERIFY_THROWS_EXCEPTION(StoreError, cards.MoveLast());
        QVERIFY_THROWS_EXCEPTION(StoreError, Store().OpenRecordset(Queries::AllCards()));
        Store().OpenDatabase("Pivane.mdb");
        QVERIFY_THROWS_EXCEPTION(StoreError, Store().Current().MoveLast());
        Recordset& fresh = Store().OpenRecordset(Queries::AllCards());
        fresh.MoveLast();
        QCOMPARE(fresh.RecordCount(), 3);
    }

    void seekFindsOnlyCardsOfTheSet() {
        StoreFixture fixture;
        WriteSyntheticCollection(2000);
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::Category("WIN"));
        QVERIFY(cards.Seek(1963)); // 1963 % 13 == 0: a Windows card
        QCOMPARE(cards.Fields("Numero").toInt(), 1963);
        cards.MoveNext();
        QCOMPARE(cards.Fields("Numero").toInt(), 1976);
        QVERIFY(!cards.Seek(1964));
        QVERIFY(cards.Eof());
    }
};

PIVANES_ENGINE_TEST_MAIN(TestCardStore)
#include "store/Fields.h"
#include "tst_CardStore.moc"
