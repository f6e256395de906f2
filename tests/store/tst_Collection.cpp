// What the windows and commands rely on from the card store, checked the same on every engine.
#include "EngineTestSupport.h"

#include "EngineFakes.h"
#include "platform/Clock.h"
#include "store/StoreError.h"
#include "store/TextSearch.h"

#include <limits>

namespace {

constexpr qint64 kBeforeAll = std::numeric_limits<qint64>::min();
constexpr qint64 kAfterAll = std::numeric_limits<qint64>::max();

// Cards 2, 3, 5, 8, 9 with gaps; WIN holds 3, 5 and 9.
const QList<Card> kGapped = {{2, "MAT", "DEUX", "a"},
                             {3, "WIN", "TROIS", "b"},
                             {5, "WIN", "CINQ", "c"},
                             {8, "O'K", "HUIT", "d"},
                             {9, "WIN", "NEUF", "e"}};

QList<qint64> Numbers(const std::vector<CardRow>& rows) {
    QList<qint64> numbers;
    for (const CardRow& row : rows)
        numbers << row.numero;
    return numbers;
}

Selection SelectionOf(const QString& code) {
    return code.isEmpty() ? Selection::AllCards() : Selection::Category(code);
}

// What the call's refusal says; empty when it went through.
QString Refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const StoreError& error) {
        return error.text();
    }
    return QString();
}

// A source of cards as an import takes them, which fails at the card numbered `failAt`.
CardSource CardsFrom(const QList<StoredCard>& cards, qint64 failAt = -1) {
    auto next = std::make_shared<qsizetype>(0);
    return [cards, next, failAt](StoredCard& card) {
        if (*next == cards.size())
            return false;
        card = cards[(*next)++];
        if (card.numero == failAt)
            throw StoreError(StoreError::Kind::Failed, QStringLiteral("ligne refusée"));
        return true;
    };
}

// Runs SQL on the collection as another program would; the table names fit either engine.
void ElsewhereRun(const Collection& collection, const QString& sql) {
    if (collection.Place().kind == CollectionPlace::Kind::Server)
        RunPsql(collection.Place().name, sql);
    else
        RunSqliteShell(collection.Place().name, sql);
}

qint64 TextsFound(Collection& collection, const QString& keyword) {
    return collection.SearchTexts(Selection::AllCards(), TextQuery::Parse(keyword), kAfterAll)
        .count;
}

QList<qint64> TrashNumbers(Collection& collection) {
    QList<qint64> numbers;
    for (const TrashEntry& entry : collection.Trash())
        numbers << entry.numero;
    return numbers;
}

} // namespace

class TestCollection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddEngineRows(); }

    void countsAndPagesOfASelection_data();
    void countsAndPagesOfASelection();
    void aCardKeepsAMissingValueApartFromAnEmptyOne();
    void addNumbersAfterTheHighest_data();
    void addNumbersAfterTheHighest();
    void updateWritesTheChangedFieldsOrNothing_data();
    void updateWritesTheChangedFieldsOrNothing();
    void titleSearchComparesCharactersWhateverTheCase_data();
    void titleSearchComparesCharactersWhateverTheCase();
    void titleSearchFoldsCaseOfEveryScript_data();
    void titleSearchFoldsCaseOfEveryScript();
    void importKeepsNumbersOnlyIntoAnEmptyCollection_data();
    void importKeepsNumbersOnlyIntoAnEmptyCollection();
    void snapshotReplaceAndCompactionKeepEveryCard();
    void aDeletedCardWaitsInTheTrashUnseen();
    void theTrashRefuses_data();
    void theTrashRefuses();
    void snapshotKeepsEveryFieldAsItWas();
};

void TestCollection::countsAndPagesOfASelection_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QList<qint64>>("numbers");
    QTest::newRow("all cards") << "" << QList<qint64>{2, 3, 5, 8, 9};
    QTest::newRow("a category") << "WIN" << QList<qint64>{3, 5, 9};
    QTest::newRow("a quote in the code") << "O'K" << QList<qint64>{8};
    QTest::newRow("an injection") << "X' OR '1'='1" << QList<qint64>{};
    QTest::newRow("a prefix of a code") << "WI" << QList<qint64>{};
}

