#include "GridTesting.h"
#include "RealFaults.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/CardList.h"
#include "platform/Application.h"
#include "platform/NumberText.h"
#include "platform/Screen.h"
#include "platform/UserError.h"
#include "shell/MainWindow.h"

#include <QDir>
#include <QHeaderView>
#include <optional>
#include <sqlite3.h>

using Counts = QList<QPair<QString, int>>;

namespace {

// Cards of other categories come first, so that a card's number is never its slot in the list.
constexpr int kOthersBefore = 4;

qint32 NumberOfSlot(int slot) {
    return slot + kOthersBefore;
}

QString StoredTitle(qint64 numero) {
    return QStringLiteral("  FICHE %1  ").arg(numero);
}

// Four "MAT" cards, then `count` "WIN" cards whose titles have blanks around them.
void WriteWindowsCards(int count) {
    QList<Card> cards = CardsIn({{"MAT", kOthersBefore}, {"WIN", count}});
    for (Card& card : cards)
        card.Titre = StoredTitle(card.Numero);
    WriteCollection(cards);
}

CardList* OpenList(const char* categoryItem = "Windows") {
    MenuItem(MainWindowShowing(categoryItem), "ListeFiche")->trigger();
    return FindWindow<CardList>();
}

void Page(CardList& list, QChar command) {
    MenuItem(list, command == QLatin1Char('S') ? "ListeSuite" : "Retour")->trigger();
}

QString PageStateText(int total, int mark) {
    return QStringLiteral("%1\r\n%2\r\n").arg(total).arg(mark);
}

// What one page shows, in slots of the collected cards.
struct PageSeen {
    int first;
    int last;
    QString menus;
    int mark;
};

void CheckPage(const CardList& list, const PageSeen& page, int total, bool firstPage = false) {
    const CardGrid& grid = *Control<CardGrid>(list, "MSFlexGrid1");
    QVERIFY(!grid.isHidden());
    QCOMPARE(ShownRows(grid), page.last - page.first + 2);
    QCOMPARE(ShownText(grid, 1, 0), QString::number(NumberOfSlot(page.first)));
    QCOMPARE(ShownText(grid, ShownRows(grid) - 1, 0), QString::number(NumberOfSlot(page.last)));
    // The first page shows the titles as stored, the later ones without blanks around them.
    const QString stored = StoredTitle(NumberOfSlot(page.first));
    QCOMPARE(ShownTitle(grid, 1), firstPage ? stored : stored.trimmed());
    QCOMPARE(ShownText(grid, ShownRows(grid), 0), QString());
    QCOMPARE(ShownText(grid, ShownRows(grid), 1), QString());
    QCOMPARE(OfferedMenus(list), page.menus);
    QCOMPARE(PageStateFileText(), PageStateText(total, page.mark));
}

const QString kSuiteOnly = QStringLiteral("Menu(Suite) Quitter");
const QString kBoth = QStringLiteral("Menu(Suite,Retour) Quitter");
const QString kRetourOnly = QStringLiteral("Menu(Retour) Quitter");

} // namespace

Q_DECLARE_METATYPE(PageSeen)
Q_DECLARE_METATYPE(QList<PageSeen>)

class TestCardList : public QObject {
    Q_OBJECT

private slots:
    void listOpensInPlaceOfTheMainWindow();
    void singlePageListsEveryCard_data();
    void singlePageListsEveryCard();
    void pagingSequences_data();
    void pagingSequences();
    void pagingIgnoresAFileThatDoesNotFit_data();
    void pagingIgnoresAFileThatDoesNotFit();
    void pagingGoesOnWhenTheFileCannotBeWritten_data();
    void pagingGoesOnWhenTheFileCannotBeWritten();
    void leavingEmptiesThePageState_data();
    void leavingEmptiesThePageState();
    void leavingAReadOnlyFolderSaysNothingUntrue_data();
    void leavingAReadOnlyFolderSaysNothingUntrue();
    void clickShowsTheCardInTheMainWindow_data();
    void clickShowsTheCardInTheMainWindow();
    void columnWidthsFollowTheScale_data();
    void columnWidthsFollowTheScale();
    void titleWithoutValueIsListedEmpty();
    void closedDatabaseLeavesTheMainWindowInPlace();
};

