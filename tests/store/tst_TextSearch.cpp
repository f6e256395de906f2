// The search of titles and texts: one folding everywhere, the keyword's syntax taken as text, and
// the same cards found by every engine, by the index and by reading every card.
#include "EngineTestSupport.h"

#include "store/TextSearch.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/SqliteCollection.h"

#include <QRandomGenerator>
#include <limits>
#include <sqlite3.h>

namespace {

constexpr qint64 kAll = std::numeric_limits<qint64>::max();

QList<qint64> Searched(Collection& collection, const QString& keyword) {
    const FoundCards found =
        collection.SearchTexts(Selection::AllCards(), TextQuery::Parse(keyword), kAll);
    QList<qint64> numbers;
    for (const CardRow& row : found.rows->Upward(std::numeric_limits<qint64>::min(), 0, 1000))
        numbers << row.numero;
    if (found.count != numbers.size())
        numbers << -1;
    return numbers;
}

// What folding and comparing card by card finds, without any engine.
QList<qint64> Scanned(const QList<Card>& cards, const QString& keyword) {
    const TextQuery query = TextQuery::Parse(keyword);
    QList<qint64> numbers;
    for (const Card& card : cards)
        if (query.Matches(card.Titre, card.Pivanes))
            numbers << card.Numero;
    return numbers;
}

int RunElsewhere(const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open("Pivane.mdb", &db);
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

void AddRowsForEachEngine(const std::function<void(const QString& engine)>& add) {
    for (const char* engine : {"sqlite", "postgres"})
        add(QString::fromLatin1(engine));
}

// Words that fold alike or almost, for random cards and keywords.
const QStringList kWords = {
    QStringLiteral("été"),
    QStringLiteral("ÉTÉ"),
    QStringLiteral("ete"),
    QStringLiteral("Straße"),
    QStringLiteral("STRASSE"),
    QStringLiteral("cœur"),
    QStringLiteral("CŒUR"),
    QStringLiteral("ﬁchier"),
    QStringLiteral("fichiers"),
    QStringLiteral("ıstanbul"),
    QStringLiteral("İzmir"),
    QStringLiteral("l’été"),
    QStringLiteral("l'hiver"),
    QStringLiteral("config"),
    QStringLiteral("configuration"),
    QStringLiteral("reconfig"),
    QStringLiteral("x-y"),
    QStringLiteral("a_b"),
    QStringLiteral("e\u0301te\u0301"),
    QStringLiteral("Ångström"),
    QStringLiteral("naïve"),
    QStringLiteral("ΣΟΦΊΑ"),
    QStringLiteral("σοφία"),
    QStringLiteral("北京"),
    QStringLiteral("😀"),
    QStringLiteral("clé\u00A0de"),
    QStringLiteral("registre"),
    QStringLiteral("AND"),
    QStringLiteral("NEAR(x"),
    QStringLiteral("\"cité\""),
    QStringLiteral("Æther"),
    QStringLiteral("2024"),
    QStringLiteral("C:\\fstab"),
};

QString RandomText(QRandomGenerator& random, int words) {
    QStringList text;
    for (int i = 0; i < words; ++i)
        text << kWords[random.bounded(int(kWords.size()))];
    return text.join(random.bounded(2) ? QStringLiteral(" ") : QStringLiteral(", "));
}

QString RandomKeyword(QRandomGenerator& random) {
    QString keyword = RandomText(random, random.bounded(1, 3));
    switch (random.bounded(3)) {
    case 0: // a beginning of a word
        return keyword.left(random.bounded(1, int(keyword.size()) + 1));
    case 1: // a phrase
        return QLatin1Char('"') + keyword + QLatin1Char('"');
    default:
        return keyword.toUpper();
    }
}

} // namespace

class TestTextSearch : public QObject {
    Q_OBJECT

private slots:
    void oneFoldingForTextsAndKeywords_data();
    void oneFoldingForTextsAndKeywords();
    void keywordSyntaxIsText_data();
    void keywordSyntaxIsText();
    void everyEngineFindsWhatReadingEveryCardFinds_data();
    void everyEngineFindsWhatReadingEveryCardFinds();
    void pagesOfFoundCardsFromAnywhere_data();
    void pagesOfFoundCardsFromAnywhere();
    void indexKeptByAnotherProgramsWrites_data();
    void indexKeptByAnotherProgramsWrites();
    void staleIndexFallsBackUntilTheFirstWrite();
    void serverCatchesUpWithAnotherProgramsWrites();
    void serverWordsOfManyBatchesAndTheirBackup();
    void occurrencesToHighlight_data();
    void occurrencesToHighlight();
    void mostFoundByAKeyword_data();
    void mostFoundByAKeyword();
};

void TestTextSearch::oneFoldingForTextsAndKeywords_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("found");
    const struct {
        const char* name;
        const char16_t* text;
        const char16_t* keyword;
        bool found;
    } cases[] = {
        {"accents and capitals", u"Un ÉTÉ à Noël", u"ete noel", true},
        {"capital with accent in the keyword", u"l'été", u"ÉTÉ", true},
        {"cedilla", u"GARÇON", u"garcon", true},
        {"accent written apart", u"e\u0301te\u0301", u"été", true},
        {"œ and æ written out", u"CŒUR ÆTHER", u"coeur aether", true},
        {"ß written out", u"Straße", u"STRASSE", true},
        {"ss found as ß", u"strasse", u"straße", true},
        {"ligature fi", u"ﬁchier", u"fichier", true},
        {"dotless ı", u"ıstanbul", u"ISTANBUL", true},
        {"dotted İ", u"İzmir", u"izmir", true},
        {"non-breaking space separates", u"mot\u00A0clé", u"\"mot cle\"", true},
        {"typographic apostrophe", u"l’été", u"\"l'ete\"", true},
        {"straight apostrophe", u"l'hiver", u"hiver", true},
        {"beginning of a word", u"configuration", u"config", true},
        {"not inside a word", u"reconfigurer", u"config", false},
        {"every word needed", u"fstab", u"fstab crontab", false},
        {"words in title or text", u"fstab", u"FSTAB TITRE", true},
        {"phrase in order", u"clé de registre", u"\"clé de registre\"", true},
        {"phrase out of order", u"clé de registre", u"\"registre de clé\"", false},
        {"phrase words are whole", u"clé de registres", u"\"clé de registre\"", false},
        {"phrase does not join title and text", u"registre", u"\"titre registre\"", false},
        {"greek capitals", u"ΣΟΦΊΑ", u"σοφία", true},
    };
    for (const auto& row : cases)
        AddRowsForEachEngine([&](const QString& engine) {
            QTest::addRow("%s: %s", qPrintable(engine), row.name)
                << engine << QString::fromUtf16(row.text) << QString::fromUtf16(row.keyword)
                << row.found;
        });
}

