// Every window without a mouse: Tab between controls, the grids at the arrows and Enter, Escape
// as "Quitter", the menus through Alt. On a screen of 1080 pixels, where the windows are scaled.
#include "../browse/GridTesting.h"
#include "TestSupport.h"
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "edit/TrashWindow.h"
#include "maintenance/BackupWindow.h"
#include "platform/Application.h"
#include "platform/FocusRing.h"
#include "platform/Look.h"
#include "platform/Screen.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"

#include <QClipboard>
#include <QMenuBar>
#include <QPushButton>

namespace {

// A fresh program on a screen of 1080 pixels.
class At1080 : public ProgramFixture {
public:
    At1080() { Fakes().screen.Set(1080 * 15); }
};

QWidget* Focused(const QWidget& form) {
    return form.focusWidget();
}

QString FocusedName(const QWidget& form) {
    return Focused(form) ? Focused(form)->objectName() : QStringLiteral("(none)");
}

void Press(const QWidget& form, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = Focused(form) ? Focused(form) : const_cast<QWidget*>(&form);
    QTest::keyClick(target, key, modifiers);
}

// Tab until the named control has the focus; false when it is never reached.
bool TabTo(const QWidget& form, const char* name) {
    for (int step = 0; step < 40; ++step) {
        if (FocusedName(form) == QLatin1String(name))
            return true;
        Press(form, Qt::Key_Tab);
    }
    return false;
}

PagedCardGrid* OpenGridScreen(const QString& screen) {
    MainWindow& main = MainWindowShowing("Windows");
    if (screen == "list") {
        MenuItem(main, "ListeFiche")->trigger();
        return FindWindow<CardList>();
    }
    if (screen == "search") {
        MenuItem(main, "Recher")->trigger();
        SearchWindow* search = FindWindow<SearchWindow>();
        TypeText(Control<TextBox>(search, "Text1"), QStringLiteral("WIN"));
        QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
        return search;
    }
    MenuItem(main, "Ajout")->trigger();
    CardPicker* picker = FindWindow<CardPicker>();
    if (!TabTo(*picker, "Windows"))
        return nullptr;
    Press(*picker, Qt::Key_Space);
    return picker;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    // Whatever control Tab reaches shows that it has the focus: a yellow band edged in navy
    // around it, over its neighbours, as wide as the window's scale asks.
    void theFocusIsSeen_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("controls");
        for (int pixels : {768, 1080}) {
            QTest::addRow("main window, %d", pixels) << "main" << pixels << 6;
            QTest::addRow("backup, %d", pixels) << "backup" << pixels << 4;
            QTest::addRow("card editor, %d", pixels) << "editor" << pixels << 4;
            QTest::addRow("trash, %d", pixels) << "trash" << pixels << 4;
        }
    }
    void theFocusIsSeen() {
        QFETCH(QString, window);
        QFETCH(int, pixels);
        QFETCH(int, controls);
        ProgramFixture fixture;
        Fakes().screen.Set(pixels * 15);
        WriteCollection(CardsIn({{"WIN", 3}}));
        Form* form = &MainWindowShowing("Windows");
        if (window == "backup") {
            MenuItem(*form, "Quitter")->trigger();
            form = FindWindow<BackupWindow>();
            MenuItem(*form, "Sauve")->trigger();
        } else if (window == "editor") {
            MenuItem(*form, "Ajout")->trigger();
            form = FindWindow<CardPicker>();
            QVERIFY(form);
            QVERIFY(TabTo(*form, "Windows"));
            Press(*form, Qt::Key_Space);
            ClickRow(*Control<CardGrid>(FindWindow<CardPicker>(), "MSFlexGrid1"), 1);
            form = FindWindow<CardEditor>();
        } else if (window == "trash") {
            TestSession().collection().MoveToTrash(2);
            MenuItem(*form, "Corbeille")->trigger();
            form = FindWindow<TrashWindow>();
        }
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        const auto* ring = form->Client()->findChild<FocusRing*>();
        QVERIFY(ring);
        QVERIFY(ring->Thickness() >= 2 && ring->Thickness() >= form->height() / 250);
        QSet<QWidget*> seen;
        for (int step = 0; step < 24; ++step) {
            QWidget* focused = QApplication::focusWidget();
            if (!focused) {
                QTest::keyClick(form, Qt::Key_Tab);
                continue;
            }
            if (form->Client()->isAncestorOf(focused)) {
                QCOMPARE(ring->Target(), focused);
                QVERIFY(ring->isVisible());
                const QRect around(focused->mapTo(form->Client(), QPoint(0, 0)), focused->size());
                const int band = ring->Thickness();
                QVERIFY(ring->geometry().contains(around.adjusted(-band, -band, band, band)));
                const QImage shot = form->Client()->grab().toImage();
                const int y = around.center().y();
                QCOMPARE(shot.pixelColor(around.left() - 1, y), Colors::Yellow);
                QCOMPARE(shot.pixelColor(around.left() - band, y), Colors::Navy);
                QCOMPARE(shot.pixelColor(around.right() + band, y), Colors::Navy);
                seen << focused;
            }
            QTest::keyClick(focused, Qt::Key_Tab);
        }
        QVERIFY2(seen.size() >= controls, qPrintable(QString::number(seen.size())));
    }

