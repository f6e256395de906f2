#include "CardFormTesting.h"
#include "TestSupport.h"

#include "edit/NewCardForm.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "store/CategoryCatalogue.h"

#include <QApplication>
#include <QClipboard>

namespace {

const QStringList kEntry = {"Command1"};
const QStringList kTopLevel = CatalogueButtons(CategoryGroup::Top);
const QStringList kOffice = CatalogueButtons(CategoryGroup::Office);

// The way a user gets there: the main window's "Ajouter Une Fiche".
NewCardForm* OpenFromMainWindow() {
    MenuItem(LoadMainWindow(), "Modif")->trigger();
    ProcessUnloads();
    return FindWindow<NewCardForm>();
}

} // namespace

class TestNewCardForm : public QObject {
    Q_OBJECT

private slots:
    void opensInPlaceOfTheMainWindow();
    void numbersFollowTheLastCard_data();
    void numbersFollowTheLastCard();
    void categoryButtonWritesTheCard_data();
    void categoryButtonWritesTheCard();
    void choosingTheGroupWritesNothing();
    void visibleButtonsDoNotOverlap();
    void typedTitleLettersBecomeCapitals_data();
    void typedTitleLettersBecomeCapitals();
    void pastedTitleKeepsItsCase();
    void titleRefusesA101stCharacter();
    void titleTakesTwoLetterCapitalsWholeOrNotAtAll();
    void linesComeBackAsTyped();
    void refusedWriteKeepsTheCard();
    void leavingWithoutCategoryWritesNothing_data();
    void leavingWithoutCategoryWritesNothing();
};

void TestNewCardForm::opensInPlaceOfTheMainWindow() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 3}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QVERIFY(!FindWindow<MainWindow>()->isVisible());
    QCOMPARE(VisibleButtons(*form), kEntry);
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NOM  PIVANE"));
    QCOMPARE(form->focusWidget(), Control<TextBox>(form, "Text1"));
}

void TestNewCardForm::numbersFollowTheLastCard_data() {
    QTest::addColumn<QList<qint32>>("stored");
    QTest::addColumn<QList<qint32>>("expected");
    QList<qint32> upTo250;
    for (qint32 n = 1; n <= 250; ++n)
        upTo250 << n;
    QTest::newRow("after 250") << upTo250 << QList<qint32>{251, 252};
    QTest::newRow("free numbers below stay free")
        << QList<qint32>{1, 2, 250} << QList<qint32>{251, 252};
    QTest::newRow("empty table") << QList<qint32>{} << QList<qint32>{1, 2};
}

void TestNewCardForm::numbersFollowTheLastCard() {
    QFETCH(QList<qint32>, stored);
    QFETCH(QList<qint32>, expected);
    ProgramFixture fixture;
    QList<Card> cards;
    for (qint32 numero : stored)
        cards.append({numero, QStringLiteral("WIN"), QStringLiteral("T"), QStringLiteral("X")});
    WriteCollection(cards);
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    for (qint32 numero : expected) {
        TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("fiche %1").arg(numero));
        QVERIFY(Press(*form, "Command1"));
        QVERIFY(Press(*form, "Materiel"));
    }
    const QList<Card> after = StoredCards();
    QCOMPARE(after.size(), stored.size() + expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Card& written = after.at(stored.size() + i);
        QCOMPARE(written.Numero, expected.at(i));
        QCOMPARE(written.Titre, QStringLiteral("FICHE %1").arg(expected.at(i)));
    }
    QVERIFY(ShownMessages().isEmpty());
}

void TestNewCardForm::categoryButtonWritesTheCard_data() {
    QTest::addColumn<bool>("office");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("label");
    QTest::newRow("Windows") << false << "Windows"
                             << "WIN"
                             << "WINDOWS";
    QTest::newRow("Internet") << false << "Internet"
                              << "INT"
                              << "INTERNET";
    QTest::newRow("Divers") << true << "Command5"
                            << "DIVE"
                            << "DIVERS";
    QTest::newRow("Office") << true << "Command8"
                            << "OFFI"
                            << "OFFICE";
    QTest::newRow("OpenOffice") << true << "Command9"
                                << "OPEN"
                                << "OPEN OFFICE";
    QTest::newRow("PaintShop") << true << "Command11"
                               << "PAIN"
                               << "PAIN SHOP";
    QTest::newRow("PowerPoint") << true << "Command12"
                                << "POWE"
                                << "POWER POINT";
    QTest::newRow("Word") << true << "Command13"
                          << "WORD"
                          << "WORD";
}

void TestNewCardForm::categoryButtonWritesTheCard() {
    QFETCH(bool, office);
    QFETCH(QString, button);
    QFETCH(QString, code);
    QFETCH(QString, label);
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 2}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("titre"));
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("texte"));
    QVERIFY(Press(*form, "Command1"));
    QCOMPARE(VisibleButtons(*form), kTopLevel);
    if (office) {
        QVERIFY(Press(*form, "Bureautique"));
        QCOMPARE(VisibleButtons(*form), kOffice);
    }
    QVERIFY(Press(*form, button.toLatin1().constData()));

    const QList<Card> stored = StoredCards();
    QCOMPARE(stored.size(), 3);
    QCOMPARE(stored.last().Numero, 3);
    QCOMPARE(stored.last().Cate, code);
    QCOMPARE(stored.last().Titre, QStringLiteral("TITRE"));
    QCOMPARE(stored.last().Pivanes, QStringLiteral("texte"));
    // Ready for the next card, the category just used still named.
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), label);
    QCOMPARE(VisibleButtons(*form), kEntry);
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QString());
    QCOMPARE(Control<TextBox>(form, "Text2")->Text(), QString());
    QCOMPARE(form->focusWidget(), Control<TextBox>(form, "Text1"));
}

