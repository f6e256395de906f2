#include "../edit/CardFormTesting.h"
#include "GridTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/SearchWindow.h"
#include "edit/NewCardForm.h"
#include "platform/Application.h"
#include "platform/NumberText.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <sqlite3.h>

namespace {

const QList<Card> kTitled = {
    {1, "WIN", "WINDOWS XP ASTUCE", "a\r\n"}, {2, "WIN", "windows en minuscules", "b\r\n"},
    {3, "INT", "RÉSEAU  WINDOWS", "c\r\n"},   {4, "MAT", "", "d\r\n"},
    {5, "MAT", "SANS TITRE", "e\r\n"},        {6, "EXCE", "MACRO EXCEL", "f\r\n"},
    {7, "INT", "RÉSEAU WINDOWS", "g\r\n"},
};

void WriteTitledCards() {
    WriteCollection(kTitled);
    // Card 5 gets a title with no value at all.
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open("Pivane.mdb", &db), SQLITE_OK);
    QCOMPARE(sqlite3_exec(db, "UPDATE TrucPivane SET Titre = NULL WHERE Numero = 5", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    sqlite3_close(db);
}

// Cards 1 to 2 × matches: the odd ones are titled "TITRE n", the even ones "AUTRE n".
void WriteAlternateCards(int matches) {
    QList<Card> cards;
    for (qint32 numero = 1; numero <= 2 * matches; ++numero)
        cards.append({numero, QStringLiteral("WIN"),
                      QStringLiteral("%1 %2").arg(numero % 2 ? "TITRE" : "AUTRE").arg(numero),
                      QString()});
    WriteCollection(cards);
}

SearchWindow* OpenSearch() {
    MenuItem(LoadMainWindow(), "Recher")->trigger();
    return FindWindow<SearchWindow>();
}

// Types one character after the other, accented ones too.
void Search(SearchWindow& search, const QString& typed) {
    for (QChar character : typed) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(Control<TextBox>(search, "Text1"), &key);
    }
    QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
}

// Both ways the program is seen: the test screen of 800 × 800, and a laptop's and a desktop's.
void ForEachScreen(const std::function<void(const char* name, int pixels)>& addRows) {
    for (const auto& [name, pixels] : {std::pair{"800", 0}, {"768", 768}, {"1080", 1080}})
        addRows(name, pixels);
}

const QList<Card> kTexts = {
    {1, "WIN", "L'ÉTÉ INDIEN", "Rien d'autre.\r\n"},
    {2, "INT", "RÉSEAU", "Un ete sans clé de registre\r\n"},
    {3, "MAT", "ETE", "autre chose\r\n"},
    {4, "WIN", "DIVERS", "Clé de\r\nregistre ; ÉTÉ\r\n"},
};

// The stretches of a box marked in the card on display, as the user reads them.
QStringList Marked(const TextBox& box) {
    QStringList marked;
    for (const QTextEdit::ExtraSelection& mark : box.extraSelections())
        marked << mark.cursor.selectedText().replace(QChar::ParagraphSeparator, u'\n');
    return marked;
}

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheKeywordEntry();
    void titlesHoldingTheKeyword_data();
    void titlesHoldingTheKeyword();
    void resultsArePaged_data();
    void resultsArePaged();
    void pagingBeforeASearchDoesNothing();
    void clickShowsTheCardInTheMainWindow_data();
    void clickShowsTheCardInTheMainWindow();
    void emptyCollection();
    void findsATitleTypedWithALetterOfTwoCapitals();
    void searchInTexts_data();
    void searchInTexts();
    void foundWordsAreMarked_data();
    void foundWordsAreMarked();
};