    // A new card written from the keyboard alone: Tab leaves the title for the text, Space
    // presses the buttons, and the title keeps neither tab nor line break.
    void newCardWithoutAMouse() {
        At1080 fixture;
        WriteCollection(CardsIn({{"WIN", 2}}));
        MenuItem(LoadMainWindow(), "Modif")->trigger();
        NewCardForm* form = FindWindow<NewCardForm>();
        QCOMPARE(FocusedName(*form), QStringLiteral("Text1"));

        TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("la cle"));
        QTest::keyClick(Control<TextBox>(form, "Text1"), Qt::Key_Return);
        QTest::keyClick(Control<TextBox>(form, "Text1"), Qt::Key_Tab);
        QCOMPARE(FocusedName(*form), QStringLiteral("Text2"));
        TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("premiere ligne"));
        QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_Return);
        TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("seconde"));
        QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(FocusedName(*form), QStringLiteral("Text1"));
        TypeText(Control<TextBox>(form, "Text1"), QStringLiteral(" usb"));
        QTest::keyClick(Control<TextBox>(form, "Text1"), Qt::Key_Tab);
        QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_Tab);
        QCOMPARE(FocusedName(*form), QStringLiteral("Command1"));
        Press(*form, Qt::Key_Space);
        QVERIFY(TabTo(*form, "Windows"));
        Press(*form, Qt::Key_Space);

        const QList<Card> cards = StoredCards();
        QCOMPARE(cards.size(), 3);
        QCOMPARE(cards.last().Titre, QStringLiteral("LA CLE USB"));
        QCOMPARE(cards.last().Pivanes, QStringLiteral("premiere ligne\r\nseconde"));
        QCOMPARE(cards.last().Cate, QStringLiteral("WIN"));
    }

    // Pasted text cannot bring them in either.
    void aPastedTitleStaysOneLine() {
        At1080 fixture;
        WriteCollection(CardsIn({{"WIN", 1}}));
        MenuItem(LoadMainWindow(), "Modif")->trigger();
        NewCardForm* form = FindWindow<NewCardForm>();
        QGuiApplication::clipboard()->setText(QStringLiteral("UN\tDEUX\nTROIS"));
        QTest::keyClick(Control<TextBox>(form, "Text1"), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("UN DEUX TROIS"));
    }

    // The grid has the focus as it appears; the arrows move its current row and Enter opens
    // that row's card as a click on it does.
    void gridsWorkFromTheKeyboard_data() {
        QTest::addColumn<QString>("screen");
        QTest::newRow("list") << "list";
        QTest::newRow("search") << "search";
        QTest::newRow("picker") << "picker";
    }
    void gridsWorkFromTheKeyboard() {
        QFETCH(QString, screen);
        At1080 fixture;
        WriteCollection(CardsIn({{"MAT", 2}, {"WIN", 6}}));
        PagedCardGrid* grid = OpenGridScreen(screen);
        QVERIFY(grid);
        QCOMPARE(Focused(*grid), Control<CardGrid>(grid, "MSFlexGrid1"));
        QCOMPARE(Control<CardGrid>(grid, "MSFlexGrid1")->currentIndex().row(), 0);
        Press(*grid, Qt::Key_Down);
        Press(*grid, Qt::Key_Down);
        Press(*grid, Qt::Key_Down);
        Press(*grid, Qt::Key_Up);
        QCOMPARE(Control<CardGrid>(grid, "MSFlexGrid1")->currentIndex().row(), 2);
        const qint32 chosen = ShownText(*Control<CardGrid>(grid, "MSFlexGrid1"), 3, 0).toInt();
        QCOMPARE(chosen, 5);
        const QString name = grid->objectName();
        Press(*grid, Qt::Key_Return);
        ProcessUnloads();

        QVERIFY(!ShownWindow(name));
        if (screen == "picker") {
            CardEditor* editor = FindWindow<CardEditor>();
            QVERIFY(editor && editor->isVisible());
            QCOMPARE(Control<TextBox>(editor, "Text1")->Text(), QStringLiteral("WIN 5"));
        } else {
            const MainWindow* main = FindWindow<MainWindow>();
            QVERIFY(main->isVisible());
            QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("WIN 5"));
        }
        QVERIFY(ShownMessages().isEmpty());
    }

    // Escape does what "Quitter" (or "Retour" on the printout) does; the main window ignores it.
    void escapeLeavesTheSecondaryScreens_data() {
        QTest::addColumn<QString>("screen");
        QTest::newRow("list") << "list";
        QTest::newRow("search, keyword entry") << "search entry";
        QTest::newRow("search, results") << "search";
        QTest::newRow("picker, categories") << "picker entry";
        QTest::newRow("picker, cards") << "picker";
        QTest::newRow("printout") << "printout";
    }
    void escapeLeavesTheSecondaryScreens() {
        QFETCH(QString, screen);
        At1080 fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        Form* form = nullptr;
        if (screen == "search entry") {
            MenuItem(MainWindowShowing("Windows"), "Recher")->trigger();
            form = FindWindow<SearchWindow>();
        } else if (screen == "picker entry") {
            MenuItem(MainWindowShowing("Windows"), "Ajout")->trigger();
            form = FindWindow<CardPicker>();
        } else if (screen == "printout") {
            MenuItem(MainWindowShowing("Windows"), "Imprime")->trigger();
            form = FindWindow<PrintPreview>();
        } else {
            form = OpenGridScreen(screen);
        }
        QVERIFY(form && form->isVisible());
        const QString name = form->objectName();
        Press(*form, Qt::Key_Escape);
        ProcessUnloads();
        QVERIFY2(!ShownWindow(name), qPrintable(name));
        QVERIFY(FindWindow<MainWindow>()->isVisible());
        QVERIFY(!Fakes().eventLoop.EndRequested());
        QVERIFY(ShownMessages().isEmpty());
    }

    void escapeIsHarmlessInTheMainWindow() {
        At1080 fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        MainWindow& main = MainWindowShowing("Windows");
        const QString title = Control<TextBox>(main, "Text1")->Text();
        Control<TextBox>(main, "Text2")->setFocus();
        Press(main, Qt::Key_Escape);
        QTest::keyClick(&main, Qt::Key_Escape);
        ProcessUnloads();
        QCOMPARE(FindWindow<MainWindow>(), &main);
        QVERIFY(main.isVisible());
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), title);
        QVERIFY(!Fakes().eventLoop.EndRequested());
    }

    // Alt alone reaches the menu bar; the arrows and Enter choose an item.
    void menusThroughAlt() {
        At1080 fixture;
        WriteCollection(CardsIn({{"WIN", 3}}));
        MainWindow& main = LoadMainWindow();
        QTest::keyClick(&main, Qt::Key_Alt);
        QCOMPARE(main.menuBar()->activeAction(), Control<QMenu>(main, "Fichier")->menuAction());
        QTest::keyClick(main.menuBar(), Qt::Key_Right);
        QTest::keyClick(main.menuBar(), Qt::Key_Right);
        QCOMPARE(main.menuBar()->activeAction(), Control<QMenu>(main, "Catego")->menuAction());
        QTest::keyClick(main.menuBar(), Qt::Key_Down);
        QVERIFY(Control<QMenu>(main, "Catego")->isVisible());
        // "Bureautique", then "Windows".
        QTest::keyClick(Control<QMenu>(main, "Catego"), Qt::Key_Down);
        QTest::keyClick(Control<QMenu>(main, "Catego"), Qt::Key_Return);
        QCOMPARE(Control<QLabel>(main, "lblLabels")->text(), QStringLiteral("WINDOWS /  3 Fiches"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("WIN 1"));
    }
};

PIVANES_TEST_MAIN(TestKeyboard)
#include "tst_Keyboard.moc"
