#include "../browse/GridTesting.h"
#include "CardFormTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"
#include "store/CategoryCatalogue.h"

using Counts = QList<QPair<QString, int>>;

namespace {

const QStringList kTopLevel = CatalogueButtons(CategoryGroup::Top);
const QStringList kOffice = CatalogueButtons(CategoryGroup::Office);

// Categories interleaved, so that a category's cards are neither the first ones nor in one
// block, and codes that begin alike ("OFFI", "OPEN") sit side by side.
QList<Card> Mixed() {
    return CardsIn(
        {{"MAT", 2}, {"WIN", 2}, {"OFFI", 1}, {"OPEN", 2}, {"WIN", 1}, {"OFFI", 2}, {"WORD", 1}});
}

// The way a user gets there: the main window, showing a category, and its "Modif une fiche".
CardPicker* OpenFromMainWindow(const char* categoryItem = "Materiel") {
    MenuItem(MainWindowShowing(categoryItem), "Ajout")->trigger();
    return FindWindow<CardPicker>();
}

// Presses the category's button, through "Bureautique" for the office ones.
bool Choose(CardPicker& picker, const QString& button) {
    if (kOffice.contains(button) && !Press(picker, "Bureautique"))
        return false;
    return Press(picker, button.toLatin1().constData());
}

CardEditor* ClickCard(CardPicker& picker, int row) {
    ClickRow(*Control<CardGrid>(picker, "MSFlexGrid1"), row);
    ProcessUnloads();
    return FindWindow<CardEditor>();
}

void Leave(CardPicker& picker, bool closeBox) {
    if (closeBox)
        picker.close();
    else
        MenuItem(picker, "ListeFin")->trigger();
    ProcessUnloads();
}

} // namespace

class TestCardPicker : public QObject {
    Q_OBJECT

private slots:
    void opensOnTheCategoryChoice();
    void categoryListsItsOwnCards_data();
    void categoryListsItsOwnCards();
    void moreThan300CardsArePaged();
    void failingStoreKeepsTheChoice();
    void clickOpensTheEditorOnTheCard_data();
    void clickOpensTheEditorOnTheCard();
    void changedCardReachesTheMainWindow_data();
    void changedCardReachesTheMainWindow();
    void leavingBringsBackTheMainWindow_data();
    void leavingBringsBackTheMainWindow();
};

void TestCardPicker::opensOnTheCategoryChoice() {
    ProgramFixture fixture;
    WriteCollection(Mixed());
    CardPicker* picker = OpenFromMainWindow();
    QVERIFY(picker);
    QVERIFY(picker->isVisible());
    const MainWindow* main = FindWindow<MainWindow>();
    QVERIFY(main);
    QVERIFY(!main->isVisible());
    for (const QStringList& buttons : {kTopLevel, kOffice}) {
        if (buttons == kOffice)
            QVERIFY(Press(*picker, "Bureautique"));
        QCOMPARE(VisibleButtons(*picker), buttons);
        QVERIFY(!Control<CardGrid>(picker, "MSFlexGrid1")->isVisible());
        QCOMPARE(Control<QLabel>(picker, "Label1")->text(), QStringLiteral("Liste"));
        QCOMPARE(OfferedMenus(*picker), QStringLiteral("Quitter"));
    }
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardPicker::categoryListsItsOwnCards_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QList<qint32>>("numbers");
    QTest::newRow("Windows") << "Windows"
                             << "WINDOWS"
                             << "WIN" << QList<qint32>{3, 4, 8};
    QTest::newRow("Materiel") << "Materiel"
                              << "MATERIEL"
                              << "MAT" << QList<qint32>{1, 2};
    QTest::newRow("Office") << "Command8"
                            << "OFFICE"
                            << "OFFI" << QList<qint32>{5, 9, 10};
    QTest::newRow("OpenOffice") << "Command9"
                                << "OPEN OFFICE"
                                << "OPEN" << QList<qint32>{6, 7};
    QTest::newRow("Word") << "Command13"
                          << "WORD"
                          << "WORD" << QList<qint32>{11};
    QTest::newRow("empty top-level") << "Internet"
                                     << "INTERNET"
                                     << "INT" << QList<qint32>{};
    QTest::newRow("empty office") << "Command11"
                                  << "PAIN SHOP"
                                  << "PAIN" << QList<qint32>{};
}