// Every page, from any number, in either direction, with rows passed over: what the grid, the
// viewer's steps and the count rely on.
void TestCollection::countsAndPagesOfASelection() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QString, code);
    QFETCH(QList<qint64>, numbers);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, kGapped);
    const Selection selection = SelectionOf(code);

    const SelectionCount counted = collection->Count(selection);
    QCOMPARE(counted.cards, numbers.size());
    QCOMPARE(counted.last, numbers.isEmpty() ? SelectionCount::kNone : numbers.last());
    const std::unique_ptr<CardRows> rows = collection->Rows(selection);
    QCOMPARE(Numbers(rows->Upward(kBeforeAll, 0, 100)), numbers);
    for (qint64 from : {kBeforeAll, qint64(3), qint64(4), qint64(9), kAfterAll})
        for (qint64 skip : {0, 1, 2})
            for (qint64 count : {0, 1, 2, 100}) {
                QList<qint64> up, down;
                for (qint64 n : numbers)
                    if (n >= from)
                        up << n;
                for (auto n = numbers.rbegin(); n != numbers.rend(); ++n)
                    if (*n <= from)
                        down << *n;
                QCOMPARE(Numbers(rows->Upward(from, skip, count)), up.mid(skip, count));
                QCOMPARE(Numbers(rows->Downward(from, skip, count)), down.mid(skip, count));
            }
    // A card added since the count lies beyond the number it gave.
    collection->Add(
        {code.isEmpty() ? QStringLiteral("WIN") : code, QStringLiteral("NOUVELLE"), {}});
    QCOMPARE(collection->Count(selection).cards, numbers.size() + 1);
}

void TestCollection::aCardKeepsAMissingValueApartFromAnEmptyOne() {
    QFETCH_GLOBAL(QString, engine);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, {});
    collection->Import(CardsFrom({{4, std::nullopt, QString(""), std::nullopt, 0}}));
    const std::optional<StoredCard> card = collection->ReadCard(4);
    QVERIFY(card);
    QVERIFY(!card->cate && !card->pivanes);
    QVERIFY(card->titre && card->titre->isEmpty());
    QCOMPARE(collection->Rows(Selection::AllCards())->Upward(kBeforeAll, 0, 9).front().title,
             QByteArray());
    QVERIFY(!collection->ReadCard(5));
}

void TestCollection::addNumbersAfterTheHighest_data() {
    QTest::addColumn<QList<Card>>("cards");
    QTest::addColumn<qint64>("numero"); // 0: refused
    QTest::newRow("empty collection") << QList<Card>{} << qint64(1);
    QTest::newRow("after the highest, gaps left as they are") << kGapped << qint64(10);
    QTest::newRow("up to the last 32-bit number")
        << QList<Card>{{2147483646, "WIN", "AVANT-DERNIÈRE", ""}} << qint64(2147483647);
    QTest::newRow("beyond 32 bits, refused")
        << QList<Card>{{2147483647, "WIN", "DERNIÈRE", ""}} << qint64(0);
}

void TestCollection::addNumbersAfterTheHighest() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QList<Card>, cards);
    QFETCH(qint64, numero);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
    const CardFields fields{QStringLiteral("MAT"), QStringLiteral("NOUVELLE"),
                            QStringLiteral("Ligne 1\r\nLigne 2")};
    if (numero == 0) {
        QVERIFY(Refusal([&] { collection->Add(fields); }).contains("plus grand numéro"));
        QCOMPARE(StoredCards(*collection), cards);
        return;
    }
    QCOMPARE(collection->Add(fields), numero);
    // What another opening of the collection reads back.
    const std::unique_ptr<Collection> again = Collection::Open(collection->Place());
    cards.append({numero, "MAT", "NOUVELLE", "Ligne 1\r\nLigne 2"});
    QCOMPARE(StoredCards(*again), cards);
}

