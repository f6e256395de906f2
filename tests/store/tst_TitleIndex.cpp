// The title index answers like reading every title, whoever changed the table and however.
#include "EngineTestSupport.h"

#include "store/TitleCase.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/SqliteCollection.h"
#include "store/sqlite/SqliteRows.h"

#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <limits>
#include <sqlite3.h>

namespace {

constexpr qint64 kAll = std::numeric_limits<qint64>::max();

const QList<Card> kCards = {
    {1, "WIN", "ABC DÉF", ""},      {2, "MAT", "  ABCD  ", ""},
    {3, "WIN", "abc déf", ""},      {4, "INT", "XYZ ABC", ""},
    {5, "WIN", "ÉTÉ \"ABC\"", ""},  {6, "MAT", "DÉFI", ""},
    {7, "WIN", "MOT  CLÉ ABC", ""}, {8, "INT", "", ""},
};
const QByteArrayList kKeywords = {"ABC", "DÉF", "abc",     "XYZ",      "\"ABC\"", "MOT  CLÉ",
                                  "BCD", "ÉTÉ", "NOUVEAU", "REMPLACÉ", "ABC DÉF"};

// Statements run by another program, through a connection of its own.
int RunElsewhere(const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open("Pivane.mdb", &db);
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

// What reading every title finds.
QList<qint64> Scanned(Collection& collection, const QByteArray& keyword) {
    QList<qint64> found;
    collection.EachCard([&](const StoredCard& card) {
        const QByteArray title = card.titre.value_or(QString()).toUtf8();
        if (TitleHolds(title, keyword))
            found << card.numero;
    });
    return found;
}

// What the search finds, through the index when it answers for the file.
QList<qint64> Searched(Collection& collection, const QByteArray& keyword) {
    const FoundCards found = collection.SearchTitles(Selection::AllCards(), keyword, kAll);
    QList<qint64> numbers;
    for (const CardRow& row : found.rows->Upward(std::numeric_limits<qint64>::min(), 0, 1000))
        numbers << row.numero;
    if (found.count != numbers.size())
        numbers << -1;
    return numbers;
}

// The index agrees with the table (the engine's own check) and finds what a scan finds.
void CheckIndexAnswersRight() {
    SqliteCollection collection(QStringLiteral("Pivane.mdb"));
    QVERIFY(Schema::TitleIndexIsCurrent(collection.connection()));
    collection.connection().Exec(
        "INSERT INTO TrucPivane_Titres(TrucPivane_Titres) VALUES ('integrity-check')");
    for (const QByteArray& keyword : kKeywords) {
        QVERIFY(IndexedTitles::Covers(keyword));
        QCOMPARE(Searched(collection, keyword), Scanned(collection, keyword));
    }
}

bool IndexIsCurrent() {
    return Schema::TitleIndexIsCurrent(SqliteCollection(QStringLiteral("Pivane.mdb")).connection());
}

} // namespace

class TestTitleIndex : public QObject {
    Q_OBJECT

private slots:
    void keptByEveryWriteOfAnotherProgram_data();
    void keptByEveryWriteOfAnotherProgram();
    void keptByTheProgramsWrites();
    void coveredKeywords_data();
    void coveredKeywords();
    void openingAndSearchingNeverWrite();
    void staleIndexIsRebuiltByWriteAndCompaction_data();
    void staleIndexIsRebuiltByWriteAndCompaction();
    void killedWriterLeavesAMatchingIndex();
    void foldsEveryCaseAsTitleHolds();
};

void TestTitleIndex::keptByEveryWriteOfAnotherProgram_data() {
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("insert") << QByteArray("INSERT INTO TrucPivane VALUES (20, 'WIN', 'NOUVEAU "
                                          "ABC', 'x')")
                            << true;
    QTest::newRow("insert or replace") << QByteArray("INSERT OR REPLACE INTO TrucPivane VALUES "
                                                     "(1, 'WIN', 'REMPLACÉ', 'x')")
                                       << true;
    QTest::newRow("replace") << QByteArray("REPLACE INTO TrucPivane VALUES (4, 'WIN', 'XY', 'x')")
                             << true;
    QTest::newRow("insert on a taken number fails")
        << QByteArray("INSERT INTO TrucPivane VALUES (2, 'WIN', 'NOUVEAU', 'x')") << false;
    QTest::newRow("insert or ignore on a taken number")
        << QByteArray("INSERT OR IGNORE INTO TrucPivane VALUES (2, 'WIN', 'NOUVEAU', 'x')") << true;
    QTest::newRow("title changed") << QByteArray("UPDATE TrucPivane SET Titre = 'REMPLACÉ' "
                                                 "WHERE Numero IN (1, 5)")
                                   << true;
    QTest::newRow("text changed only")
        << QByteArray("UPDATE TrucPivane SET Pivanes = 'autre' WHERE Numero = 1") << true;
    QTest::newRow("title without value")
        << QByteArray("UPDATE TrucPivane SET Titre = NULL WHERE Numero = 1") << true;
    QTest::newRow("number changed") << QByteArray("UPDATE TrucPivane SET Numero = 30 WHERE "
                                                  "Numero = 4")
                                    << true;
    QTest::newRow("number changed onto a taken one")
        << QByteArray("UPDATE OR REPLACE TrucPivane SET Numero = 2 WHERE Numero = 7") << true;
    QTest::newRow("deleted") << QByteArray("DELETE FROM TrucPivane WHERE Numero IN (1, 2)") << true;
    QTest::newRow("rolled back") << QByteArray("BEGIN; UPDATE TrucPivane SET Titre = 'NOUVEAU'; "
                                               "DELETE FROM TrucPivane WHERE Numero = 3; "
                                               "ROLLBACK")
                                 << true;
    QTest::newRow("title stored as a number")
        << QByteArray("UPDATE TrucPivane SET Titre = 12345 WHERE Numero = 6") << true;
}

void TestTitleIndex::keptByEveryWriteOfAnotherProgram() {
    QFETCH(QByteArray, sql);
    QFETCH(bool, succeeds);
    TemporaryFolder folder;
    WriteCollection(kCards);
    QCOMPARE(RunElsewhere(sql) == SQLITE_OK, succeeds);
    CheckIndexAnswersRight();
}

void TestTitleIndex::keptByTheProgramsWrites() {
    TemporaryFolder folder;
    WriteCollection(kCards);
    {
        const std::unique_ptr<Collection> collection = Collection::OpenLocal("Pivane.mdb");
        collection->Update(*collection->ReadCard(1), {{}, QStringLiteral("REMPLACÉ ABC"), {}});
        collection->Add({QStringLiteral("WIN"), QStringLiteral("NOUVEAU XYZ"), {}});
    }
    CheckIndexAnswersRight();
}

void TestTitleIndex::coveredKeywords_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("covered");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("two letters") << "AB" << false;
    QTest::newRow("two accented letters, four bytes") << "ÉÉ" << false;
    QTest::newRow("three letters") << "ABC" << true;
    QTest::newRow("three accented letters") << "ÉTÉ" << true;
    QTest::newRow("blanks count") << "A B" << true;
    QTest::newRow("a nul character") << QStringLiteral("AB%1C").arg(QChar(0)) << false;
}

