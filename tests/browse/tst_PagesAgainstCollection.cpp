// The grid screens read each page from the table; here every page they show is checked against
// the straightforward way: read every card of the file, keep those the screen lists, then cut the
// pages out of that list. Collections, keywords and paging commands are random; the seed is
// logged, and PIVANES_SEED replays a run.
#include "../edit/CardFormTesting.h"
#include "GridTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/CardList.h"
#include "browse/GridPaging.h"
#include "browse/SearchKeyword.h"
#include "browse/SearchWindow.h"
#include "edit/CardPicker.h"
#include "platform/Application.h"
#include "platform/Blanks.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/SqliteCollection.h"

#include <QRandomGenerator>
#include <sqlite3.h>

namespace {

enum class GridScreen { List, Search, Picker };
// What the file's title index is when the screen opens.
enum class Index {
    Current,        // made with the file, kept by the program's writes
    OthersWrote,    // another program changed titles and rows, the triggers keeping the index
    Missing,        // the file was made without it
    Stale,          // another program dropped the triggers, then changed titles and rows
    RebuiltByWrite, // stale, then the program wrote a card
};

struct Stored {
    qint64 numero;
    QByteArray cate;
    QByteArray title; // empty for a title without value
};

const char* const kCodes[] = {"WIN", "MAT", "INT"};
const char* const kMenuItems[] = {"Windows", "Materiel", "Internet"};
const char* const kButtons[] = {"Windows", "Materiel", "Internet"};

// Pieces of titles: capitals, small letters, accents, blanks (inside and around), quotes.
const char* const kPieces[] = {"A",  "B",  "AB", "BA", "É", "é",  "a", "ÉTÉ", " ",
                               "  ", "\"", "*",  "Ü",  "X", "XY", "ß", "1"};

quint32 SeedOfRun() {
    static const quint32 seed = [] {
        bool given = false;
        const quint32 fromEnvironment = qEnvironmentVariable("PIVANES_SEED").toUInt(&given);
        const quint32 chosen = given ? fromEnvironment : QRandomGenerator::global()->generate();
        qInfo("PIVANES_SEED=%u", chosen);
        return chosen;
    }();
    return seed;
}

QString RandomTitle(QRandomGenerator& random) {
    QString title;
    const int pieces = random.bounded(0, 7);
    for (int i = 0; i < pieces; ++i)
        title += QString::fromUtf8(kPieces[random.bounded(int(std::size(kPieces)))]);
    return title;
}

// Sizes near page boundaries are the interesting ones.
int RandomSize(QRandomGenerator& random) {
    static const int kNear[] = {0, 1, 299, 300, 301, 599, 600, 601, 899, 900, 901, 1200};
    if (random.bounded(3) == 0)
        return random.bounded(0, 1400);
    return kNear[random.bounded(int(std::size(kNear)))] + random.bounded(0, 3);
}

// Most cards go to the category the screen will list, so that it has pages too.
QList<Card> RandomCards(QRandomGenerator& random, int size, int category) {
    QList<Card> cards;
    qint32 numero = random.bounded(1, 5);
    for (int i = 0; i < size; ++i) {
        const int code = random.bounded(4) ? category : random.bounded(3);
        cards.append({numero, QString::fromLatin1(kCodes[code]), RandomTitle(random),
                      QStringLiteral("texte")});
        numero += random.bounded(3) == 0 ? random.bounded(2, 9) : 1;
    }
    return cards;
}

void Execute(const QByteArray& sql) {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open("Pivane.mdb", &db), SQLITE_OK);
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    const QByteArray error = sqlite3_errmsg(db);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, error.constData());
}

// Changes another program may make: titles without value, changed titles, removed cards,
// cards put in place of others, a card appended.
void OtherProgramWrites() {
    Execute("UPDATE TrucPivane SET Titre = NULL WHERE Numero % 7 = 3;"
            "UPDATE TrucPivane SET Titre = 'AB ' || Titre WHERE Numero % 5 = 1;"
            "DELETE FROM TrucPivane WHERE Numero % 11 = 2;"
            "INSERT OR REPLACE INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
            "SELECT Numero, Cate, 'ÉTÉ ' || Numero, 'x' FROM TrucPivane WHERE Numero % 13 = 4;"
            "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
            "SELECT max(Numero) + 1, 'WIN', 'ABA', 'y' FROM TrucPivane;");
}

void DropTriggers() {
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open("Pivane.mdb", &db), SQLITE_OK);
    sqlite3_stmt* triggers = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'trigger'", -1, &triggers,
                       nullptr);
    QByteArrayList names;
    while (sqlite3_step(triggers) == SQLITE_ROW)
        names << reinterpret_cast<const char*>(sqlite3_column_text(triggers, 0));
    sqlite3_finalize(triggers);
    sqlite3_close(db);
    QVERIFY(!names.isEmpty());
    for (const QByteArray& name : names)
        Execute("DROP TRIGGER \"" + name + "\"");
}