void TestCollection::updateWritesTheChangedFieldsOrNothing_data() {
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QString>("elsewhere"); // what another program does after the card was read
    QTest::addColumn<Card>("stored");       // card 2 afterwards
    QTest::addColumn<int>("kind");          // -1: saved
    const Card card2 = CardsIn({{"WIN", 3}})[1];
    QTest::newRow("no field") << QStringList{} << "" << card2 << -1;
    QTest::newRow("the title") << QStringList{"titre"} << ""
                               << Card{2, "WIN", "NEUF", card2.Pivanes} << -1;
    QTest::newRow("category and text")
        << QStringList{"cate", "pivanes"} << "" << Card{2, "MAT", card2.Titre, "NEUF"} << -1;
    QTest::newRow("changed elsewhere, even another field")
        << QStringList{"titre"} << "text" << Card{2, "WIN", card2.Titre, "AUTRE"}
        << int(StoreError::Kind::EditConflict);
    QTest::newRow("removed elsewhere")
        << QStringList{"titre"} << "removed" << Card{} << int(StoreError::Kind::EditConflict);
}

void TestCollection::updateWritesTheChangedFieldsOrNothing() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QStringList, changed);
    QFETCH(QString, elsewhere);
    QFETCH(Card, stored);
    QFETCH(int, kind);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, CardsIn({{"WIN", 3}}));
    const StoredCard read = *collection->ReadCard(2);
    CardFields changes;
    if (changed.contains("cate"))
        changes.cate = QStringLiteral("MAT");
    if (changed.contains("titre"))
        changes.titre = QStringLiteral("NEUF");
    if (changed.contains("pivanes"))
        changes.pivanes = QStringLiteral("NEUF");

    const std::unique_ptr<Collection> other = Collection::Open(collection->Place());
    if (elsewhere == "text")
        other->Update(read, {{}, {}, QStringLiteral("AUTRE")});
    if (elsewhere == "removed") {
        QList<Card> others = CardsIn({{"WIN", 3}});
        others.removeAt(1);
        const QString file = folder.Path(QStringLiteral("SANS-2.MDB"));
        FreshCollection(engine, others)->SnapshotInto(file);
        other->ReplaceWith(file);
    }

    if (kind >= 0) {
        try {
            collection->Update(read, changes);
            QFAIL("wrote over a card changed since it was read");
        } catch (const StoreError& error) {
            QCOMPARE(int(error.kind()), kind);
            QVERIFY2(error.text().contains(QStringLiteral("N° 2")), qPrintable(error.text()));
            QVERIFY2(error.text().contains(QStringLiteral("Rien n'a été enregistré")),
                     qPrintable(error.text()));
        }
    } else {
        const StoredCard written = collection->Update(read, changes);
        QCOMPARE(Card({written.numero, *written.cate, *written.titre, *written.pivanes}), stored);
        // The card as answered is the one to hand back for the next save.
        collection->Update(written, changes);
    }
    const QList<Card> now = StoredCards(*Collection::Open(collection->Place()));
    QCOMPARE(now.size(), elsewhere == "removed" ? 2 : 3);
    if (elsewhere != "removed")
        QCOMPARE(now[1], stored);
}