void TestCardList::listOpensInPlaceOfTheMainWindow() {
    ProgramFixture fixture;
    WriteWindowsCards(3);
    CardList* list = OpenList();
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QVERIFY(!FindWindow<MainWindow>()->isVisible());
    QCOMPARE(list->windowTitle(), QStringLiteral("Liste"));
    QCOMPARE(Control<QLabel>(list, "Label1")->text(), QStringLiteral("Liste"));
    QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 0, 0), QStringLiteral("NUMERO"));
    QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 0, 1),
             QStringLiteral("TITRE DE FICHE"));
    const CardGrid& grid = *Control<CardGrid>(list, "MSFlexGrid1");
    QCOMPARE(ShownAlignment(grid, 0, 1), Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(ShownAlignment(grid, 1, 0), Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(ShownAlignment(grid, 1, 1), Qt::AlignLeft | Qt::AlignVCenter);
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardList::singlePageListsEveryCard_data() {
    QTest::addColumn<Counts>("collection");
    QTest::addColumn<QString>("categoryItem");
    QTest::addColumn<QList<qint32>>("numbers");

    const Counts mixed = {{"MAT", 2}, {"WIN", 2}, {"MAT", 1}, {"MUL", 1}};
    QTest::newRow("category in record-set order") << mixed << "Materiel" << QList<qint32>{1, 2, 5};
    QTest::newRow("one card") << mixed << "Multimedia" << QList<qint32>{6};
    QTest::newRow("empty category") << mixed << "Internet" << QList<qint32>{};
    QTest::newRow("all cards") << mixed << "General" << QList<qint32>{1, 2, 3, 4, 5, 6};

    QList<qint32> full;
    for (qint32 numero = 2; numero <= 301; ++numero)
        full << numero;
    QTest::newRow("300 cards") << Counts{{"MAT", 1}, {"WIN", 300}} << "Windows" << full;
}

void TestCardList::singlePageListsEveryCard() {
    QFETCH(Counts, collection);
    QFETCH(QString, categoryItem);
    QFETCH(QList<qint32>, numbers);
    ProgramFixture fixture;
    WriteCollection(CardsIn(collection));
    CardList* list = OpenList(categoryItem.toLatin1().constData());
    QVERIFY(list);
    QCOMPARE(ShownNumbers(*Control<CardGrid>(list, "MSFlexGrid1")), numbers);
    QCOMPARE(ShownRows(*Control<CardGrid>(list, "MSFlexGrid1")), numbers.size() + 1);
    QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"),
                       ShownRows(*Control<CardGrid>(list, "MSFlexGrid1")), 0),
             QString());
    QCOMPARE(OfferedMenus(*list), QStringLiteral("Quitter"));
    QCOMPARE(PageStateFileText(), QStringLiteral("missing"));
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardList::pagingSequences_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QList<PageSeen>>("pages");

    // Page 1 holds slots 1 to 300, page k after it slots 300 (k - 1) to 300 k: "Suite" shows the
    // page after the one on screen, "Retour" the page before it.
    const PageSeen first{1, 300, kSuiteOnly, 300};
    QTest::newRow("301") << 301 << "SR" << QList<PageSeen>{{300, 301, kRetourOnly, 301}, first};
    QTest::newRow("750 to the end and back")
        << 750 << "SSRRSS" << QList<PageSeen>{{300, 600, kBoth, 600}, {600, 750, kRetourOnly, 750},
                                              {300, 600, kBoth, 600}, first,
                                              {300, 600, kBoth, 600}, {600, 750, kRetourOnly, 750}};
    QTest::newRow("750 back from the second page")
        << 750 << "SR" << QList<PageSeen>{{300, 600, kBoth, 600}, first};
    QTest::newRow("900") << 900 << "SRSSR"
                         << QList<PageSeen>{{300, 600, kBoth, 600},
                                            first,
                                            {300, 600, kBoth, 600},
                                            {600, 900, kRetourOnly, 900},
                                            {300, 600, kBoth, 600}};
    QTest::newRow("1000 to the end")
        << 1000 << "SSS"
        << QList<PageSeen>{
               {300, 600, kBoth, 600}, {600, 900, kBoth, 900}, {900, 1000, kRetourOnly, 1000}};
    QTest::newRow("600: two pages, and nothing beyond either end")
        << 600 << "SSRR"
        << QList<PageSeen>{
               {300, 600, kRetourOnly, 600}, {300, 600, kRetourOnly, 600}, first, first};
    QTest::newRow("Retour from the first page") << 450 << "R" << QList<PageSeen>{first};
}