void TestCardPicker::categoryListsItsOwnCards() {
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(QString, code);
    QFETCH(QList<qint32>, numbers);
    ProgramFixture fixture;
    WriteCollection(Mixed());
    CardPicker* picker = OpenFromMainWindow();
    QVERIFY(Choose(*picker, button));

    const CardGrid& grid = *Control<CardGrid>(picker, "MSFlexGrid1");
    QVERIFY(grid.isVisible());
    QCOMPARE(Control<QLabel>(picker, "Label1")->text(), label);
    QCOMPARE(VisibleButtons(*picker), QStringList());
    QCOMPARE(ShownText(grid, 0, 0), QStringLiteral("NUMERO"));
    QCOMPARE(ShownText(grid, 0, 1), QStringLiteral("TITRE DE FICHE"));
    QCOMPARE(ShownNumbers(grid), numbers);
    for (int row = 1; row <= numbers.size(); ++row)
        QCOMPARE(ShownTitle(grid, row), QStringLiteral("%1 %2").arg(code).arg(numbers[row - 1]));
    QCOMPARE(ShownRows(grid), numbers.size() + 1);
    QCOMPARE(OfferedMenus(*picker), QStringLiteral("Quitter"));
    QCOMPARE(TestSession().cardCount, numbers.size());
    QCOMPARE(PageStateFileText(), QStringLiteral("missing"));
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardPicker::moreThan300CardsArePaged() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"MAT", 3}, {"WIN", 450}}));
    CardPicker* picker = OpenFromMainWindow();
    QVERIFY(Press(*picker, "Windows"));
    QCOMPARE(OfferedMenus(*picker), QStringLiteral("Menu(Suite) Quitter"));
    QCOMPARE(ShownRows(*Control<CardGrid>(picker, "MSFlexGrid1")), 301);
    MenuItem(*picker, "ListeSuite")->trigger();
    // The second page begins with the card that ended the first.
    QCOMPARE(ShownText(*Control<CardGrid>(picker, "MSFlexGrid1"), 1, 0), QStringLiteral("303"));
    QCOMPARE(ShownNumbers(*Control<CardGrid>(picker, "MSFlexGrid1")).last(), 453);
    QCOMPARE(OfferedMenus(*picker), QStringLiteral("Menu(Retour) Quitter"));
    QVERIFY(ShownMessages().isEmpty());
}

// A store that cannot give the category leaves the buttons to choose again or leave.
void TestCardPicker::failingStoreKeepsTheChoice() {
    ProgramFixture fixture;
    WriteCollection(Mixed());
    CardPicker* picker = OpenFromMainWindow();
    TestSession().CloseCollection();
    QVERIFY(Press(*picker, "Windows"));
    QCOMPARE(ShownMessages().size(), 1);
    QCOMPARE(VisibleButtons(*picker), kTopLevel);
    QVERIFY(!Control<CardGrid>(picker, "MSFlexGrid1")->isVisible());
    QCOMPARE(OfferedMenus(*picker), QStringLiteral("Quitter"));
}

void TestCardPicker::clickOpensTheEditorOnTheCard_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("row");
    QTest::addColumn<qint32>("numero");
    QTest::addColumn<QString>("title");
    QTest::newRow("first card") << "Windows" << 1 << 3 << "WIN 3";
    QTest::newRow("last card") << "Windows" << 3 << 8 << "WIN 8";
    QTest::newRow("office card") << "Command8" << 2 << 9 << "OFFI 9";
    // The empty row keeps the card the main window was showing.
    QTest::newRow("empty row") << "Windows" << 4 << 1 << "MAT 1";
}