void TestTextSearch::oneFoldingForTextsAndKeywords() {
    QFETCH(QString, engine);
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(bool, found);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection =
        FreshCollection(engine, {{1, "WIN", "TITRE", text}, {2, "WIN", "AUTRE", "rien"}});
    QCOMPARE(Searched(*collection, keyword), found ? QList<qint64>{1} : QList<qint64>{});
}

void TestTextSearch::keywordSyntaxIsText_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint64>>("found");
    const struct {
        const char* keyword;
        QList<qint64> found;
    } cases[] = {
        {"", {}},          {"   ", {}},      {"\"", {}},        {"\"\"", {}},
        {"*", {}},         {"-", {}},        {":^()", {}},      {"and", {1}},
        {"NOT", {2}},      {"NOT AND", {}},  {"OR", {}},        {"c:windows", {3}},
        {"x^2", {4}},      {"(carré)", {4}}, {"near(a", {5}},   {"-near", {5}},
        {"\"near a", {5}}, {"config*", {6}}, {"a:", {1, 2, 5}}, {"\"\"and\"\"", {1}},
    };
    for (const auto& row : cases)
        AddRowsForEachEngine([&](const QString& engine) {
            QTest::addRow("%s: [%s]", qPrintable(engine), row.keyword)
                << engine << QString::fromUtf8(row.keyword) << row.found;
        });
}

void TestTextSearch::keywordSyntaxIsText() {
    QFETCH(QString, engine);
    QFETCH(QString, keyword);
    QFETCH(QList<qint64>, found);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection =
        FreshCollection(engine, {{1, "WIN", "COPIER AND COLLER", ""},
                                 {2, "WIN", "NOT", "a number"},
                                 {3, "WIN", "CHEMIN", "C:\\Windows"},
                                 {4, "MAT", "CALCUL", "x^2 (carré)"},
                                 {5, "INT", "NEAR(a b)", ""},
                                 {6, "INT", "RÉSEAU", "config*"}});
    QCOMPARE(Searched(*collection, keyword), found);
}

void TestTextSearch::everyEngineFindsWhatReadingEveryCardFinds_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1U, 2U, 3U})
        AddRowsForEachEngine([&](const QString& engine) {
            QTest::addRow("%s: seed %u", qPrintable(engine), seed) << engine << seed;
        });
}