void TestCollection::titleSearchComparesCharactersWhateverTheCase_data() {
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<qint64>("upTo");
    QTest::addColumn<QList<qint64>>("found");
    QTest::newRow("capitals find lower case")
        << QByteArray("ABC") << kAfterAll << QList<qint64>{1, 2, 3, 4, 5, 7};
    QTest::newRow("lower case finds capitals")
        << QByteArray("aBc") << kAfterAll << QList<qint64>{1, 2, 3, 4, 5, 7};
    QTest::newRow("accents count") << QByteArray("DéF") << kAfterAll << QList<qint64>{1, 3, 6};
    QTest::newRow("no accent finds none") << QByteArray("DEF") << kAfterAll << QList<qint64>{};
    QTest::newRow("inner blanks kept") << QByteArray("MOT  CLÉ") << kAfterAll << QList<qint64>{7};
    QTest::newRow("quotes are characters")
        << QByteArray("\"ABC\"") << kAfterAll << QList<qint64>{5};
    QTest::newRow("SQL and index syntax are characters")
        << QByteArray("%' OR *") << kAfterAll << QList<qint64>{9};
    QTest::newRow("a wildcard is a character") << QByteArray("B_D") << kAfterAll << QList<qint64>{};
    QTest::newRow("wildcards and backslash are characters")
        << QByteArray("A_C\\") << kAfterAll << QList<qint64>{10};
    QTest::newRow("one letter") << QByteArray("X") << kAfterAll << QList<qint64>{4, 9};
    QTest::newRow("empty: every title with text")
        << QByteArray() << kAfterAll << QList<qint64>{1, 2, 3, 4, 5, 6, 7, 9, 10};
    QTest::newRow("up to a number") << QByteArray("ABC") << qint64(4) << QList<qint64>{1, 2, 3, 4};
    QTest::newRow("nowhere") << QByteArray("ZZZ") << kAfterAll << QList<qint64>{};
}

void TestCollection::titleSearchComparesCharactersWhateverTheCase() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QByteArray, keyword);
    QFETCH(qint64, upTo);
    QFETCH(QList<qint64>, found);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection =
        FreshCollection(engine, {{1, "WIN", "ABC DÉF", ""},
                                 {2, "MAT", "  ABCD  ", ""},
                                 {3, "WIN", "abc déf", ""},
                                 {4, "INT", "XYZ ABC", ""},
                                 {5, "WIN", "ÉTÉ \"ABC\"", ""},
                                 {6, "MAT", "DÉFI", ""},
                                 {7, "WIN", "MOT  CLÉ ABC", ""},
                                 {8, "INT", "", ""},
                                 {9, "INT", "100 %' OR * X", ""},
                                 {10, "INT", "A_C\\D", ""}});
    const FoundCards result = collection->SearchTitles(Selection::AllCards(), keyword, upTo);
    QCOMPARE(result.count, found.size());
    QCOMPARE(Numbers(result.rows->Upward(kBeforeAll, 0, 100)), found);
    QList<qint64> reversed(found.rbegin(), found.rend());
    QCOMPARE(Numbers(result.rows->Downward(result.last, 0, 100)), reversed);
    if (found.size() > 1)
        QCOMPARE(Numbers(result.rows->Upward(found[1], 0, 1)), QList<qint64>{found[1]});
}

void TestCollection::titleSearchFoldsCaseOfEveryScript_data() {
    QTest::addColumn<QByteArray>("keyword");
    QTest::addColumn<QList<qint64>>("found");
    const auto row = [](const char* name, const char* keyword, QList<qint64> found) {
        QTest::newRow(name) << QByteArray(keyword) << found;
    };
    row("é finds É, not e", "été", {1, 2});
    row("e finds no é", "ETE", {3});
    row("Œ and œ", "œuvre", {4, 5});
    row("ẞ and ß, not ss", "STRAẞE", {6, 8});
    row("ss is not ß", "strasse", {7});
    row("Greek, final sigma", "ΟΔΌΣ", {9, 10});
    row("Greek accents count", "οδοσ", {});
    row("Cyrillic", "Москва", {11, 12});
    row("dotted capital I is not i", "istanbul", {14});
    row("dotted capital I finds itself", "İSTANBUL", {13});
    row("dotless i is not I", "ISPARTA", {});
    row("a case given after Unicode 6.1 is kept", "აბგ", {16});
    row("a capital given after Unicode 6.1 finds itself", "ᲐᲑᲒ", {17});
}