void TestTitleIndex::coveredKeywords() {
    QFETCH(QString, keyword);
    QFETCH(bool, covered);
    QCOMPARE(IndexedTitles::Covers(keyword.toUtf8()), covered);
}

// A file made without the index stays byte for byte as it was through opening and searching.
void TestTitleIndex::openingAndSearchingNeverWrite() {
    TemporaryFolder folder;
    WriteCollection(kCards);
    QCOMPARE(RunElsewhere("DROP TRIGGER TrucPivane_Titres_Ajout; DROP TABLE TrucPivane_Titres"),
             SQLITE_OK);
    const QByteArray before = FileBytes(QStringLiteral("Pivane.mdb"));
    {
        SqliteCollection collection(QStringLiteral("Pivane.mdb"));
        QVERIFY(!Schema::TitleIndexIsCurrent(collection.connection()));
        QCOMPARE(Searched(collection, "ABC"), Scanned(collection, "ABC"));
        QCOMPARE(Scanned(collection, "ABC").size(), 6);
    }
    QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), before);
}

void TestTitleIndex::staleIndexIsRebuiltByWriteAndCompaction_data() {
    QTest::addColumn<QByteArray>("staling");
    QTest::addColumn<bool>("byCompaction");
    const QByteArray untold = "DROP TRIGGER TrucPivane_Titres_Modif; "
                              "UPDATE TrucPivane SET Titre = 'REMPLACÉ' WHERE Numero = 1";
    // As a file made before titles were searched whatever their case holds it.
    const QByteArray caseKept =
        "DROP TABLE TrucPivane_Titres; CREATE VIRTUAL TABLE TrucPivane_Titres USING fts5(Titre, "
        "tokenize='trigram case_sensitive 1', columnsize=0); INSERT INTO TrucPivane_Titres(rowid, "
        "Titre) SELECT Numero, Titre FROM TrucPivane";
    QTest::newRow("a write untold, first write") << untold << false;
    QTest::newRow("a write untold, compaction") << untold << true;
    QTest::newRow("case kept, first write") << caseKept << false;
    QTest::newRow("case kept, compaction") << caseKept << true;
}