void TestTextSearch::everyEngineFindsWhatReadingEveryCardFinds() {
    QFETCH(QString, engine);
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QList<Card> cards;
    for (qint64 numero = 1; numero <= 80; numero += random.bounded(1, 3))
        cards << Card{numero, "WIN", RandomText(random, random.bounded(0, 3)),
                      RandomText(random, random.bounded(0, 12))};
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
    if (engine == QLatin1String("sqlite"))
        QVERIFY(
            Schema::TextIndexIsCurrent(dynamic_cast<SqliteCollection&>(*collection).connection()));
    for (int i = 0; i < 60; ++i) {
        const QString keyword = RandomKeyword(random);
        QVERIFY2(Searched(*collection, keyword) == Scanned(cards, keyword), qPrintable(keyword));
    }
}

// More cards found than a page: the first rows, which an engine may read with the count, must
// page as every later read does.
void TestTextSearch::pagesOfFoundCardsFromAnywhere_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("upward");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("skip");
    QTest::addColumn<qint64>("count");
    const struct {
        const char* name;
        bool upward;
        qint64 from, skip, count;
    } pages[] = {
        {"first page", true, std::numeric_limits<qint64>::min(), 0, 300},
        {"second page", true, std::numeric_limits<qint64>::min(), 300, 300},
        {"across the first rows' end", true, 2, 250, 100},
        {"from a card not found", true, 500, 0, 300},
        {"past the last", true, 2000, 0, 300},
        {"last rows, downward", false, kAll, 0, 300},
        {"downward from the middle", false, 600, 10, 50},
    };
    for (const auto& page : pages)
        AddRowsForEachEngine([&](const QString& engine) {
            QTest::addRow("%s: %s", qPrintable(engine), page.name)
                << engine << page.upward << page.from << page.skip << page.count;
        });
}

void TestTextSearch::pagesOfFoundCardsFromAnywhere() {
    QFETCH(QString, engine);
    QFETCH(bool, upward);
    QFETCH(qint64, from);
    QFETCH(qint64, skip);
    QFETCH(qint64, count);
    // Every second card holds the word: 700 found among 1,400.
    QList<Card> cards;
    QList<qint64> found;
    for (qint64 numero = 1; numero <= 1400; ++numero) {
        cards << Card{numero, "WIN", QStringLiteral("Fiche %1").arg(numero),
                      numero % 2 ? QStringLiteral("un pare-feu") : QStringLiteral("rien")};
        if (numero % 2)
            found << numero;
    }
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
    const FoundCards search = collection->SearchTexts(
        Selection::AllCards(), TextQuery::Parse(QStringLiteral("pare-feu")), kAll);
    QCOMPARE(search.count, found.size());
    QList<qint64> expected;
    if (upward) {
        for (const qint64 numero : found)
            if (numero >= from)
                expected << numero;
    } else {
        for (auto numero = found.crbegin(); numero != found.crend(); ++numero)
            if (*numero <= from)
                expected << *numero;
    }
    expected = expected.mid(skip, count);
    QList<qint64> read;
    for (const CardRow& row :
         upward ? search.rows->Upward(from, skip, count) : search.rows->Downward(from, skip, count))
        read << row.numero;
    QCOMPARE(read, expected);
}

void TestTextSearch::indexKeptByAnotherProgramsWrites_data() {
    QTest::addColumn<QByteArray>("sql");
    QTest::newRow("insert") << QByteArray("INSERT INTO TrucPivane VALUES (20, 'WIN', 'ÉTÉ', "
                                          "'Straße cœur')");
    QTest::newRow("insert or replace") << QByteArray("INSERT OR REPLACE INTO TrucPivane VALUES "
                                                     "(1, 'WIN', 'CŒUR', 'ﬁchier')");
    QTest::newRow("insert or ignore on a taken number")
        << QByteArray("INSERT OR IGNORE INTO TrucPivane VALUES (2, 'WIN', 'NOUVEAU', 'x')");
    QTest::newRow("text changed") << QByteArray("UPDATE TrucPivane SET Pivanes = 'cité' WHERE "
                                                "Numero IN (1, 3)");
    QTest::newRow("text without value")
        << QByteArray("UPDATE TrucPivane SET Pivanes = NULL WHERE Numero = 2");
    QTest::newRow("number changed onto a taken one")
        << QByteArray("UPDATE OR REPLACE TrucPivane SET Numero = 2 WHERE Numero = 3");
    QTest::newRow("replace with recursive triggers")
        << QByteArray("PRAGMA recursive_triggers = ON; REPLACE INTO TrucPivane VALUES (2, 'WIN', "
                      "'X', 'config')");
    QTest::newRow("deleted") << QByteArray("DELETE FROM TrucPivane WHERE Numero IN (1, 2)");
    QTest::newRow("text stored as a number")
        << QByteArray("UPDATE TrucPivane SET Pivanes = 2024 WHERE Numero = 3");
}

