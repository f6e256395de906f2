#include "TestSupport.h"

#include "store/CardStore.h"
#include "store/Database.h"
#include "store/Queries.h"
#include "store/StoreError.h"

#include <QFile>

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
        ProgramFixture fixture;
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
        ProgramFixture fixture;
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
        ProgramFixture fixture;
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

    void codesAreValuesNeverSql_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("count");
        QTest::newRow("OPEN is not OFFI") << "OPEN" << 1;
        QTest::newRow("a quote") << "O'K" << 1;
        QTest::newRow("an injection") << "X' OR '1'='1" << 0;
        QTest::newRow("a prefix") << "OPE" << 0;
    }
    void codesAreValuesNeverSql() {
        QFETCH(QString, code);
        QFETCH(int, count);
        ProgramFixture fixture;
        WriteCollection(
            {{1, "OFFI", "OFFICE", ""}, {2, "OPEN", "OPEN OFFICE", ""}, {3, "O'K", "QUOTE", ""}});
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::Category(code));
        int seen = 0;
        for (cards.MoveFirst(); !cards.Eof(); cards.MoveNext(), ++seen)
            QCOMPARE(cards.Fields("Cate").toString(), code);
        QCOMPARE(seen, count);
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
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& before = Store().OpenCategory("WIN");
        QVERIFY_THROWS_EXCEPTION(StoreError, Store().OpenRecordset(sql));
        // The current record set stays, and nothing was run.
        QCOMPARE(&Store().Current(), &before);
        QCOMPARE(StoredCards(), CardsIn({{"WIN", 2}}));
    }

    // An edit writes the fields set and nothing else: a field that another program changed since
    // the row was read keeps its change, and the record set reads back what the file holds.
    void editWritesOnlyTheFieldsSet_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<Card>("stored");
        const Card other{2, "WIN", "WIN 2", "AUTRE"};
        QTest::newRow("nothing") << QStringList{} << other;
        QTest::newRow("title") << QStringList{"Titre"} << Card{2, "WIN", "NEUF", "AUTRE"};
        QTest::newRow("category and text")
            << QStringList{"cate", "Pivanes"} << Card{2, "MAT", "WIN 2", "NEUF"};
        QTest::newRow("every text")
            << QStringList{"Cate", "Titre", "Pivanes"} << Card{2, "MAT", "NEUF", "NEUF"};
    }
    void editWritesOnlyTheFieldsSet() {
        QFETCH(QStringList, fields);
        QFETCH(Card, stored);
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenAll();
        QVERIFY(cards.Seek(2));
        QCOMPARE(cards.Fields(Field::Pivanes).toString(), CardsIn({{"WIN", 3}})[1].Pivanes);
        cards.Edit();
        for (const QString& field : fields)
            cards.SetField(field, field.compare("Cate", Qt::CaseInsensitive) == 0 ? "MAT" : "NEUF");
        RunSqliteShell("Pivane.mdb", "UPDATE TrucPivane SET Pivanes = 'AUTRE' WHERE Numero = 2");
        cards.Update();

        QCOMPARE(StoredCards().at(1), stored);
        const Card shown{
            cards.Fields(Field::Numero).toLongLong(), cards.Fields(Field::Cate).toString(),
            cards.Fields(Field::Titre).toString(), cards.Fields(Field::Pivanes).toString()};
        QCOMPARE(shown, stored);
        cards.MoveNext();
        QCOMPARE(cards.Fields(Field::Numero).toInt(), 3);
        cards.MovePrevious();
        cards.MovePrevious();
        QCOMPARE(cards.Fields(Field::Numero).toInt(), 1);
    }

    void editOfARowRemovedMeanwhileFails() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenCategory("WIN");
        QVERIFY(cards.Seek(2));
        cards.Edit();
        cards.SetField(Field::Titre, "NEUF");
        RunSqliteShell("Pivane.mdb", "DELETE FROM TrucPivane WHERE Numero = 2");
        try {
            cards.Update();
            QFAIL("wrote a card that is no longer there");
        } catch (const StoreError& error) {
            QVERIFY2(error.text().contains("N° 2 n'existe plus"), qPrintable(error.text()));
        }
        QList<Card> left = CardsIn({{"WIN", 3}});
        left.removeAt(1);
        QCOMPARE(StoredCards(), left);
    }

    void addAndEditWriteWholeRows() {
        ProgramFixture fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        Store().OpenDatabase("Pivane.mdb");
        Recordset& cards = Store().OpenRecordset(Queries::AllCards());
        cards.MoveLast();
        cards.AddNew();
        cards.SetField("Numero", 4);
        cards.SetField("cate", "MAT");
        cards.SetField("Titre", "NOUVELLE");
        cards.SetField("Pivanes", "Ligne 1\r\nLigne 2");
        cards.Update();
        cards.MoveLast();
        QCOMPARE(cards.RecordCount(), 4);
        QCOMPARE(cards.Fields("Titre").toString(), QStringLiteral("NOUVELLE"));
        cards.MoveFirst();
        cards.Edit();
        cards.SetField("Titre", "CHANGÉE");
        cards.Update();
        QCOMPARE(cards.Fields("Titre").toString(), QStringLiteral("CHANGÉE"));

        // What another record set reads back from the file.
        Store().CloseDatabase();
        Store().OpenDatabase("Pivane.mdb");
        Recordset& again = Store().OpenRecordset(Queries::AllCards());
        again.MoveLast();
        QCOMPARE(again.RecordCount(), 4);
        QCOMPARE(again.Fields("Cate").toString(), QStringLiteral("MAT"));
        QCOMPARE(again.Fields("Pivanes").toString(), QStringLiteral("Ligne 1\r\nLigne 2"));
        again.MoveFirst();
        QCOMPARE(again.Fields("Titre").toString(), QStringLiteral("CHANGÉE"));
        QCOMPARE(again.Fields("Pivanes").toString(), QStringLiteral("Texte 1\r\nLigne 2\r\n"));
    }

    void recordSetsOfAClosedDatabaseFailCleanly() {
        ProgramFixture fixture;
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
        ProgramFixture fixture;
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

    void badFilesAreReportedAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("kind");
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QByteArray damaged("SQLite format 3\0", 16);
        damaged.append(QByteArray(4080, '\x5a'));
        QTest::newRow("old engine's file") << jet << int(StoreError::Kind::NotADatabase);
        QTest::newRow("damaged") << damaged << int(StoreError::Kind::Damaged);
        QTest::newRow("empty") << QByteArray() << int(StoreError::Kind::NoTable);
    }
    void badFilesAreReportedAndLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        ProgramFixture fixture;
        WriteBytes("Pivane.mdb", content);
        try {
            Store().OpenDatabase("Pivane.mdb");
            QFAIL("opened a file that is no card database");
        } catch (const StoreError& error) {
            QCOMPARE(int(error.kind()), kind);
            QVERIFY(error.text().contains("Pivane.mdb"));
        }
        QVERIFY(!Store().database().IsOpen());
        QCOMPARE(FileBytes("Pivane.mdb"), content);
    }

    void missingFileIsNeverCreated() {
        ProgramFixture fixture;
        try {
            Store().OpenDatabase("Pivane.mdb");
            QFAIL("opened a missing file");
        } catch (const StoreError& error) {
            QCOMPARE(error.kind(), StoreError::Kind::MissingFile);
        }
        QVERIFY(!QFile::exists("Pivane.mdb"));
    }

    void databaseWithoutTheCardTable() {
        ProgramFixture fixture;
        Database::CreateEmpty("Pivane.mdb");
        QProcess sqlite;
        sqlite.start("sqlite3", {"Pivane.mdb", "ALTER TABLE TrucPivane RENAME TO Autre"});
        QVERIFY(sqlite.waitForFinished());
        QCOMPARE(sqlite.exitCode(), 0);
        const QByteArray before = FileBytes("Pivane.mdb");
        try {
            Store().OpenDatabase("Pivane.mdb");
            QFAIL("opened a database without the card table");
        } catch (const StoreError& error) {
            QCOMPARE(error.kind(), StoreError::Kind::NoTable);
        }
        QCOMPARE(FileBytes("Pivane.mdb"), before);
    }
};

PIVANES_TEST_MAIN(TestCardStore)
#include "store/Fields.h"
#include "tst_CardStore.moc"