void TestCardPicker::clickOpensTheEditorOnTheCard() {
    QFETCH(QString, button);
    QFETCH(int, row);
    QFETCH(qint32, numero);
    QFETCH(QString, title);
    ProgramFixture fixture;
    WriteCollection(Mixed());
    CardPicker* picker = OpenFromMainWindow("Materiel");
    QVERIFY(Choose(*picker, button));
    CardEditor* editor = ClickCard(*picker, row);
    QVERIFY(editor);
    QVERIFY(editor->isVisible());
    QVERIFY(!FindWindow<CardPicker>()->isVisible());
    QVERIFY(!FindWindow<MainWindow>()->isVisible());
    QCOMPARE(Control<TextBox>(editor, "Text1")->Text(), title);
    QCOMPARE(Control<TextBox>(editor, "Text2")->Text(),
             QStringLiteral("Texte %1\r\nLigne 2\r\n").arg(numero));
    QCOMPARE(Control<QLabel>(editor, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
    QCOMPARE(Control<QLabel>(editor, "Label2")->text(),
             QStringLiteral("FICHE N°  %1 /  11").arg(numero));
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardPicker::changedCardReachesTheMainWindow_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<qint32>("numero");
    QTest::newRow("top-level") << "Windows"
                               << "Windows" << 3;
    QTest::newRow("office") << "Command8"
                            << "Offi" << 5;
}

void TestCardPicker::changedCardReachesTheMainWindow() {
    QFETCH(QString, button);
    QFETCH(QString, menuItem);
    QFETCH(qint32, numero);
    ProgramFixture fixture;
    WriteCollection(Mixed());
    const QByteArray item = menuItem.toLatin1();
    CardPicker* picker = OpenFromMainWindow(item.constData());
    const QString shownBefore = Control<TextBox>(FindWindow<MainWindow>(), "Text1")->Text();
    QCOMPARE(shownBefore, StoredCards().at(numero - 1).Titre);

    QVERIFY(Choose(*picker, button));
    CardEditor* editor = ClickCard(*picker, 1);
    QVERIFY(editor);
    QTest::keyClick(Control<TextBox>(editor, "Text1"), Qt::Key_End);
    TypeText(Control<TextBox>(editor, "Text1"), QStringLiteral(" revue"));
    QTest::keyClick(Control<TextBox>(editor, "Text2"), Qt::Key_End, Qt::ControlModifier);
    TypeText(Control<TextBox>(editor, "Text2"), QStringLiteral("Ajout"));
    QTest::keyClick(Control<TextBox>(editor, "Text2"), Qt::Key_Return);
    TypeText(Control<TextBox>(editor, "Text2"), QStringLiteral("fin"));
    QVERIFY(Press(*editor, "Command1"));
    QCOMPARE(Control<QLabel>(editor, "lblLabels")->text(), QStringLiteral("ENREGISTREE"));

    Control<QAction>(editor, "Retour")->trigger();
    ProcessUnloads();
    QVERIFY(!FindWindow<CardEditor>());
    picker = FindWindow<CardPicker>();
    QVERIFY(picker);
    QCOMPARE(VisibleButtons(*picker), kTopLevel);
    QCOMPARE(Control<QLabel>(picker, "Label1")->text(), QStringLiteral("Liste"));
    Leave(*picker, false);
    QVERIFY(!FindWindow<CardPicker>());

    QList<Card> expected = Mixed();
    Card& changed = expected[numero - 1];
    changed.Titre += QStringLiteral(" REVUE");
    changed.Pivanes += QStringLiteral("Ajout\r\nfin");
    QCOMPARE(StoredCards(), expected);

    MainWindow* main = FindWindow<MainWindow>();
    QVERIFY(main->isVisible());
    // Shown again, the main window reads its card afresh: the change is there at once.
    QCOMPARE(Control<TextBox>(main, "Text1")->Text(), changed.Titre);
    QCOMPARE(Control<TextBox>(main, "Text2")->Text(), changed.Pivanes);
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardPicker::leavingBringsBackTheMainWindow_data() {
    QTest::addColumn<QStringList>("pressed");
    QTest::addColumn<int>("cards");
    QTest::addColumn<bool>("closeBox");
    for (bool closeBox : {false, true}) {
        const char* way = closeBox ? "close box" : "Quitter";
        QTest::addRow("%s, top-level choice", way) << QStringList() << 5 << closeBox;
        QTest::addRow("%s, office choice", way) << QStringList{"Bureautique"} << 5 << closeBox;
        QTest::addRow("%s, one page", way) << QStringList{"Windows"} << 5 << closeBox;
        QTest::addRow("%s, pages", way) << QStringList{"Windows"} << 400 << closeBox;
    }
}

void TestCardPicker::leavingBringsBackTheMainWindow() {
    QFETCH(QStringList, pressed);
    QFETCH(int, cards);
    QFETCH(bool, closeBox);
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"MAT", 2}, {"WIN", cards}}));
    CardPicker* picker = OpenFromMainWindow("Materiel");
    for (const QString& button : pressed)
        QVERIFY(Press(*picker, button.toLatin1().constData()));
    Leave(*picker, closeBox);
    QVERIFY(!FindWindow<CardPicker>());
    const MainWindow* main = FindWindow<MainWindow>();
    QVERIFY(main->isVisible());
    QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("MAT 1"));
    QCOMPARE(PageStateFileText(), QString());
    QVERIFY(ShownMessages().isEmpty());
}

PIVANES_TEST_MAIN(TestCardPicker)
#include "tst_CardPicker.moc"