// Whatever the engine and whatever the way (the title index for all cards, reading each title of
// a category), the same titles match, and they are those TitleHolds finds.
void TestCollection::titleSearchFoldsCaseOfEveryScript() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QByteArray, keyword);
    QFETCH(QList<qint64>, found);
    const QStringList titles = {"Été indien", "L'ÉTÉ",    "ete",      "Œuvres d'art", "œuvre",
                                "Straße",     "STRASSE",  "STRAẞE",   "ΟΔΌΣ",         "οδός",
                                "МОСКВА",     "москва",   "İSTANBUL", "istanbul",     "ısparta",
                                "აბგ",        "ᲐᲑᲒ"};
    QList<Card> cards;
    QList<qint64> holding;
    for (int i = 0; i < titles.size(); ++i) {
        cards << Card{i + 1, "WIN", titles[i], ""};
        if (TitleHolds(titles[i].toUtf8(), keyword))
            holding << i + 1;
    }
    QCOMPARE(holding, found);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
    for (const Selection& selection : {Selection::AllCards(), Selection::Category("WIN")}) {
        const FoundCards result = collection->SearchTitles(selection, keyword, kAfterAll);
        QCOMPARE(result.count, found.size());
        QCOMPARE(Numbers(result.rows->Upward(kBeforeAll, 0, 100)), found);
    }
}

void TestCollection::importKeepsNumbersOnlyIntoAnEmptyCollection_data() {
    QTest::addColumn<QList<Card>>("before");
    QTest::addColumn<qint64>("failAt"); // the card at which the source fails; -1: none
    QTest::addColumn<QList<qint64>>("numbers");
    QTest::addColumn<QString>("told"); // in the refusal
    QTest::newRow("into an empty collection")
        << QList<Card>{} << qint64(-1) << QList<qint64>{7, 40, 41} << "";
    QTest::newRow("into a collection that has cards")
        << CardsIn({{"WIN", 2}}) << qint64(-1) << QList<qint64>{1, 2, 3, 4, 5} << "";
    QTest::newRow("a source that fails adds nothing")
        << CardsIn({{"WIN", 2}}) << qint64(41) << QList<qint64>{1, 2} << "ligne refusée";
    QTest::newRow("a number given twice adds nothing")
        << QList<Card>{} << qint64(-2) << QList<qint64>{} << "le numéro 40";
}

void TestCollection::importKeepsNumbersOnlyIntoAnEmptyCollection() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QList<Card>, before);
    QFETCH(qint64, failAt);
    QFETCH(QList<qint64>, numbers);
    QFETCH(QString, told);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, before);
    QList<StoredCard> cards = {{40, QString("WIN"), QString("QUARANTE"), std::nullopt, 0},
                               {7, QString("MAT"), QString("SEPT"), QString("x\r\ny"), 0},
                               {41, std::nullopt, QString("QUARANTE ET UN"), QString(), 0}};
    if (failAt == -2)
        cards[1].numero = 40;
    std::sort(cards.begin(), cards.end(),
              [](const StoredCard& a, const StoredCard& b) { return a.numero < b.numero; });
    if (failAt != -1) {
        const QString refusal = Refusal([&] { collection->Import(CardsFrom(cards, failAt)); });
        QVERIFY2(refusal.contains(told), qPrintable(refusal));
    } else {
        const Imported imported = collection->Import(CardsFrom(cards));
        QCOMPARE(imported.cards, 3);
        QCOMPARE(imported.numbersKept, before.isEmpty());
    }
    QList<qint64> stored;
    collection->EachCard([&](const StoredCard& card) { stored << card.numero; });
    QCOMPARE(stored, numbers);
    if (failAt == -1) {
        const StoredCard last = *collection->ReadCard(numbers.last());
        QVERIFY(!last.cate);
        QCOMPARE(*last.titre, QString("QUARANTE ET UN"));
        QCOMPARE(collection->SearchTitles(Selection::AllCards(), "QUARANTE", kAfterAll).count, 2);
    }
}