// Written by the sqlite3 library of another program, the cards are found through the index as a
// reading of every card finds them.
void TestTextSearch::indexKeptByAnotherProgramsWrites() {
    QFETCH(QByteArray, sql);
    TemporaryFolder folder;
    WriteCollection({{1, "WIN", "CONFIG", "l'été à Noël"},
                     {2, "MAT", "CITÉ", "Straße, configuration"},
                     {3, "INT", "2024", "cœur ﬁchier"}});
    QCOMPARE(RunElsewhere(sql), SQLITE_OK);
    SqliteCollection collection(QStringLiteral("Pivane.mdb"));
    QVERIFY(Schema::TextIndexIsCurrent(collection.connection()));
    const QList<Card> cards = StoredCards(collection);
    for (const char* keyword :
         {"ete", "STRASSE", "coeur", "fichier", "config", "cite", "2024", "nouveau", "\"a noel\""})
        QCOMPARE(Searched(collection, QString::fromUtf8(keyword)),
                 Scanned(cards, QString::fromUtf8(keyword)));
}

// A card written by a program that dropped a trigger first is found all the same, by reading
// every card, until the program's next write makes the index again. Opening and searching write
// nothing.
void TestTextSearch::staleIndexFallsBackUntilTheFirstWrite() {
    TemporaryFolder folder;
    WriteCollection({{1, "WIN", "FSTAB", "montage"}});
    QCOMPARE(RunElsewhere("DROP TRIGGER TrucPivane_Mots_Ajout; "
                          "INSERT INTO TrucPivane VALUES (2, 'WIN', 'CRON', 'crontab à l’été')"),
             SQLITE_OK);
    const QByteArray before = FileBytes(QStringLiteral("Pivane.mdb"));
    {
        SqliteCollection collection(QStringLiteral("Pivane.mdb"));
        QVERIFY(!Schema::TextIndexIsCurrent(collection.connection()));
        QCOMPARE(Searched(collection, QStringLiteral("CRONTAB ETE")), QList<qint64>{2});
    }
    QCOMPARE(FileBytes(QStringLiteral("Pivane.mdb")), before);
    SqliteCollection collection(QStringLiteral("Pivane.mdb"));
    collection.Add({QStringLiteral("WIN"), QStringLiteral("NOUVEAU"), QStringLiteral("crontab")});
    QVERIFY(Schema::TextIndexIsCurrent(collection.connection()));
    QCOMPARE(Searched(collection, QStringLiteral("crontab")), (QList<qint64>{2, 3}));
}

// On the server, another program's writes leave the cards' words empty; the next search fills
// them and finds the cards by them. A role that may not fill them reads every card instead.
void TestTextSearch::serverCatchesUpWithAnotherProgramsWrites() {
    const std::unique_ptr<Collection> collection =
        FreshCollection(QStringLiteral("postgres"),
                        {{1, "WIN", "FSTAB", "montage"}, {2, "WIN", "CRON", "crontab"}});
    const QString server = collection->Place().name;
    RunPsql(server, "INSERT INTO trucpivane (numero, cate, titre, pivanes) VALUES "
                    "(3, 'WIN', 'ÉTÉ', 'Straße crontab'); "
                    "UPDATE trucpivane SET pivanes = 'plus rien' WHERE numero = 2");
    QCOMPARE(RunPsql(server, "SELECT count(*) FROM trucpivane_mots WHERE mots IS NULL"), "2");
    const QString reader = QStringLiteral("lecteur_%1").arg(QCoreApplication::applicationPid());
    RunPsql(server, QStringLiteral("DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN "
                                   "duplicate_object THEN NULL; END $$; GRANT SELECT ON "
                                   "trucpivane, trucpivane_titres, trucpivane_comptes, "
                                   "trucpivane_mots TO %1")
                        .arg(reader));
    const std::unique_ptr<Collection> readOnly = Collection::Open(CollectionPlace::Server(
        QString(server).replace(QStringLiteral("user=postgres"), "user=" + reader)));
    QCOMPARE(Searched(*readOnly, QStringLiteral("crontab strasse")), QList<qint64>{3});
    QCOMPARE(RunPsql(server, "SELECT count(*) FROM trucpivane_mots WHERE mots IS NULL"), "2");
    QCOMPARE(Searched(*collection, QStringLiteral("crontab strasse")), QList<qint64>{3});
    QCOMPARE(Searched(*collection, QStringLiteral("CRONTAB")), QList<qint64>{3});
    QCOMPARE(RunPsql(server, "SELECT count(*) FROM trucpivane_mots WHERE mots IS NULL"), "0");
}