void TestTitleIndex::staleIndexIsRebuiltByWriteAndCompaction() {
    QFETCH(QByteArray, staling);
    QFETCH(bool, byCompaction);
    TemporaryFolder folder;
    WriteCollection(kCards);
    QCOMPARE(RunElsewhere(staling), SQLITE_OK);
    QVERIFY(!IndexIsCurrent());
    {
        SqliteCollection stale(QStringLiteral("Pivane.mdb"));
        QCOMPARE(Searched(stale, "ABC"), Scanned(stale, "ABC"));
        QVERIFY(Scanned(stale, "ABC").contains(3));
    }
    const std::unique_ptr<Collection> collection = Collection::OpenLocal("Pivane.mdb");
    if (byCompaction)
        collection->Compact();
    else
        collection->Update(*collection->ReadCard(2), {{}, {}, QStringLiteral("texte changé")});
    CheckIndexAnswersRight();
}

// Killed after a random number of writes, somewhere in the next one (which may be a rebuild of
// the index), the writer leaves an index that agrees with the table.
void TestTitleIndex::killedWriterLeavesAMatchingIndex() {
    TemporaryFolder folder;
    WriteSyntheticCollection(60);
    for (int run = 0; run < 20; ++run) {
        QProcess child;
        child.start(BuiltProgram(TITLE_WRITER_CHILD), {folder.Path()});
        QVERIFY(child.waitForStarted());
        const int writes = QRandomGenerator::global()->bounded(1, 12);
        for (int done = 0; done < writes;) {
            QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
            done += int(child.readAll().count('\n'));
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        // The first read-write connection rolls the interrupted write back.
        SqliteCollection collection(QStringLiteral("Pivane.mdb"));
        QCOMPARE(Scanned(collection, "").size(), 60);
        // A kill between a dropped trigger and the next write leaves a stale index: the
        // program no longer trusts it.
        if (!Schema::TitleIndexIsCurrent(collection.connection()))
            continue;
        collection.connection().Exec(
            "INSERT INTO TrucPivane_Titres(TrucPivane_Titres) VALUES ('integrity-check')");
        for (const QByteArray& keyword :
             {QByteArray("ÉCRIT"), QByteArray("TITRE 1"), QByteArray("RÉSEAU"), QByteArray("N°1")})
            QCOMPARE(Searched(collection, keyword), Scanned(collection, keyword));
    }
}

// Every character that has a case, between two others: the index finds, for each, the titles of
// exactly the characters that TitleCase folds as it.
void TestTitleIndex::foldsEveryCaseAsTitleHolds() {
    TemporaryFolder folder;
    const QString around = QStringLiteral("«%1»");
    QList<Card> cards;
    std::vector<char32_t> folded;
    for (char32_t c = 1; c < 0x20000; ++c)
        if (TitleCase::Variants(c).size() > 1) {
            cards << Card{qint64(c), "WIN", around.arg(QString::fromUcs4(&c, 1)), ""};
            if (TitleCase::Folded(c) == c)
                folded.push_back(c);
        }
    QVERIFY(folded.size() > 1000);
    WriteCollection(cards);
    SqliteCollection collection(QStringLiteral("Pivane.mdb"));
    QVERIFY(Schema::TitleIndexIsCurrent(collection.connection()));
    for (const char32_t c : folded) {
        QList<qint64> numbers;
        for (const char32_t variant : TitleCase::Variants(c))
            numbers << qint64(variant);
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(Searched(collection, around.arg(QString::fromUcs4(&c, 1)).toUtf8()), numbers);
    }
}

PIVANES_ENGINE_TEST_MAIN(TestTitleIndex)
#include "tst_TitleIndex.moc"