// None, empty, line ends, quotes and backslashes, and a text far longer than a read's buffer.
void TestCollection::snapshotKeepsEveryFieldAsItWas() {
    QFETCH_GLOBAL(QString, engine);
    TemporaryFolder folder;
    const QList<StoredCard> cards = {
        {3, std::nullopt, QString(), std::nullopt, 0},
        {8, QString("WIN"), QString("« L'été » \\N \"x\""), QString("a\r\n\tb\\"), 0},
        {9, QString("MAT"), std::nullopt, QString(300000, QChar(u'é')), 0}};
    const std::unique_ptr<Collection> collection = FreshCollection(engine, {});
    collection->Import(CardsFrom(cards));
    const QString snapshot = folder.Path(QStringLiteral("COPIE.MDB"));
    QCOMPARE(collection->SnapshotInto(snapshot), 3);
    QList<StoredCard> copied;
    Collection::OpenLocal(snapshot)->EachCard([&](const StoredCard& card) { copied << card; });
    QCOMPARE(copied.size(), cards.size());
    for (qsizetype i = 0; i < cards.size(); ++i)
        QVERIFY(copied[i].numero == cards[i].numero && copied[i].cate == cards[i].cate &&
                copied[i].titre == cards[i].titre && copied[i].pivanes == cards[i].pivanes);
}

// A snapshot read back, a collection replaced by it, and a compaction: every card stays as it was.
void TestCollection::snapshotReplaceAndCompactionKeepEveryCard() {
    QFETCH_GLOBAL(QString, engine);
    TemporaryFolder folder;
    const QList<Card> cards = CardsIn({{"WIN", 40}, {"MAT", 30}});
    const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
    collection->Import(CardsFrom({{71, QString("INT"), QString("JETÉE"), std::nullopt, 0}}));
    collection->MoveToTrash(71);
    const QString snapshot = folder.Path(QStringLiteral("COPIE.MDB"));
    QCOMPARE(collection->SnapshotInto(snapshot), 70);
    QCOMPARE(Collection::VerifiedCardCount(snapshot), 70);
    QCOMPARE(StoredCards(snapshot), cards);
    QCOMPARE(TrashNumbers(*Collection::OpenLocal(snapshot)), QList<qint64>{71});

    const std::unique_ptr<Collection> other = FreshCollection(engine, CardsIn({{"INT", 5}}));
    other->MoveToTrash(5);
    // Another program on the same server hears of the restore once; the restorer does not,
    // and a file has one program only.
    const std::unique_ptr<Collection> watching = Collection::Open(other->Place());
    other->ReplaceWith(snapshot);
    QVERIFY(!other->RestoredElsewhere());
    QCOMPARE(watching->RestoredElsewhere(), engine == "postgres");
    QVERIFY(!watching->RestoredElsewhere());
    QCOMPARE(StoredCards(*other), cards);
    QCOMPARE(other->Count(Selection::Category("MAT")).cards, 30);
    other->EachTrashed([](const TrashedCard& trashed) {
        QCOMPARE(trashed.card.numero, 71);
        QVERIFY(!trashed.card.pivanes);
        QCOMPARE(*trashed.card.titre, QString("JETÉE"));
    });
    QCOMPARE(other->Add({QStringLiteral("INT"), QStringLiteral("APRÈS"), QString()}), 72);

    collection->Compact();
    QCOMPARE(StoredCards(*collection), cards);
    QCOMPARE(TrashNumbers(*collection), QList<qint64>{71});
    QCOMPARE(collection->SearchTitles(Selection::AllCards(), "MAT", kAfterAll).count, 30);
}

