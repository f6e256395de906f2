#include "../edit/CardFormTesting.h"
#include "GridTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/CardLines.h"
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

namespace {

void Click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// WIN cards 1, 3, 5; MAT 2, 4; OFFI 6; OPEN 7, 8.
QList<Card> Mixed() {
    return {{1, "WIN", "W1", "Un\r\nDeux\r\n"},
            {2, "MAT", "M2", "m"},
            {3, "WIN", "W3", "Trois\r\n"},
            {4, "MAT", "M4", "m"},
            {5, "WIN", "W5", "Cinq"},
            {6, "OFFI", "O6", "o"},
            {7, "OPEN", "P7", "p"},
            {8, "OPEN", "P8", "p"}};
}

// From the main window on card 3 of "Windows" to another window and back, as the user goes.
void GoAndComeBack(MainWindow& main, const QString& journey) {
    if (journey.startsWith(QLatin1String("picker"))) {
        MenuItem(main, "Ajout")->trigger();
        CardPicker* picker = FindWindow<CardPicker>();
        if (journey == QLatin1String("picker, another category listed")) {
            QVERIFY(Press(*picker, "Materiel"));
        } else {
            const bool otherCategory = journey == QLatin1String("picker, another category edited");
            QVERIFY(Press(*picker, otherCategory ? "Materiel" : "Windows"));
            ClickRow(*Control<CardGrid>(picker, "MSFlexGrid1"), 2);
            ProcessUnloads();
            CardEditor* editor = FindWindow<CardEditor>();
            Control<TextBox>(editor, "Text1")
                ->SetText(Control<TextBox>(editor, "Text1")->Text() + QStringLiteral(" NEUF"));
            QTest::mouseClick(Control<QPushButton>(editor, "Command1"), Qt::LeftButton);
            Control<QAction>(editor, "Retour")->trigger();
            ProcessUnloads();
            picker = FindWindow<CardPicker>();
        }
        MenuItem(*picker, "ListeFin")->trigger();
    } else if (journey.startsWith(QLatin1String("search"))) {
        MenuItem(main, "Recher")->trigger();
        SearchWindow* search = FindWindow<SearchWindow>();
        if (journey == QLatin1String("search left at once")) {
            MenuItem(*search, "ListeFin")->trigger();
        } else {
            const bool sameCategory = journey == QLatin1String("search, a card of the category");
            Control<TextBox>(search, "Text1")
                ->SetText(sameCategory ? QStringLiteral("W") : QStringLiteral("M"));
            QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
            ClickRow(*Control<CardGrid>(search, "MSFlexGrid1"), sameCategory ? 1 : 2);
        }
    } else {
        MenuItem(main, "ListeFiche")->trigger();
        ClickRow(*Control<CardGrid>(FindWindow<CardList>(), "MSFlexGrid1"), 3);
    }
    ProcessUnloads();
}

} // namespace