void TestCardList::pagingSequences() {
    QFETCH(int, total);
    QFETCH(QString, commands);
    QFETCH(QList<PageSeen>, pages);
    ProgramFixture fixture;
    WriteWindowsCards(total);
    CardList* list = OpenList();
    QVERIFY(list);
    CheckPage(*list, {1, 300, kSuiteOnly, 300}, total, true);
    for (qsizetype i = 0; i < commands.size(); ++i) {
        Page(*list, commands.at(i));
        CheckPage(*list, pages.at(i), total);
        if (QTest::currentTestFailed()) {
            qWarning("after command %s", qPrintable(QString::number(i + 1)));
            return;
        }
    }
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardList::pagingIgnoresAFileThatDoesNotFit_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("present");

    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not numbers") << QByteArray("abc\r\ndef\r\n") << true;
    QTest::newRow("one number") << QByteArray("750\r\n") << true;
    QTest::newRow("another screen's total") << QByteArray("2000\r\n600\r\n") << true;
    QTest::newRow("marker before the first card") << QByteArray("750\r\n0\r\n") << true;
    QTest::newRow("marker past the last card") << QByteArray("750\r\n751\r\n") << true;
}

void TestCardList::pagingIgnoresAFileThatDoesNotFit() {
    QFETCH(QByteArray, contents);
    QFETCH(bool, present);
    ProgramFixture fixture;
    WriteWindowsCards(750);
    CardList* list = OpenList();
    Page(*list, QLatin1Char('S'));
    QFile::remove(QStringLiteral("Liste"));
    if (present)
        WritePageStateFile(contents);
    const QString before = PageStateFileText();
    for (QChar command : {QLatin1Char('S'), QLatin1Char('R')}) {
        Page(*list, command);
        QVERIFY(!Control<CardGrid>(list, "MSFlexGrid1")->isHidden());
        QCOMPARE(ShownRows(*Control<CardGrid>(list, "MSFlexGrid1")), 302);
        QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 1, 0),
                 QString::number(NumberOfSlot(300)));
        QCOMPARE(OfferedMenus(*list), kBoth);
        QCOMPARE(PageStateFileText(), before);
    }
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardList::pagingGoesOnWhenTheFileCannotBeWritten_data() {
    QTest::addColumn<QString>("fault");
    for (const char* fault : {"folder", "pipe", "full disk", "read-only disk"})
        QTest::newRow(fault) << QString::fromLatin1(fault);
    for (const auto& [step, name] : WriteSteps())
        QTest::newRow(qPrintable("fails at " + name)) << "fails at " + name;
}