// Deleted, the card is gone from every count, page and search, its number is not given again,
// and it comes back whole; an emptied trash holds nothing.
void TestCollection::aDeletedCardWaitsInTheTrashUnseen() {
    QFETCH_GLOBAL(QString, engine);
    TemporaryFolder folder;
    const QDateTime deletedAt(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC);
    TestClock clock;
    clock.Set([&] { return QDateTime(deletedAt); });
    Clock::Source::Replace(&clock);
    const std::unique_ptr<Collection> collection = FreshCollection(engine, kGapped);
    collection->MoveToTrash(9);
    collection->MoveToTrash(3);
    Clock::Source::Replace(nullptr);

    QCOMPARE(collection->Count(Selection::Category("WIN")).cards, 1);
    QCOMPARE(collection->Count(Selection::AllCards()).last, 8);
    QCOMPARE(Numbers(collection->Rows(Selection::AllCards())->Upward(kBeforeAll, 0, 9)),
             (QList<qint64>{2, 5, 8}));
    QCOMPARE(collection->SearchTitles(Selection::AllCards(), "NEUF", kAfterAll).count, 0);
    QCOMPARE(TextsFound(*collection, "neuf"), 0);
    QVERIFY(!collection->ReadCard(9));
    const std::vector<TrashEntry> trash = collection->Trash();
    QCOMPARE(trash.size(), 2U);
    QCOMPARE(trash[1].numero, 9);
    QCOMPARE(*trash[1].titre, QString("NEUF"));
    QCOMPARE(trash[1].deleted, deletedAt);

    QCOMPARE(collection->Add({QStringLiteral("WIN"), QStringLiteral("DIX"), {}}), 10);
    collection->PutBack(9);
    QCOMPARE(StoredCards(*Collection::Open(collection->Place())).mid(3, 1),
             QList<Card>({kGapped[4]}));
    QCOMPARE(collection->SearchTitles(Selection::AllCards(), "NEUF", kAfterAll).count, 1);
    QCOMPARE(TextsFound(*collection, "neuf"), 1);
    QCOMPARE(TrashNumbers(*collection), QList<qint64>{3});

    // Emptied, the trash gives back nothing; an import then keeps no number it held.
    QCOMPARE(collection->EmptyTrash(), 1);
    QCOMPARE(TrashNumbers(*collection), QList<qint64>{});
    QCOMPARE(StoredCards(*collection).size(), 5);
    const std::unique_ptr<Collection> onlyTrash = FreshCollection(engine, {kGapped[0]});
    onlyTrash->MoveToTrash(2);
    QVERIFY(!onlyTrash->Import(CardsFrom({{1, QString("MAT"), QString("UN"), {}, 0}})).numbersKept);
    QCOMPARE(StoredCards(*onlyTrash).front().Numero, 3);
}

void TestCollection::theTrashRefuses_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("elsewhere"); // SQL another program runs first
    QTest::addColumn<QString>("told");
    QTest::newRow("deleting a card that went") << "trash 4"
                                               << ""
                                               << "n'existe plus";
    QTest::newRow("deleting under a number the trash holds")
        << "trash 9"
        << "INSERT INTO TrucPivane_Corbeille VALUES (9, 'WIN', 'X', '', '2026-01-01')"
        << "contient déjà une fiche N° 9";
    QTest::newRow("putting back a card not in the trash") << "back 2"
                                                          << ""
                                                          << "n'est plus dans la corbeille";
    QTest::newRow("putting back under a number taken meanwhile")
        << "back 9"
        << "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) VALUES (9, 'MAT', 'AUTRE', '')"
        << "porte déjà le numéro 9";
}

// Each refusal says why and changes nothing, in the cards or in the trash.
void TestCollection::theTrashRefuses() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QString, call);
    QFETCH(QString, elsewhere);
    QFETCH(QString, told);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, kGapped);
    const bool back = call.startsWith("back");
    if (back)
        collection->MoveToTrash(9);
    if (!elsewhere.isEmpty())
        ElsewhereRun(*collection, elsewhere);
    const QList<Card> cards = StoredCards(*collection);
    const QList<qint64> trash = TrashNumbers(*collection);

    const qint64 numero = call.section(' ', 1).toLongLong();
    const QString refusal = Refusal([&] {
        if (back)
            collection->PutBack(numero);
        else
            collection->MoveToTrash(numero);
    });
    QVERIFY2(refusal.contains(told), qPrintable(refusal));
    QCOMPARE(StoredCards(*collection), cards);
    QCOMPARE(TrashNumbers(*collection), trash);
}

PIVANES_ENGINE_TEST_MAIN(TestCollection)
#include "tst_Collection.moc"