class TestCategoryViewer : public QObject {
    Q_OBJECT

private slots:
    void categoryShowsItsCountAndFirstCard_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("firstTitle");
        QTest::newRow("Windows") << QStringList{"Windows"} << "WINDOWS /  3 Fiches"
                                 << "W1";
        QTest::newRow("Materiel") << QStringList{"Materiel"} << "MATERIEL /  2 Fiches"
                                  << "M2";
        QTest::newRow("OpenOffice is not Office")
            << QStringList{"Bureautique", "OpenO"} << "OPEN OFFICE /  2 Fiches"
            << "P7";
        QTest::newRow("Office") << QStringList{"Bureautique", "Offi"} << "OFFICE /  1 Fiches"
                                << "O6";
        QTest::newRow("GENERALE") << QStringList{"Materiel", "General"} << "GENERALE /  8 Fiches"
                                  << "W1";
    }
    void categoryShowsItsCountAndFirstCard() {
        QFETCH(QStringList, path);
        QFETCH(QString, label);
        QFETCH(QString, firstTitle);
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        for (const QString& item : path)
            MenuItem(main, qPrintable(item))->trigger();
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), label);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), firstTitle);
        for (QWidget* shown : std::initializer_list<QWidget*>{
                 Control<TextBox>(main, "Text1"), Control<TextBox>(main, "Text2"),
                 Control<QPushButton>(main, "Command1"), Control<QPushButton>(main, "Command2"),
                 Control<QPushButton>(main, "Command3"), Control<QPushButton>(main, "Command4"),
                 Control<QLabel>(main, "Label2")})
            QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
        QVERIFY(!Control<ListBox>(main, "List1")->isVisible());
        for (const char* item : {"Retour", "Imprime", "ListeFiche"})
            QVERIFY(MenuItem(main, item)->isVisible());
        QVERIFY(ShownMessages().isEmpty());
    }

    void stepsStopAtBothEnds_data() {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("< at the start, then > >")
            << QStringList{"<", ">", ">"} << QStringList{"W1", "W1", "W3"};
        QTest::newRow("> past the end, then <")
            << QStringList{">>", ">", "<", "<"} << QStringList{"W5", "W5", "W5", "W3"};
        QTest::newRow("<< and >>")
            << QStringList{">>", "<<", ">", ">>"} << QStringList{"W5", "W1", "W3", "W5"};
    }
    void stepsStopAtBothEnds() {
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, titles);
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        const QHash<QString, QPushButton*> byCaption{
            {"<<", Control<QPushButton>(main, "Command3")},
            {"<", Control<QPushButton>(main, "Command1")},
            {">", Control<QPushButton>(main, "Command2")},
            {">>", Control<QPushButton>(main, "Command4")}};
        QStringList seen;
        for (const QString& caption : buttons) {
            QCOMPARE(byCaption[caption]->text(), caption);
            Click(byCaption[caption]);
            seen << Control<TextBox>(main, "Text1")->Text();
            QCOMPARE(
                Control<QLabel>(main, "Label2")->text(),
                QStringLiteral("FICHE N°  %1").arg(Control<TextBox>(main, "Text1")->Text().mid(1)));
            for (QPushButton* button : byCaption)
                QVERIFY(button->isVisible());
        }
        QCOMPARE(seen, titles);
        QVERIFY(ShownMessages().isEmpty());
    }

    void linesOfTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("three lines") << "a\r\nb\r\nc\r\n" << QStringList{"a", "b", "c"};
        QTest::newRow("a line of blanks") << "a\r\n    \r\nc\r\n" << QStringList{"a", "", "c"};
        QTest::newRow("an empty line") << "a\r\n\r\nc\r\n" << QStringList{"a", "", "c"};
        QTest::newRow("no final line break") << "a\r\nlast" << QStringList{"a", "last"};
        QTest::newRow("bare line feeds") << "a\nb\n\nc" << QStringList{"a", "b", "", "c"};
        QTest::newRow("inner blanks kept") << "  a  b \r\n" << QStringList{"  a  b "};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void linesOfTheText() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(CardLines(text), lines);

        // And through the viewer, from the stored card to the hidden list.
        ProgramFixture fixture;
        WriteCollection({{1, "WIN", "T", text}});
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        QCOMPARE(Control<ListBox>(main, "List1")->Items(), lines);
    }

    void shownTextIsStoredTextUnchanged() {
        ProgramFixture fixture;
        const QString text = QStringLiteral("Première ligne\r\n\r\n  retrait\r\nfin");
        WriteCollection({{1, "WIN", "ÉTÉ", text}});
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        QCOMPARE(Control<TextBox>(main, "Text2")->Text(), text);
        QCOMPARE(Control<TextBox>(main, "Text2")->toPlainText(),
                 QString(text).replace("\r\n", "\n"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("ÉTÉ"));
    }

    void voirShowsTheCardByNumber_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("title");
        QTest::newRow("in the set") << 5 << "W5";
        QTest::newRow("not in the set") << 4 << "W1";
        QTest::newRow("unknown") << 99 << "W1";
    }
    void voirShowsTheCardByNumber() {
        QFETCH(int, number);
        QFETCH(QString, title);
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        Control<ListBox>(main, "List1")->clear();
        main.showChosenCard(number);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), title);
        QCOMPARE(Control<QLabel>(main, "Label2")->text(),
                 QStringLiteral("FICHE N°  %1").arg(number));
        QVERIFY(Control<ListBox>(main, "List1")->count() > 0);
        QVERIFY(Control<QPushButton>(main, "Command4")->isVisible());
    }

    void officeMenuSwitch() {
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        MenuItem(main, "Bureautique")->trigger();
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), QStringLiteral("BUREAUTIQUE"));
        QVERIFY(!IsMenuVisible(Control<QMenu>(main, "Catego")));
        QVERIFY(IsMenuVisible(Control<QMenu>(main, "Bur")));
        QVERIFY(!Control<TextBox>(main, "Text1")->isVisible());
        QVERIFY(!Control<QPushButton>(main, "Command1")->isVisible());
        QCOMPARE(Control<ListBox>(main, "List1")->count(), 0);
        for (const char* item : {"Retour", "Imprime", "ListeFiche"})
            QVERIFY(MenuItem(main, item)->isVisible());
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(),
                 QStringLiteral("W1"));   // kept, only hidden
        MenuItem(main, "Wor")->trigger(); // no Word card: empty
        MenuItem(main, "OpenO")->trigger();
        QVERIFY(IsMenuVisible(Control<QMenu>(main, "Bur")));
        QVERIFY(!IsMenuVisible(Control<QMenu>(main, "Catego")));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("P7"));
    }

    void emptyCategoryShowsNothingOfAnEarlierCard() {
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        MenuItem(main, "Internet")->trigger();
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(),
                 QStringLiteral("INTERNET /  0 Fiches"));
        QCOMPARE(TestSession().cardCount, 0);
        QVERIFY(Control<TextBox>(main, "Text1")->Text().isEmpty());
        QVERIFY(Control<TextBox>(main, "Text2")->Text().isEmpty());
        QCOMPARE(Control<ListBox>(main, "List1")->count(), 0);
        for (QWidget* hidden : std::initializer_list<QWidget*>{
                 Control<TextBox>(main, "Text1"), Control<TextBox>(main, "Text2"),
                 Control<QPushButton>(main, "Command1"), Control<QPushButton>(main, "Command4"),
                 Control<QLabel>(main, "Label2")})
            QVERIFY(!hidden->isVisible());
        QVERIFY(ShownMessages().isEmpty());
        // Coming back from an empty list shows no card either.
        main.showChosenCard(1);
        QVERIFY(!Control<QPushButton>(main, "Command1")->isVisible());
        QVERIFY(Control<TextBox>(main, "Text1")->Text().isEmpty());
        // A category with cards brings the viewer back.
        MenuItem(main, "Materiel")->trigger();
        QVERIFY(Control<QPushButton>(main, "Command1")->isVisible());
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("M2"));
    }

    // Whatever the other window opened, the main window shown again names, shows and steps
    // through one selection.
    void comingBackShowsOneSelection_data() {
        QTest::addColumn<QString>("journey");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("next");
        const QString windows = QStringLiteral("WINDOWS /  3 Fiches");
        QTest::newRow("picker, another category listed")
            << "picker, another category listed" << windows << "W3"
            << "W5";
        QTest::newRow("picker, another category edited")
            << "picker, another category edited" << windows << "W3"
            << "W5";
        QTest::newRow("picker, the card on screen edited")
            << "picker, the card on screen edited" << windows << "W3 NEUF"
            << "W5";
        QTest::newRow("search left at once") << "search left at once" << windows << "W3"
                                             << "W5";
        QTest::newRow("search, a card of another category") << "search, a card of another category"
                                                            << "GENERALE /  8 Fiches"
                                                            << "M4"
                                                            << "W5";
        QTest::newRow("search, a card of the category")
            << "search, a card of the category" << windows << "W1"
            << "W3";
        QTest::newRow("list") << "list" << windows << "W5"
                              << "W5";
    }
    void comingBackShowsOneSelection() {
        QFETCH(QString, journey);
        QFETCH(QString, banner);
        QFETCH(QString, title);
        QFETCH(QString, next);
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        Click(Control<QPushButton>(main, "Command2"));
        GoAndComeBack(main, journey);
        QVERIFY(main.isVisible());
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), banner);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), title);
        Click(Control<QPushButton>(main, "Command2"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), next);
        QVERIFY(MenuItem(main, "Imprime")->isVisible());
        QVERIFY(ShownMessages().isEmpty());
    }

    void stepsAfterTheDatabaseClosedSayWhy() {
        ProgramFixture fixture;
        WriteCollection(Mixed());
        MainWindow& main = LoadMainWindow();
        MenuItem(main, "Windows")->trigger();
        TestSession().CloseCollection();
        for (const char* step : {"Command2", "Command4"}) // ">" and ">>"
            Click(Control<QPushButton>(main, step));
        QCOMPARE(ShownMessages().size(), 2);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("W1"));
        QVERIFY(main.isVisible());
    }
};

PIVANES_TEST_MAIN(TestCategoryViewer)
#include "tst_CategoryViewer.moc"