void TestSearchWindow::opensOnTheKeywordEntry() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 700}, {"MAT", 500}}));
    MainWindow& main = MainWindowShowing("Windows");
    MenuItem(main, "Recher")->trigger();
    SearchWindow* search = FindWindow<SearchWindow>();
    QVERIFY(search);
    QVERIFY(search->isVisible());
    QVERIFY(!main.isVisible());
    QCOMPARE(search->windowTitle(), QStringLiteral("Liste"));
    QVERIFY(Control<TextBox>(search, "Text1")->isVisible());
    QCOMPARE(Control<QLabel>(search, "Label2")->text(), QStringLiteral("Mot Rechercher"));
    QVERIFY(Control<QLabel>(search, "Label2")->isVisible());
    QVERIFY(!!Control<CardGrid>(search, "MSFlexGrid1")->isHidden());
    QCOMPARE(Control<QLabel>(search, "Label1")->text(), QStringLiteral("RECHERCHE /  1200 Fiches"));
    Search(*search, QStringLiteral("mat"));
    QCOMPARE(Control<QLabel>(search, "Label1")->text(), QStringLiteral("RECHERCHE /  1200 Fiches"));
    QCOMPARE(ShownRows(*Control<CardGrid>(search, "MSFlexGrid1")), 301);
}

void TestSearchWindow::titlesHoldingTheKeyword_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<qint32>>("found");
    QTest::addColumn<QString>("told"); // on the line under the grid

    QTest::newRow("empty box: every title with text") << ""
                                                      << "" << QList<qint32>{1, 2, 3, 6, 7} << "";
    QTest::newRow("blanks only") << "   "
                                 << "" << QList<qint32>{1, 2, 3, 6, 7} << "";
    QTest::newRow("lower case typed, any case stored")
        << "windows"
        << "WINDOWS" << QList<qint32>{1, 2, 3, 7} << "";
    QTest::newRow("blanks around") << "  réseau windows  "
                                   << "RÉSEAU WINDOWS" << QList<qint32>{7} << "";
    QTest::newRow("inner blanks must match") << "réseau  windows"
                                             << "RÉSEAU  WINDOWS" << QList<qint32>{3} << "";
    QTest::newRow("title without value")
        << "sans"
        << "SANS" << QList<qint32>{} << "Aucune fiche ne contient « SANS ».";
    QTest::newRow("no match") << " zorglub "
                              << "ZORGLUB" << QList<qint32>{}
                              << "Aucune fiche ne contient « ZORGLUB ».";
}

void TestSearchWindow::titlesHoldingTheKeyword() {
    QFETCH(QString, typed);
    QFETCH(QString, keyword);
    QFETCH(QList<qint32>, found);
    QFETCH(QString, told);
    ProgramFixture fixture;
    WriteTitledCards();
    SearchWindow* search = OpenSearch();
    const QLabel* nothingFound = Control<QLabel>(search, "Label3");
    QVERIFY(!nothingFound->isVisible());
    Search(*search, typed);
    const CardGrid& grid = *Control<CardGrid>(search, "MSFlexGrid1");
    QVERIFY(!grid.isHidden());
    QVERIFY(!Control<TextBox>(search, "Text1")->isVisible());
    QVERIFY(!Control<QLabel>(search, "Label2")->isVisible());
    QCOMPARE(ShownNumbers(grid), found);
    QCOMPARE(ShownText(grid, 0, 1), QStringLiteral("TITRE DE FICHE"));
    for (int row = 1; row <= found.size(); ++row)
        QCOMPARE(ShownTitle(grid, row), kTitled.at(found.at(row - 1) - 1).Titre);
    QCOMPARE(ShownText(grid, ShownRows(grid), 0), QString());
    QCOMPARE(OfferedMenus(*search), QStringLiteral("Quitter"));
    QCOMPARE(PageStateFileText(), QStringLiteral("missing"));
    QVERIFY(ShownMessages().isEmpty());
    QCOMPARE(nothingFound->isVisible() ? nothingFound->text() : QString(), told);
}

void TestSearchWindow::resultsArePaged_data() {
    QTest::addColumn<int>("matches");
    QTest::addColumn<QString>("menus");
    QTest::addColumn<QString>("pageState");
    QTest::addColumn<QList<qint32>>("secondPage");

    QTest::newRow("300 matches: one page") << 300 << "Quitter"
                                           << "missing" << QList<qint32>{};
    QTest::newRow("301 matches: two pages") << 301 << "Menu(Suite) Quitter"
                                            << "301\r\n300\r\n"
                                            << QList<qint32>{599, 601};
}