void DropIndex() {
    DropTriggers();
    Execute("DROP TABLE TrucPivane_Titres");
}

// The program's own write: the last card retitled, as the card editor saves it.
void ProgramWrites() {
    const std::unique_ptr<Collection> cards = Collection::OpenLocal(QStringLiteral("Pivane.mdb"));
    const qint64 last = cards->Count(Selection::AllCards()).last;
    cards->Update(*cards->ReadCard(last), {{}, QStringLiteral("ÉTÉ MODIFIÉ"), {}});
}

bool IndexIsCurrent() {
    return Schema::TitleIndexIsCurrent(SqliteCollection(QStringLiteral("Pivane.mdb")).connection());
}

QList<Stored> EveryCard() {
    QList<Stored> cards;
    sqlite3* db = nullptr;
    sqlite3_open_v2("Pivane.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db, "SELECT Numero, Cate, Titre FROM TrucPivane ORDER BY Numero", -1, &read,
                       nullptr);
    while (sqlite3_step(read) == SQLITE_ROW) {
        auto text = [read](int column) {
            return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(read, column)),
                              sqlite3_column_bytes(read, column));
        };
        cards.append({sqlite3_column_int64(read, 0), text(1), text(2)});
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    return cards;
}

// The straightforward collection: every card, kept by the screen's rule, in ascending number.
QList<Stored> Expected(GridScreen screen, int category, const QByteArray& keyword) {
    QList<Stored> kept;
    for (const Stored& card : EveryCard()) {
        if (screen == GridScreen::Search) {
            if (!card.title.isEmpty() &&
                QString::fromUtf8(card.title)
                    .contains(QString::fromUtf8(keyword), Qt::CaseInsensitive))
                kept.append(card);
        } else if (card.cate == kCodes[category]) {
            kept.append(card);
        }
    }
    return kept;
}

// A keyword the user might type: part of a title in small or capital letters, or made up.
QString RandomTyped(QRandomGenerator& random, const QList<Card>& cards) {
    QString typed;
    if (!cards.isEmpty() && random.bounded(4) != 0) {
        const QString title = cards.at(random.bounded(int(cards.size()))).Titre;
        const int start = title.isEmpty() ? 0 : random.bounded(int(title.size()));
        typed = title.mid(start, random.bounded(1, 6));
    } else {
        typed = RandomTitle(random);
    }
    return random.bounded(2) ? typed.toLower() : typed;
}

PagedCardGrid* OpenScreen(GridScreen screen, int category, const QString& typed) {
    MainWindow& main = LoadMainWindow();
    switch (screen) {
    case GridScreen::List:
        MenuItem(main, kMenuItems[category])->trigger();
        MenuItem(main, "ListeFiche")->trigger();
        return FindWindow<CardList>();
    case GridScreen::Search: {
        MenuItem(main, "Recher")->trigger();
        SearchWindow* search = FindWindow<SearchWindow>();
        Control<TextBox>(search, "Text1")->SetText(typed);
        QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
        return search;
    }
    case GridScreen::Picker: {
        MenuItem(main, "Ajout")->trigger();
        CardPicker* picker = FindWindow<CardPicker>();
        Press(*picker, kButtons[category]);
        return picker;
    }
    }
    return nullptr;
}

QString Expectation(const QList<Stored>& collected, const GridPaging::Page& page, bool firstPage,
                    bool paged) {
    QStringList rows;
    for (qint32 slot = page.first; slot <= page.last; ++slot) {
        const QString title = QString::fromUtf8(collected.at(slot - 1).title);
        rows << QStringLiteral("%1 [%2]")
                    .arg(collected.at(slot - 1).numero)
                    .arg(firstPage ? title : WithoutEndBlanks(title));
    }
    QStringList commands;
    if (page.suiteShown)
        commands << QStringLiteral("Suite");
    if (page.retourShown)
        commands << QStringLiteral("Retour");
    const QString menus = paged ? QStringLiteral("Menu(%1) Quitter").arg(commands.join(','))
                                : QStringLiteral("Quitter");
    const QString file =
        paged ? QStringLiteral("%1\r\n%2\r\n").arg(page.state.total).arg(page.state.mark)
              : QStringLiteral("missing");
    return QStringLiteral("%1\nN=%2 E=%3 %4\n%5")
        .arg(rows.join('\n'))
        .arg(page.state.total)
        .arg(page.state.mark)
        .arg(menus, file);
}

QString Seen(const PagedCardGrid& screen) {
    const CardGrid& grid = *Control<CardGrid>(screen, "MSFlexGrid1");
    QStringList rows;
    for (int row = 1; row < ShownRows(grid); ++row)
        rows << QStringLiteral("%1 [%2]").arg(ShownText(grid, row, 0), ShownText(grid, row, 1));
    QString after;
    if (ShownRows(grid) >= 1)
        after = ShownText(grid, ShownRows(grid), 0) + ShownText(grid, ShownRows(grid), 1);
    return QStringLiteral("%1%2\nN=%3 E=%4 %5\n%6")
        .arg(rows.join('\n'), after.isEmpty() ? QString() : QStringLiteral(" + ") + after)
        .arg(screen.pageState().total)
        .arg(screen.pageState().mark)
        .arg(OfferedMenus(screen), PageStateFileText());
}

} // namespace