// More cards than one batch of words: each batch takes up after the last. The backup leaves its
// text index to the first write, and finds the same cards meanwhile.
void TestTextSearch::serverWordsOfManyBatchesAndTheirBackup() {
    QList<Card> cards;
    QList<qint64> numbers;
    for (qint64 numero = 1; numero <= 1234; ++numero) {
        cards << Card{numero, "WIN", QStringLiteral("T%1").arg(numero),
                      numero % 3 == 0 ? QStringLiteral("un été") : QStringLiteral("hiver")};
        if (numero % 3 == 0)
            numbers << numero;
    }
    TemporaryFolder folder;
    const std::unique_ptr<Collection> server = FreshCollection(QStringLiteral("postgres"), cards);
    QCOMPARE(Searched(*server, QStringLiteral("ete")), numbers);
    const QString backup = folder.Path(QStringLiteral("COPIE.MDB"));
    QCOMPARE(server->SnapshotInto(backup), cards.size());
    SqliteCollection copy(backup);
    QVERIFY(!Schema::TextIndexIsCurrent(copy.connection()));
    QCOMPARE(Searched(copy, QStringLiteral("ete")), numbers);
    numbers << copy.Add({QStringLiteral("WIN"), QStringLiteral("ÉTÉ"), {}});
    QVERIFY(Schema::TextIndexIsCurrent(copy.connection()));
    QCOMPARE(Searched(copy, QStringLiteral("ete")), numbers);
}

void TestTextSearch::occurrencesToHighlight_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<TextSpan>>("spans");
    QTest::newRow("beginnings of words, accents kept")
        << "Été, ÉTÉS et étés"
        << "ete" << QList<TextSpan>{{0, 3}, {5, 3}, {13, 3}};
    QTest::newRow("a phrase, blanks between included")
        << "la clé  de registre"
        << "\"cle de registre\"" << QList<TextSpan>{{3, 16}};
    QTest::newRow("written out: ß stands for ss") << "Straße"
                                                  << "strass" << QList<TextSpan>{{0, 5}};
    QTest::newRow("accent written apart belongs to its letter") << "e\u0301te\u0301s"
                                                                << "ete" << QList<TextSpan>{{0, 5}};
    QTest::newRow("nothing inside a word") << "reconfig"
                                           << "config" << QList<TextSpan>{};
}

void TestTextSearch::occurrencesToHighlight() {
    QFETCH(QString, text);
    QFETCH(QString, keyword);
    QFETCH(QList<TextSpan>, spans);
    QCOMPARE(TextQuery::Parse(keyword).Occurrences(text), spans);
}

PIVANES_ENGINE_TEST_MAIN(TestTextSearch)
#include "tst_TextSearch.moc"

void TestTextSearch::mostFoundByAKeyword_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<double>("share");
    QTest::addRow("a listed word, and those it begins") << "SÉCURITÉ" << 0.12;
    QTest::addRow("a word the list lacks is rare") << "kangourou" << 0.0;
    QTest::addRow("a beginning: every word it begins") << "mémo" << 0.17;
    QTest::addRow("a beginning of fewer words") << "memoi" << 0.15;
    QTest::addRow("all the words together at most") << "me" << 1.0;
    QTest::addRow("every word of a keyword: the rarest") << "fichier secu" << 0.12;
    QTest::addRow("a phrase: whole words only") << "\"memoire fichier\"" << 0.10;
    QTest::addRow("a word that reads as NULL") << "NULL" << 0.07;
    QTest::addRow("no word at all") << "« »" << 0.0;
}

void TestTextSearch::mostFoundByAKeyword() {
    QFETCH(QString, keyword);
    QFETCH(double, share);
    // As a server's statistics list them: in any order, ending with figures of their own.
    const WordShares wordShares(
        {"memoire", "memo", "securite", "null", "memoires", "fichier", "mezzo", "mercure"},
        {0.10, 0.02, 0.12, 0.07, 0.05, 0.30, 0.6, 0.6, 0.01, 0.6, 0});
    QCOMPARE(wordShares.MostFoundBy(TextQuery::Parse(keyword)), share);
}
