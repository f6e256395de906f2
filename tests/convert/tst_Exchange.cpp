// Cards taken out and brought back in through every exchange format, on every engine.
#include "EngineTestSupport.h"

#include "convert/Exchange.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>

namespace {

using Fields = QList<std::optional<QString>>;

QList<Fields> CardsOf(Collection& collection) {
    QList<Fields> cards;
    collection.EachCard([&](const StoredCard& card) {
        cards.append({QString::number(card.numero), card.cate, card.titre, card.pivanes});
    });
    return cards;
}

// What a format that writes a missing value empty gives back.
QList<Fields> MissingAsEmpty(QList<Fields> cards) {
    for (Fields& card : cards)
        for (std::optional<QString>& field : card)
            field = field.value_or(QString());
    return cards;
}

// Texts that have broken exports elsewhere: separators, quotes, every line end, front-matter and
// heading marks, control characters, and characters outside the basic plane.
QString HostileText(QRandomGenerator& random, int length) {
    static const QStringList pieces = {
        "\"",  ",",     "\r\n", "\r", "\n", "---",  "\n---\n", "# ",   "\t", "'",    ";",   "\\",
        "<b>", "&amp;", "é",    "œ",  "😀",  "\x01", "\x1f",    "\x7f", " ",  "\"\"", "},{", "null"};
    QString text;
    while (text.size() < length)
        text += random.bounded(3) == 0 ? QString(QChar(0x20 + random.bounded(0x5f)))
                                       : pieces[random.bounded(pieces.size())];
    return text;
}

StoredCard RandomCard(QRandomGenerator& random, qint64 numero) {
    static const QStringList codes = {"WIN", "MAT", "OPEN", "OFFI", "WORD", ""};
    const auto maybe = [&](const QString& value) {
        return random.bounded(8) == 0 ? std::nullopt : std::optional<QString>(value);
    };
    return {numero, maybe(codes[random.bounded(codes.size())]),
            maybe(HostileText(random, random.bounded(60)).left(100)),
            maybe(HostileText(random, random.bounded(400))), 0};
}

// A collection on the engine holding the cards as given, missing values included.
std::unique_ptr<Collection> CollectionOf(const QString& engine, const QList<StoredCard>& cards) {
    std::unique_ptr<Collection> collection = FreshCollection(engine, {});
    qsizetype next = 0;
    collection->Import([&](StoredCard& card) {
        if (next == cards.size())
            return false;
        card = cards[next++];
        return true;
    });
    return collection;
}

struct Said {
    int code;
    QString out;
    QString err;
};

Said Run(bool import, const CollectionPlace& place, const QString& file,
         Exchange::Duplicates duplicates = Exchange::Duplicates::LeftOut) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = import ? Exchange::Import(place, file, duplicates, outStream, errStream)
                            : Exchange::Export(place, file, outStream, errStream);
    return {code, out, err};
}

} // namespace

class TestExchange : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { AddEngineRows(); }
    void aRoundTripGivesBackTheSameCards_data();
    void aRoundTripGivesBackTheSameCards();
    void aBadCardStopsTheImport_data();
    void aBadCardStopsTheImport();
    void anExportNeverWritesOverAnything_data();
    void anExportNeverWritesOverAnything();
    void intoACollectionWithCardsNumbersFollowTheHighest_data();
    void intoACollectionWithCardsNumbersFollowTheHighest();
    void anHtmlPageShowsEachCardOnceUnderItsCategory();
};

void TestExchange::aRoundTripGivesBackTheSameCards_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("keepsMissing");
    QTest::addColumn<QString>("outsideReader"); // a Python program that must read the file
    QTest::newRow("JSON")
        << "fiches.json" << true
        << "import json,sys; print(len(json.load(open(sys.argv[1], encoding='utf-8'))))";
    QTest::newRow("collection") << "fiches.mdb" << true << "";
    QTest::newRow("CSV") << "fiches.csv" << false
                         << "import csv,sys; csv.field_size_limit(sys.maxsize); "
                            "print(len(list(csv.reader(open(sys.argv[1], "
                            "newline='', encoding='utf-8')))) - 1)";
    QTest::newRow("Markdown") << "fiches/" << false << "";
}

void TestExchange::aRoundTripGivesBackTheSameCards() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QString, name);
    QFETCH(bool, keepsMissing);
    QFETCH(QString, outsideReader);
    TemporaryFolder folder;
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    QList<StoredCard> cards;
    qint64 numero = 0;
    for (int i = 0; i < 40; ++i)
        cards << RandomCard(random, numero += 1 + random.bounded(5));
    cards[7].pivanes = HostileText(random, 1 << 20);
    // Another program's numbers go beyond 32 bits: what is written out comes back in.
    cards.back().numero = std::numeric_limits<qint64>::max();
    const std::unique_ptr<Collection> source = CollectionOf(engine, cards);

    const Said exported = Run(false, source->Place(), name);
    QVERIFY2(exported.code == 0, qPrintable(exported.err));
    QVERIFY(exported.out.contains("40 fiche(s)"));
    if (!outsideReader.isEmpty()) {
        QProcess python;
        python.start("python3", {"-c", outsideReader, name});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.readAllStandardOutput().trimmed(), "40");
    }

    const std::unique_ptr<Collection> target = FreshCollection(engine, {});
    const Said imported = Run(true, target->Place(), name);
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    QVERIFY(imported.out.contains("avec leurs numéros"));
    const QList<Fields> expected =
        keepsMissing ? CardsOf(*source) : MissingAsEmpty(CardsOf(*source));
    const QList<Fields> got = keepsMissing ? CardsOf(*target) : MissingAsEmpty(CardsOf(*target));
    QVERIFY2(got == expected, qPrintable(QStringLiteral("graine %1").arg(seed)));
}