void TestSearchWindow::resultsArePaged() {
    QFETCH(int, matches);
    QFETCH(QString, menus);
    QFETCH(QString, pageState);
    QFETCH(QList<qint32>, secondPage);
    ProgramFixture fixture;
    WriteAlternateCards(matches);
    SearchWindow* search = OpenSearch();
    Search(*search, QStringLiteral("titre"));
    const CardGrid& grid = *Control<CardGrid>(search, "MSFlexGrid1");
    QCOMPARE(ShownRows(grid), 301);
    QCOMPARE(ShownText(grid, 1, 0), QStringLiteral("1"));
    QCOMPARE(ShownText(grid, 300, 0), QStringLiteral("599"));
    QCOMPARE(OfferedMenus(*search), menus);
    QCOMPARE(PageStateFileText(), pageState);
    if (secondPage.isEmpty())
        return;
    MenuItem(*search, "ListeSuite")->trigger();
    QCOMPARE(ShownNumbers(grid), secondPage);
    QCOMPARE(OfferedMenus(*search), QStringLiteral("Menu(Retour) Quitter"));
}

// A page state left by an earlier list belongs to no search of this screen.
void TestSearchWindow::pagingBeforeASearchDoesNothing() {
    ProgramFixture fixture;
    WriteAlternateCards(400);
    WritePageStateFile("750\r\n300\r\n");
    SearchWindow* search = OpenSearch();
    QCOMPARE(OfferedMenus(*search), QStringLiteral("Menu(Suite,Retour) Quitter"));
    MenuItem(*search, "ListeSuite")->trigger();
    MenuItem(*search, "Retour")->trigger();
    QVERIFY(!!Control<CardGrid>(search, "MSFlexGrid1")->isHidden());
    QVERIFY(Control<TextBox>(search, "Text1")->isVisible());
    QCOMPARE(PageStateFileText(), QStringLiteral("750\r\n300\r\n"));
    QVERIFY(ShownMessages().isEmpty());
    Search(*search, QStringLiteral("TITRE"));
    QCOMPARE(ShownNumbers(*Control<CardGrid>(search, "MSFlexGrid1")).size(), 300);
}

void TestSearchWindow::clickShowsTheCardInTheMainWindow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<qint32>("shown");

    QTest::newRow("card row") << 3 << 3;
    QTest::newRow("empty row: the card that was shown") << 5 << 6;
}

void TestSearchWindow::clickShowsTheCardInTheMainWindow() {
    QFETCH(int, row);
    QFETCH(qint32, shown);
    ProgramFixture fixture;
    WriteTitledCards();
    MainWindow& main = MainWindowShowing("Exce");
    MenuItem(main, "Recher")->trigger();
    SearchWindow* search = FindWindow<SearchWindow>();
    Search(*search, QStringLiteral("windows"));
    ClickRow(*Control<CardGrid>(search, "MSFlexGrid1"), row);
    ProcessUnloads();
    QVERIFY(!FindWindow<SearchWindow>());
    QVERIFY(main.isVisible());
    QCOMPARE(Control<TextBox>(main, "Text1")->Text(), kTitled.at(shown - 1).Titre);
    QCOMPARE(Control<QLabel>(main, "Label2")->text(),
             QStringLiteral("FICHE N° ") + NumberText(shown));
    QVERIFY(ShownMessages().isEmpty());
}

void TestSearchWindow::emptyCollection() {
    ProgramFixture fixture;
    WriteCollection({});
    SearchWindow* search = OpenSearch();
    QVERIFY(search);
    QCOMPARE(Control<QLabel>(search, "Label1")->text(), QStringLiteral("RECHERCHE /  0 Fiches"));
    Search(*search, QStringLiteral("x"));
    QCOMPARE(ShownRows(*Control<CardGrid>(search, "MSFlexGrid1")), 1);
    QCOMPARE(ShownText(*Control<CardGrid>(search, "MSFlexGrid1"), 0, 0), QStringLiteral("NUMERO"));
    QCOMPARE(OfferedMenus(*search), QStringLiteral("Quitter"));
    MenuItem(*search, "ListeFin")->trigger();
    ProcessUnloads();
    QVERIFY(FindWindow<MainWindow>()->isVisible());
    QVERIFY(ShownMessages().isEmpty());
}