// On a faulty disk, the current folder is there while the collection stays open where it was.
void TestCardList::pagingGoesOnWhenTheFileCannotBeWritten() {
    QFETCH(QString, fault);
    std::optional<ScratchVolume> volume;
    if (fault.endsWith(QLatin1String("disk"))) {
        volume.emplace();
        SKIP_WITHOUT_VOLUME(*volume);
    }
    ProgramFixture fixture;
    WriteWindowsCards(750);
    MainWindow& main = MainWindowShowing("Windows");
    const QByteArray before("1200\r\n901\r\n");
    std::optional<WatchedPipe> pipe;
    QString reason = QStringLiteral("pas un fichier ordinaire");
    if (fault == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(QStringLiteral("Liste")));
    } else if (fault == QLatin1String("pipe")) {
        pipe.emplace(fixture.Path(QStringLiteral("Liste")));
        QVERIFY(pipe->Made());
    } else if (volume) {
        QVERIFY(QDir::setCurrent(volume->Path()));
        WriteBytes(QStringLiteral("Liste"), before);
        const DiskFault disk =
            fault == QLatin1String("full disk") ? DiskFault::Full : DiskFault::ReadOnly;
        QVERIFY2(volume->Break(disk), qPrintable(volume->WhyNot()));
        reason = UserError::SystemReason(ErrorNumberOf(disk));
    }
    std::optional<FailingWrites> failing;
    for (const auto& [step, name] : WriteSteps())
        if (fault == "fails at " + name) {
            WriteBytes(QStringLiteral("Liste"), before);
            failing.emplace(step, fixture.Path());
            reason = UserError::SystemReason(FailingWrites::ErrorNumberOf(step));
        }
    MenuItem(main, "ListeFiche")->trigger();
    CardList* list = FindWindow<CardList>();
    QVERIFY(list);
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY(ShownMessages().first().contains(QStringLiteral("« Liste »")));
    QVERIFY2(ShownMessages().first().contains(reason), qPrintable(ShownMessages().first()));
    Page(*list, QLatin1Char('S'));
    Page(*list, QLatin1Char('S'));
    QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 1, 0),
             QString::number(NumberOfSlot(600)));
    Page(*list, QLatin1Char('R'));
    QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 1, 0),
             QString::number(NumberOfSlot(300)));
    QCOMPARE(OfferedMenus(*list), kBoth);
    if (volume || failing)
        QCOMPARE(FileBytes(QStringLiteral("Liste")), before);
    MenuItem(*list, "ListeFin")->trigger();
    ProcessUnloads();
    QVERIFY(!FindWindow<CardList>());
    QVERIFY(FindWindow<MainWindow>()->isVisible());
    QCOMPARE(ShownMessages().size(), 1);
    // Leaving may empty the file, which takes no room, but never cuts it short.
    if (volume || failing)
        QVERIFY(
            QList<QByteArray>({before, QByteArray()}).contains(FileBytes(QStringLiteral("Liste"))));
    if (pipe)
        QVERIFY2(!pipe->Released(), "blocked on the pipe");
    QVERIFY(volume || failing || !QFileInfo(QStringLiteral("Liste")).isFile());
}

void TestCardList::leavingAReadOnlyFolderSaysNothingUntrue_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("messages");
    QTest::newRow("one page: nothing to keep") << 5 << 0;
    QTest::newRow("pages kept in memory while the list is open") << 750 << 1;
}

// The page state cannot be written in a read-only data folder (a real read-only file system).
// While the list is open it keeps its pages in memory and says so; leaving it says nothing
// more, since the pages go with the window.
void TestCardList::leavingAReadOnlyFolderSaysNothingUntrue() {
    QFETCH(int, total);
    QFETCH(int, messages);
    ScratchVolume volume(qint64{4} * 1024 * 1024);
    SKIP_WITHOUT_VOLUME(volume);
    ProgramFixture fixture;
    QVERIFY(QDir::setCurrent(volume.Path()));
    WriteWindowsCards(total);
    QVERIFY2(volume.Break(DiskFault::ReadOnly), qPrintable(volume.WhyNot()));
    CardList* list = OpenList();
    QCOMPARE(ShownMessages().size(), messages);
    if (messages > 0) {
        QVERIFY(ShownMessages().first().contains(QStringLiteral("tant que cette fenêtre")));
        Page(*list, QLatin1Char('S'));
        QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 1, 0),
                 QString::number(NumberOfSlot(300)));
    }
    MenuItem(*list, "ListeFin")->trigger();
    ProcessUnloads();
    QVERIFY(!FindWindow<CardList>());
    QVERIFY(FindWindow<MainWindow>()->isVisible());
    QCOMPARE(ShownMessages().size(), messages);
}

void TestCardList::leavingEmptiesThePageState_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<bool>("closeBox");

    QTest::newRow("Quitter, one page") << 5 << false;
    QTest::newRow("Quitter, after paging") << 750 << false;
    QTest::newRow("close box, one page") << 5 << true;
    QTest::newRow("close box, after paging") << 750 << true;
}

void TestCardList::leavingEmptiesThePageState() {
    QFETCH(int, total);
    QFETCH(bool, closeBox);
    ProgramFixture fixture;
    WriteWindowsCards(total);
    CardList* list = OpenList();
    Page(*list, QLatin1Char('S'));
    if (closeBox)
        list->close();
    else
        MenuItem(*list, "ListeFin")->trigger();
    ProcessUnloads();
    QVERIFY(!FindWindow<CardList>());
    const MainWindow* main = FindWindow<MainWindow>();
    QVERIFY(main->isVisible());
    QCOMPARE(Control<TextBox>(main, "Text1")->Text(), StoredTitle(NumberOfSlot(1)));
    QCOMPARE(PageStateFileText(), QString());
}