void TestExchange::aBadCardStopsTheImport_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("told");
    const QByteArray header = "numero,categorie,nom_categorie,titre,texte\r\n";
    const QByteArray good = "1,WIN,Windows,\"deux\r\nlignes\",texte\r\n";
    QTest::newRow("CSV row short of a field")
        << "f.csv" << header + good + "2,WIN,Windows,titre\r\n"
        << "ligne 4 de « f.csv » : 4 champ(s) au lieu de 5";
    QTest::newRow("CSV category not in the catalogue")
        << "f.csv" << header + good + "2,XYZ,,t,x\r\n"
        << "ligne 4 de « f.csv » : la catégorie « XYZ »";
    QTest::newRow("CSV title over the limit")
        << "f.csv" << header + "1,WIN,," + QByteArray(101, 'T') + ",x\r\n"
        << "ligne 2 de « f.csv » : le titre a 101 caractères";
    QTest::newRow("CSV invalid UTF-8")
        << "f.csv" << header + good + "2,WIN,,t,\xff\xfe\r\n"
        << "ligne 4 de « f.csv » : le champ texte n'est pas en UTF-8";
    QTest::newRow("CSV quote never closed") << "f.csv" << header + "1,WIN,,\"t,x\r\n"
                                            << "un guillemet ouvert n'est jamais fermé";
    QTest::newRow("CSV without its header")
        << "f.csv" << good << "ligne 1 de « f.csv » : l'en-tête";
    QTest::newRow("JSON invalid UTF-8")
        << "f.json" << QByteArray("[\n{\"numero\": 1, \"titre\": \"\xc3\"}\n]")
        << "ligne 2 de « f.json » : le texte n'est pas en UTF-8";
    QTest::newRow("JSON number not whole")
        << "f.json" << QByteArray(R"([{"numero": 1}, {"numero": 2.5}])") << "fiche 2 du tableau";
    QTest::newRow("Markdown without its header")
        << "dossier/Windows/1.md" << QByteArray("# titre\n")
        << "1.md » : le fichier ne commence pas";
    QTest::newRow("HTML page") << "f.html" << QByteArray("<html></html>") << "une page à lire";
}

// Nothing comes in, and the message says where and what is wrong.
void TestExchange::aBadCardStopsTheImport() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, told);
    TemporaryFolder folder;
    QDir().mkpath(QFileInfo(name).path());
    WriteBytes(name, bytes);
    const std::unique_ptr<Collection> collection = FreshCollection(engine, CardsIn({{"MAT", 2}}));
    const QString file = name.startsWith("dossier") ? QStringLiteral("dossier") : name;
    const Said said = Run(true, collection->Place(), file);
    QCOMPARE(said.code, 1);
    QVERIFY2(said.err.contains(told), qPrintable(said.err));
    QVERIFY(said.err.contains("Rien n'a été importé"));
    QCOMPARE(StoredCards(*collection), CardsIn({{"MAT", 2}}));
}

void TestExchange::anExportNeverWritesOverAnything_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("present"); // a file there before
    QTest::newRow("an existing file") << "f.csv"
                                      << "f.csv";
    QTest::newRow("a folder holding a file") << "d/"
                                             << "d/x";
    QTest::newRow("an existing folder holding a file") << "d"
                                                       << "d/x";
    QTest::newRow("an unknown format") << "f.txt"
                                       << "autre";
}

void TestExchange::anExportNeverWritesOverAnything() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(QString, name);
    QFETCH(QString, present);
    TemporaryFolder folder;
    QDir().mkpath(QFileInfo(present).path());
    WriteBytes(present, "garde");
    const std::unique_ptr<Collection> collection = FreshCollection(engine, CardsIn({{"MAT", 2}}));
    const Said said = Run(false, collection->Place(), name);
    QCOMPARE(said.code, 1);
    QVERIFY(said.err.contains("Rien n'a été"));
    QCOMPARE(FileBytes(present), "garde");
    QCOMPARE(QDir(".").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).filter("export"),
             QStringList());
}