// The title box and the search turn "ß" into the same capitals, so what was typed is found.
void TestSearchWindow::findsATitleTypedWithALetterOfTwoCapitals() {
    ProgramFixture fixture;
    WriteCollection(kTitled);
    MenuItem(LoadMainWindow(), "Modif")->trigger();
    ProcessUnloads();
    NewCardForm* form = FindWindow<NewCardForm>();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("la straße"));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("LA STRASSE"));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Windows"));
    Control<QAction>(form, "Retour")->trigger();
    ProcessUnloads();
    SearchWindow* search = OpenSearch();
    QVERIFY(search);
    Search(*search, QStringLiteral("straße"));
    QCOMPARE(ShownNumbers(*Control<CardGrid>(search, "MSFlexGrid1")), QList<qint32>{8});
    QCOMPARE(ShownTitle(*Control<CardGrid>(search, "MSFlexGrid1"), 1),
             QStringLiteral("LA STRASSE"));
}

void TestSearchWindow::searchInTexts_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<qint32>>("found");
    QTest::addColumn<QString>("told"); // under the grid
    ForEachScreen([](const char* screen, int pixels) {
        QTest::addRow("%s: titles only, as typed in capitals", screen)
            << pixels << false << "ete" << QList<qint32>{3} << "";
        QTest::addRow("%s: titles only, nothing found", screen)
            << pixels << false << "zorglub" << QList<qint32>{}
            << "Aucune fiche ne contient « ZORGLUB ».";
        QTest::addRow("%s: texts too, accents and case folded", screen)
            << pixels << true << "Été" << QList<qint32>{1, 2, 3, 4} << "";
        QTest::addRow("%s: a phrase across a line end", screen)
            << pixels << true << "\"cle de registre\"" << QList<qint32>{2, 4} << "";
        QTest::addRow("%s: nothing but punctuation", screen)
            << pixels << true << " ;:\"- " << QList<qint32>{}
            << "Aucune fiche ne contient « ;:\"- ».";
    });
}

// The check box comes and goes with the keyword box, unticked at each opening, and sits below it
// at every scale.
void TestSearchWindow::searchInTexts() {
    QFETCH(int, pixels);
    QFETCH(bool, ticked);
    QFETCH(QString, typed);
    QFETCH(QList<qint32>, found);
    QFETCH(QString, told);
    ProgramFixture fixture;
    if (pixels)
        Fakes().screen.Set(pixels * 15);
    WriteCollection(kTexts);
    for (int opening = 1; opening <= 2; ++opening) {
        SearchWindow* search = OpenSearch();
        auto* check = Control<QCheckBox>(search, "Check1");
        const QRect box = Control<TextBox>(search, "Text1")->geometry();
        QVERIFY(check->isVisible());
        QVERIFY(!check->isChecked());
        QCOMPARE(check->text(), QStringLiteral("Chercher aussi dans le texte des fiches"));
        QVERIFY(check->y() > box.bottom() && check->y() < box.bottom() + box.height());
        QVERIFY(check->width() >= check->sizeHint().width() &&
                search->Client()->rect().contains(check->geometry()));
        if (opening == 1) {
            if (ticked)
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
            QCOMPARE(check->isChecked(), ticked);
            Search(*search, typed);
        } else {
            // By the keyboard: Tab leads from the keyword to the box, Enter there searches.
            search->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(search));
            TypeText(Control<TextBox>(search, "Text1"), typed);
            QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), check);
            if (ticked)
                QTest::keyClick(check, Qt::Key_Space);
            QTest::keyClick(search->windowHandle(), Qt::Key_Return);
        }
        const CardGrid& grid = *Control<CardGrid>(search, "MSFlexGrid1");
        QVERIFY(!check->isVisible());
        QCOMPARE(ShownNumbers(grid), found);
        QCOMPARE(ShownText(grid, 0, 1), QStringLiteral("TITRE DE FICHE"));
        const QLabel* nothingFound = Control<QLabel>(search, "Label3");
        QCOMPARE(nothingFound->isVisible() ? nothingFound->text() : QString(), told);
        QVERIFY(nothingFound->width() >= nothingFound->sizeHint().width() &&
                nothingFound->height() >= nothingFound->sizeHint().height() &&
                search->Client()->rect().contains(nothingFound->geometry()) &&
                nothingFound->y() >= grid.geometry().bottom());
        MenuItem(*search, "ListeFin")->trigger();
        ProcessUnloads();
    }
    QVERIFY(ShownMessages().isEmpty());
}