void TestNewCardForm::choosingTheGroupWritesNothing() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 2}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("titre"));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Bureautique"));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("BUREAUTIQUE"));
    QCOMPARE(StoredCards().size(), 2);
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("TITRE"));
}

void TestNewCardForm::visibleButtonsDoNotOverlap() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    for (const char* step : {"Command1", "Bureautique"}) {
        QVERIFY(Press(*form, step));
        QList<QRect> shown;
        for (const QString& name : VisibleButtons(*form)) {
            const QRect place = form->findChild<QPushButton*>(name)->geometry();
            for (const QRect& other : shown)
                QVERIFY2(!place.intersects(other), qPrintable(name));
            QVERIFY2(!place.intersects(Control<TextBox>(form, "Text2")->geometry()),
                     qPrintable(name));
            shown << place;
        }
    }
}

void TestNewCardForm::typedTitleLettersBecomeCapitals_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("title letters") << "Text1"
                                   << "abc xyz"
                                   << "ABC XYZ";
    QTest::newRow("title accents") << "Text1"
                                   << "été à l'île, ça"
                                   << "ÉTÉ À L'ÎLE, ÇA";
    QTest::newRow("title letter with a capital of two") << "Text1"
                                                        << "la straße, ﬁn"
                                                        << "LA STRASSE, FIN";
    QTest::newRow("title without capitals") << "Text1"
                                            << "12 + 3 = ?!"
                                            << "12 + 3 = ?!";
    QTest::newRow("text keeps its case") << "Text2"
                                         << "été Abc"
                                         << "été Abc";
}

void TestNewCardForm::typedTitleLettersBecomeCapitals() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    auto* target = form->findChild<TextBox*>(box);
    TypeText(target, typed);
    QCOMPARE(target->Text(), shown);
}

void TestNewCardForm::pastedTitleKeepsItsCase() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("a"));
    QApplication::clipboard()->setText(QStringLiteral("collé tel quel"));
    Control<TextBox>(form, "Text1")->paste();
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("Acollé tel quel"));
}

void TestNewCardForm::titleRefusesA101stCharacter() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QString(99, QLatin1Char('a')) + QStringLiteral("bc"));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(),
             QString(99, QLatin1Char('A')) + QStringLiteral("B"));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Windows"));
    QCOMPARE(StoredCards().last().Titre.size(), 100);
}

// A letter whose capital is two letters goes in whole or not at all: never cut to "S".
void TestNewCardForm::titleTakesTwoLetterCapitalsWholeOrNotAtAll() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QString(98, QLatin1Char('a')) + QStringLiteral("ßß"));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(),
             QString(98, QLatin1Char('A')) + QStringLiteral("SS"));
    Control<TextBox>(form, "Text1")->SetText(QString(99, QLatin1Char('A')));
    Control<TextBox>(form, "Text1")->moveCursor(QTextCursor::End);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("ß"));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QString(99, QLatin1Char('A')));
}

void TestNewCardForm::linesComeBackAsTyped() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 1}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("une"));
    QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_Return);
    QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_Return);
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("  deux "));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Windows"));
    QCOMPARE(StoredCards().last().Pivanes, QStringLiteral("une\r\n\r\n  deux "));
}

void TestNewCardForm::refusedWriteKeepsTheCard() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 4}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    RefuseWrites();
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("titre"));
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("texte à garder"));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Bureautique"));
    QVERIFY(Press(*form, "Command7"));

    const QStringList messages = ShownMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(QStringLiteral("n'a pas été enregistrée")),
             qPrintable(messages.first()));
    QVERIFY2(messages.first().contains(QStringLiteral("lecture seule")),
             qPrintable(messages.first()));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("TITRE"));
    QCOMPARE(Control<TextBox>(form, "Text2")->Text(), QStringLiteral("texte à garder"));
    QCOMPARE(VisibleButtons(*form), kOffice);
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("BUREAUTIQUE"));
    QCOMPARE(StoredCards(), CardsIn({{"WIN", 4}}));
}

void TestNewCardForm::leavingWithoutCategoryWritesNothing_data() {
    QTest::addColumn<QStringList>("pressed");
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Retour at entry") << QStringList{} << false;
    QTest::newRow("Retour in office choice") << QStringList{"Command1", "Bureautique"} << false;
    QTest::newRow("close box in top-level choice") << QStringList{"Command1"} << true;
}

void TestNewCardForm::leavingWithoutCategoryWritesNothing() {
    QFETCH(QStringList, pressed);
    QFETCH(bool, closeBox);
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 2}}));
    NewCardForm* form = OpenFromMainWindow();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("perdu"));
    for (const QString& name : pressed)
        QVERIFY(Press(*form, name.toLatin1().constData()));
    Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    if (closeBox)
        form->close();
    else
        Control<QAction>(form, "Retour")->trigger();
    ProcessUnloads();

    QVERIFY(!FindWindow<NewCardForm>());
    MainWindow* main = FindWindow<MainWindow>();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(StoredCards().size(), 2);

    form = OpenFromMainWindow();
    QVERIFY(form);
    QCOMPARE(VisibleButtons(*form), kEntry);
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QString());
}

PIVANES_TEST_MAIN(TestNewCardForm)
#include "tst_NewCardForm.moc"