void TestExchange::intoACollectionWithCardsNumbersFollowTheHighest_data() {
    QTest::addColumn<int>("existing"); // cards of the collection before: MAT 1, MAT 2...
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("duplicatesAdded");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QList<Card>>("added");
    const QByteArray header = "numero,categorie,nom_categorie,titre,texte\r\n";
    const QList<Card> two = {{4, "WIN", "un", ""}, {5, "INT", "sept", ""}};
    QTest::newRow("CSV numbers unused")
        << 3 << "f.csv" << header + "1,WIN,,un,\r\n7,INT,,sept,\r\n"
        << false << "2 fiche(s), fiches N° 4 à 5, numérotées après" << two;
    QTest::newRow("CSV without the numero column")
        << 3 << "f.csv"
        << QByteArray("categorie,nom_categorie,titre,texte\r\nWIN,,un,\r\nINT,,sept,\r\n") << false
        << "fiches N° 4 à 5" << two;
    QTest::newRow("CSV numbers empty and beyond 32 bits")
        << 3 << "f.csv" << header + ",WIN,,un,\r\n9223372036854775807,INT,,sept,\r\n"
        << false << "fiches N° 4 à 5" << two;
    QTest::newRow("JSON numbers absent and null")
        << 3 << "f.json" << QByteArray(R"([{"categorie": "WIN", "titre": "un", "texte": ""},
                          {"numero": null, "categorie": "INT", "titre": "sept", "texte": ""}])")
        << false << "fiches N° 4 à 5" << two;
    QTest::newRow("Markdown without a number")
        << 3 << "dossier/Windows/un.md" << QByteArray("---\ncategorie: WIN\ntitre: un\n---\n")
        << false << "1 fiche(s), fiche N° 4," << QList<Card>{two.front()};
    const QByteArray withTwin =
        header + "1,WIN,,un,\r\n2,MAT,,MAT 2,\"Texte 2\r\nLigne 2\r\n\"\r\n";
    QTest::newRow("a card already there left out")
        << 3 << "f.csv" << withTwin << false
        << "fiche N° 4, numérotées après la dernière fiche de la collection, qui en avait déjà : "
           "leurs numéros ont changé ; 1 fiche identique (catégorie, titre et texte) à une fiche "
           "déjà dans la collection n'a pas été ajoutée"
        << QList<Card>{two.front()};
    QTest::newRow("a card already there added all the same")
        << 3 << "f.csv" << withTwin << true << "fiches N° 4 à 5"
        << QList<Card>{two.front(), {5, "MAT", "MAT 2", "Texte 2\r\nLigne 2\r\n"}};
    QTest::newRow("no number into an empty collection")
        << 0 << "f.csv" << header + "1,WIN,,un,\r\n,INT,,sept,\r\n"
        << false << "ligne 3 de « f.csv » : la fiche n'a pas de numéro" << QList<Card>{};
}

// The file's numbers are not used: it may give none, and the message says which numbers the
// cards got and how many were left out as already there.
void TestExchange::intoACollectionWithCardsNumbersFollowTheHighest() {
    QFETCH_GLOBAL(QString, engine);
    QFETCH(int, existing);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, duplicatesAdded);
    QFETCH(QString, said);
    QFETCH(QList<Card>, added);
    TemporaryFolder folder;
    QDir().mkpath(QFileInfo(name).path());
    WriteBytes(name, bytes);
    const QList<Card> before = CardsIn({{"MAT", existing}});
    const std::unique_ptr<Collection> collection = FreshCollection(engine, before);
    const Said told =
        Run(true, collection->Place(), name.startsWith("dossier") ? "dossier" : name,
            duplicatesAdded ? Exchange::Duplicates::Added : Exchange::Duplicates::LeftOut);
    QCOMPARE(told.code, added.isEmpty() ? 1 : 0);
    QVERIFY2((told.out + told.err).contains(said), qPrintable(told.out + told.err));
    QCOMPARE(StoredCards(*collection), before + added);
}

// Read by a real HTML parser: the headings in catalogue order, the texts as stored, tags shown as
// text.
void TestExchange::anHtmlPageShowsEachCardOnceUnderItsCategory() {
    QFETCH_GLOBAL(QString, engine);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection =
        FreshCollection(engine, {{1, "MAT", "<b>gras</b>", "a\r\nb"},
                                 {2, "WIN", "deux", "c"},
                                 {3, "XYZ", "trois", ""},
                                 {4, "WIN", "quatre", "d & e"}});
    QCOMPARE(Run(false, collection->Place(), "f.html").code, 0);
    QProcess python;
    python.start("python3", {"-c", R"(
import html.parser, sys
class Page(html.parser.HTMLParser):
    tag = None
    def handle_starttag(self, tag, attrs): self.tag = tag
    def handle_data(self, data):
        if self.tag in ('h2', 'h3', 'p') and data.strip(): print(repr(data))
        self.tag = None
Page().feed(open(sys.argv[1], encoding='utf-8').read()))",
                             "f.html"});
    QVERIFY(python.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             QStringList({"'Windows (2 fiche(s))'", "'N° 2 : deux'", "'c'", "'N° 4 : quatre'",
                          "'d & e'", "'Materiel (1 fiche(s))'", "'N° 1 : <b>gras</b>'", "'a\\nb'",
                          "'Catégorie « XYZ » (1 fiche(s))'", "'N° 3 : trois'"}));
}

PIVANES_ENGINE_TEST_MAIN(TestExchange)
#include "tst_Exchange.moc"