void TestSearchWindow::foundWordsAreMarked_data() {
    QTest::addColumn<int>("pixels");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("titleMarks");
    QTest::addColumn<QStringList>("textMarks");
    const QString farDown = QStringLiteral("ligne\r\n").repeated(300) + QStringLiteral("Été");
    const QString longLine = QStringLiteral("mot ").repeated(5000) + QStringLiteral("l'été");
    ForEachScreen([&](const char* screen, int pixels) {
        QTest::addRow("%s: accents, case, CR LF", screen)
            << pixels << "ete"
            << "L'ÉTÉ"
            << "Un\r\nété, ETE\r\nfin\r\n"
            << QStringList{"ÉTÉ"} << QStringList{"été", "ETE"};
        QTest::addRow("%s: a phrase across a line end", screen)
            << pixels << "\"cle de registre\" reg"
            << "REGISTRE"
            << "x\r\nclé de\r\nregistre, reg\r\n"
            << QStringList{"REG"} << QStringList{"clé de\nregistre", "reg"};
        QTest::addRow("%s: far down the text", screen)
            << pixels << "ete"
            << "T" << farDown << QStringList{} << QStringList{"Été"};
        QTest::addRow("%s: beyond the cut of a long line", screen)
            << pixels << "ete"
            << "T" << longLine << QStringList{} << QStringList{"été"};
        QTest::addRow("%s: a carriage return alone", screen)
            << pixels << "ete"
            << "T"
            << "a\r\r\nb\rété" << QStringList{} << QStringList{"été"};
    });
}

// The card opened from a search of texts shows where the words are, without a change to its
// text, the first place in view; the next card shown is unmarked.
void TestSearchWindow::foundWordsAreMarked() {
    QFETCH(int, pixels);
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QStringList, titleMarks);
    QFETCH(QStringList, textMarks);
    ProgramFixture fixture;
    if (pixels)
        Fakes().screen.Set(pixels * 15);
    WriteCollection({{1, "WIN", title, text}, {2, "WIN", "AUTRE", "été\r\n"}});
    MainWindow& main = MainWindowShowing("Windows");
    for (bool ticked : {true, false}) {
        MenuItem(main, "Recher")->trigger();
        SearchWindow* search = FindWindow<SearchWindow>();
        Control<QCheckBox>(search, "Check1")->setChecked(ticked);
        Search(*search, ticked ? typed : title);
        ClickRow(*Control<CardGrid>(search, "MSFlexGrid1"), 1);
        ProcessUnloads();
        const TextBox& titleBox = *Control<TextBox>(main, "Text1");
        TextBox& textBox = *Control<TextBox>(main, "Text2");
        QCOMPARE(titleBox.Text(), title);
        QCOMPARE(textBox.Text(), text);
        QCOMPARE(Marked(titleBox), ticked ? titleMarks : QStringList{});
        QCOMPARE(Marked(textBox), ticked ? textMarks : QStringList{});
        if (ticked) {
            const QTextCursor first = textBox.extraSelections().front().cursor;
            QCOMPARE(textBox.textCursor().position(), first.selectionStart());
            QVERIFY(textBox.viewport()->rect().contains(textBox.cursorRect()));
            QTest::mouseClick(Control<QPushButton>(main, "Command2"), Qt::LeftButton);
            QCOMPARE(Marked(titleBox), QStringList{});
            QCOMPARE(Marked(textBox), QStringList{});
        }
    }
    QVERIFY(ShownMessages().isEmpty());
}

PIVANES_TEST_MAIN(TestSearchWindow)
#include "tst_SearchWindow.moc"