void TestCardList::clickShowsTheCardInTheMainWindow_data() {
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<int>("row");
    QTest::addColumn<qint32>("shown");
    QTest::addColumn<QString>("pageState");

    // The main window shows the third card when the list is opened.
    QTest::newRow("card row") << 5 << "" << 2 << NumberOfSlot(2) << "missing";
    QTest::newRow("last card row") << 5 << "" << 5 << NumberOfSlot(5) << "missing";
    QTest::newRow("empty row") << 5 << "" << 6 << NumberOfSlot(3) << "missing";
    QTest::newRow("card on a later page")
        << 750 << "S" << 1 << NumberOfSlot(300) << PageStateText(750, 600);
    QTest::newRow("empty row of a later page")
        << 750 << "SS" << 152 << NumberOfSlot(3) << PageStateText(750, 750);
}

void TestCardList::clickShowsTheCardInTheMainWindow() {
    QFETCH(int, total);
    QFETCH(QString, commands);
    QFETCH(int, row);
    QFETCH(qint32, shown);
    QFETCH(QString, pageState);
    ProgramFixture fixture;
    WriteWindowsCards(total);
    MainWindow& main = MainWindowShowing("Windows");
    Control<QPushButton>(main, "Command2")->click();
    Control<QPushButton>(main, "Command2")->click();
    MenuItem(main, "ListeFiche")->trigger();
    CardList* list = FindWindow<CardList>();
    for (QChar command : commands)
        Page(*list, command);
    ClickRow(*Control<CardGrid>(list, "MSFlexGrid1"), row);
    ProcessUnloads();
    QVERIFY(!FindWindow<CardList>());
    QVERIFY(main.isVisible());
    QCOMPARE(Control<TextBox>(main, "Text1")->Text(), StoredTitle(shown));
    QCOMPARE(Control<QLabel>(main, "Label2")->text(),
             QStringLiteral("FICHE N° ") + NumberText(shown));
    QCOMPARE(PageStateFileText(), pageState);
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardList::columnWidthsFollowTheScale_data() {
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("numberWidth");
    QTest::addColumn<int>("titleWidth");

    QTest::newRow("95 percent") << 9000 << 712 << 9756;
    QTest::newRow("139 percent") << 12960 << 1042 << 14275;
    QTest::newRow("1080 pixels: 171 percent") << 16200 << 1282 << 17562;
}

void TestCardList::columnWidthsFollowTheScale() {
    QFETCH(int, screenHeight);
    QFETCH(int, numberWidth);
    QFETCH(int, titleWidth);
    ProgramFixture fixture;
    Fakes().screen.Set(screenHeight);
    WriteWindowsCards(2);
    const CardGrid& grid = *Control<CardGrid>(OpenList(), "MSFlexGrid1");
    QCOMPARE(grid.columnWidth(0), (numberWidth + 7) / 15);
    QCOMPARE(grid.columnWidth(1), (titleWidth + 7) / 15);
    QCOMPARE(grid.horizontalHeader()->font(), grid.font());
}

void TestCardList::titleWithoutValueIsListedEmpty() {
    ProgramFixture fixture;
    WriteWindowsCards(3);
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open("Pivane.mdb", &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE TrucPivane SET Titre = NULL WHERE Numero = 6", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
    CardList* list = OpenList();
    QCOMPARE(ShownNumbers(*Control<CardGrid>(list, "MSFlexGrid1")), (QList<qint32>{5, 6, 7}));
    QCOMPARE(ShownTitle(*Control<CardGrid>(list, "MSFlexGrid1"), 2), QString());
    QCOMPARE(ShownTitle(*Control<CardGrid>(list, "MSFlexGrid1"), 3), StoredTitle(7));
    QVERIFY(ShownMessages().isEmpty());
}

// "Retour" of the main window closes the database under the selection it showed.
void TestCardList::closedDatabaseLeavesTheMainWindowInPlace() {
    ProgramFixture fixture;
    WriteWindowsCards(3);
    MainWindow& main = MainWindowShowing("Windows");
    MenuItem(main, "Retour")->trigger();
    MenuItem(main, "Bureautique")->trigger();
    MenuItem(main, "ListeFiche")->trigger();
    ProcessUnloads();
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY(!FindWindow<CardList>());
    QVERIFY(main.isVisible());
}

PIVANES_TEST_MAIN(TestCardList)
#include "tst_CardList.moc"