class TestPagesAgainstCollection : public QObject {
    Q_OBJECT

private slots:
    void everyPageIsTheCollectedOne_data();
    void everyPageIsTheCollectedOne();
};

void TestPagesAgainstCollection::everyPageIsTheCollectedOne_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("seed");

    const quint32 seed = SeedOfRun();
    const QList<QPair<GridScreen, Index>> kinds = {
        {GridScreen::List, Index::Current},          {GridScreen::Picker, Index::Current},
        {GridScreen::Search, Index::Current},        {GridScreen::Search, Index::OthersWrote},
        {GridScreen::Search, Index::Missing},        {GridScreen::Search, Index::Stale},
        {GridScreen::Search, Index::RebuiltByWrite}, {GridScreen::List, Index::Stale},
    };
    const char* const kScreenNames[] = {"list", "search", "picker"};
    const char* const kIndexNames[] = {"index", "others wrote", "no index", "stale index",
                                       "rebuilt by a write"};
    constexpr int kRunsPerKind = 8;
    for (const auto& [screen, index] : kinds)
        for (int run = 0; run < kRunsPerKind; ++run)
            QTest::addRow("%s, %s, run %d", kScreenNames[int(screen)], kIndexNames[int(index)], run)
                << int(screen) << int(index)
                << seed + quint32(run * 31 + int(screen) * 7 + int(index));
}

void TestPagesAgainstCollection::everyPageIsTheCollectedOne() {
    QFETCH(int, screen);
    QFETCH(int, index);
    QFETCH(quint32, seed);
    const auto kind = GridScreen(screen);
    QRandomGenerator random(seed);
    ProgramFixture fixture;
    const int category = random.bounded(3);
    const QList<Card> cards = RandomCards(random, RandomSize(random), category);
    WriteCollection(cards);
    switch (Index(index)) {
    case Index::Current:
        break;
    case Index::OthersWrote:
        OtherProgramWrites();
        break;
    case Index::Missing:
        DropIndex();
        break;
    case Index::Stale:
        DropTriggers();
        OtherProgramWrites();
        break;
    case Index::RebuiltByWrite:
        DropTriggers();
        OtherProgramWrites();
        if (!cards.isEmpty())
            ProgramWrites();
        break;
    }
    if (QTest::currentTestFailed())
        return;
    const bool indexed = Index(index) == Index::Current || Index(index) == Index::OthersWrote ||
                         (Index(index) == Index::RebuiltByWrite && !cards.isEmpty());
    QCOMPARE(IndexIsCurrent(), indexed);

    const QString typed = RandomTyped(random, cards);
    const QByteArray keyword = SearchKeyword(typed).toUtf8();
    const QList<Stored> collected = Expected(kind, category, keyword);
    const auto total = qint32(collected.size());
    PagedCardGrid* grid = OpenScreen(kind, category, typed);
    QVERIFY(grid);
    const QByteArray where = QStringLiteral("seed %1, %2 cards, keyword \"%3\"")
                                 .arg(seed)
                                 .arg(total)
                                 .arg(QString::fromUtf8(keyword))
                                 .toUtf8();

    const bool paged = GridPaging::IsPaged(total);
    GridPaging::PageState state{total, GridPaging::FirstPageMark(total)};
    GridPaging::Page page{1, state.mark, 0, state, paged, false};
    auto check = [&](const QString& expected, const QByteArray& when) {
        const QString seen = Seen(*grid);
        if (seen != expected)
            qWarning("%s, %s", where.constData(), when.constData());
        QCOMPARE(seen, expected);
    };
    check(Expectation(collected, page, true, paged), "first page");
    if (QTest::currentTestFailed() || !paged)
        return;
    const int commands = random.bounded(4, 16);
    for (int step = 1; step <= commands; ++step) {
        const bool forward = random.bounded(5) < 3;
        // The page state is read from the file: one edited by hand moves the paging anywhere.
        if (random.bounded(4) == 0) {
            state.mark = random.bounded(1, total + 1);
            WritePageStateFile(
                QStringLiteral("%1\r\n%2\r\n").arg(total).arg(state.mark).toLatin1());
        }
        page = forward ? GridPaging::Next(state) : GridPaging::Previous(state);
        MenuItem(*grid, forward ? "ListeSuite" : "Retour")->trigger();
        check(Expectation(collected, page, false, true),
              "command " + QByteArray::number(step) + (forward ? " Suite" : " Retour"));
        if (QTest::currentTestFailed())
            return;
        state = page.state;
    }
    QVERIFY(ShownMessages().isEmpty());
}

PIVANES_TEST_MAIN(TestPagesAgainstCollection)
#include "tst_PagesAgainstCollection.moc"
