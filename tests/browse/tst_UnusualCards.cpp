// Cards as a foreign or long-kept file may hold them, met through the windows: texts and titles
// of megabytes, line ends of every kind, numbers beyond 32 bits.
#include "../edit/CardFormTesting.h"
#include "GridTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "browse/CardList.h"
#include "browse/SearchWindow.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "platform/Application.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <sqlite3.h>

namespace {

// Title and text as the file holds them, byte for byte.
QByteArray StoredBytes(qint64 numero) {
    sqlite3* db = nullptr;
    sqlite3_open_v2("Pivane.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT CAST(Titre AS BLOB) || x'00' || CAST(Pivanes AS BLOB) FROM "
                       "TrucPivane WHERE Numero = ?1",
                       -1, &read, nullptr);
    sqlite3_bind_int64(read, 1, numero);
    QByteArray bytes;
    if (sqlite3_step(read) == SQLITE_ROW)
        bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(read, 0)),
                           sqlite3_column_bytes(read, 0));
    sqlite3_finalize(read);
    sqlite3_close(db);
    return bytes;
}

// The way a user gets to a card's editor: main window, "Modif une fiche", "Windows", its row.
CardEditor* EditCard(int row) {
    MenuItem(MainWindowShowing("Windows"), "Ajout")->trigger();
    CardPicker* picker = FindWindow<CardPicker>();
    if (!picker || !Press(*picker, "Windows"))
        return nullptr;
    ClickRow(*Control<CardGrid>(picker, "MSFlexGrid1"), row);
    ProcessUnloads();
    return FindWindow<CardEditor>();
}

QString LongLine(qsizetype characters) {
    QString line;
    for (int word = 0; line.size() < characters; ++word)
        line += QStringLiteral("journal%1 ").arg(word);
    return line;
}

const qint64 k2Pow31 = qint64(1) << 31;

} // namespace

class TestUnusualCards : public QObject {
    Q_OBJECT

private slots:
    void unchangedCardKeepsItsBytes_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("bare CR") << "TITRE\rSUITE"
                                 << "une\rdeux\r";
        QTest::newRow("bare LF") << "TITRE\nSUITE"
                                 << "une\ndeux\n";
        QTest::newRow("mixed line ends") << "A\r\nB\nC\r"
                                         << "a\r\nb\nc\rd\n\r\r\n";
        QTest::newRow("paragraph and line separators") << "A\u2029B"
                                                       << "a\u2029b\u2028c";
        QTest::newRow("non-characters")
            << QString::fromUtf8("A\xEF\xB7\x90Z") // U+FDD0
            << QString::fromUtf8("\xEF\xB7\x91 \xEF\xBF\xBE \xEF\xBF\xBF \xF4\x8F\xBF\xBF");
        QTest::newRow("non-breaking space, tab") << "A\u00A0B\tC"
                                                 << "\u00A0\t\r\n";
    }
    void unchangedCardKeepsItsBytes() {
        QFETCH(QString, title);
        QFETCH(QString, text);
        ProgramFixture fixture;
        WriteCollection({{1, "WIN", "PREMIERE", "x\r\n"}, {2, "WIN", title, text}});
        const QByteArray before = StoredBytes(2);
        CardEditor* editor = EditCard(2);
        QVERIFY(editor);
        QVERIFY(Press(*editor, "Command1"));
        QCOMPARE(Control<QLabel>(editor, "lblLabels")->text(), QStringLiteral("ENREGISTREE"));
        QCOMPARE(StoredBytes(2), before);

        // A changed title is written as typed; the text, untouched, keeps its bytes.
        QTest::keyClick(Control<TextBox>(editor, "Text1"), Qt::Key_End, Qt::ControlModifier);
        TypeText(Control<TextBox>(editor, "Text1"), QStringLiteral("x"));
        QVERIFY(Press(*editor, "Command1"));
        QCOMPARE(StoredCards().at(1).Pivanes, text);
        QVERIFY(StoredCards().at(1).Titre.endsWith(QLatin1Char('X')));
        QVERIFY(ShownMessages().isEmpty());
    }

    void numbersBeyond32BitsAreShownAndKept() {
        ProgramFixture fixture;
        const QList<Card> cards = {{1, "WIN", "PETITE", "a\r\n"},
                                   {k2Pow31, "WIN", "GRANDE", "b\r\n"},
                                   {4 * k2Pow31 + 5, "WIN", "PLUS GRANDE", "c\r\n"}};
        WriteCollection(cards);
        MainWindow& main = MainWindowShowing("Windows");
        QTest::mouseClick(Control<QPushButton>(main, "Command2"), Qt::LeftButton);
        QCOMPARE(Control<QLabel>(main, "Label2")->text(), QStringLiteral("FICHE N°  2147483648"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("GRANDE"));
        QTest::mouseClick(Control<QPushButton>(main, "Command4"), Qt::LeftButton);
        QCOMPARE(Control<QLabel>(main, "Label2")->text(), QStringLiteral("FICHE N°  8589934597"));

        // The list shows the numbers as stored, and a click shows that very card.
        MenuItem(main, "ListeFiche")->trigger();
        CardList* list = FindWindow<CardList>();
        QVERIFY(list);
        QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 2, 0),
                 QStringLiteral("2147483648"));
        QCOMPARE(ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 3, 0),
                 QStringLiteral("8589934597"));
        ClickRow(*Control<CardGrid>(list, "MSFlexGrid1"), 2);
        ProcessUnloads();
        QCOMPARE(Control<QLabel>(main, "Label2")->text(), QStringLiteral("FICHE N°  2147483648"));
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), QStringLiteral("GRANDE"));

        // The editor refuses it, and the picker stays on its list.
        MenuItem(main, "Ajout")->trigger();
        CardPicker* picker = FindWindow<CardPicker>();
        QVERIFY(Press(*picker, "Windows"));
        ClickRow(*Control<CardGrid>(picker, "MSFlexGrid1"), 2);
        ProcessUnloads();
        QVERIFY(!FindWindow<CardEditor>());
        QCOMPARE(FindWindow<CardPicker>(), picker);
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().first().startsWith(
                     QStringLiteral("La fiche N° 2147483648 ne peut pas être modifiée")),
                 qPrintable(ShownMessages().first()));

        // No new card can follow it: its number would not be written as stored.
        MenuItem(*picker, "ListeFin")->trigger();
        ProcessUnloads();
        MenuItem(main, "Modif")->trigger();
        ProcessUnloads();
        NewCardForm* form = FindWindow<NewCardForm>();
        TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("nouvelle"));
        QVERIFY(Press(*form, "Command1"));
        QVERIFY(Press(*form, "Windows"));
        QCOMPARE(ShownMessages().size(), 2);
        QVERIFY(ShownMessages().last().contains(QStringLiteral("plus grand numéro")));
        QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("NOUVELLE"));
        QCOMPARE(StoredCards(), cards);
    }

    // A pasted log of a megabyte on one line, and a title of 300,000 characters without a blank.
    // Short keywords are searched apart from the title index: both ways keep the numbers whole.
    void searchKeepsNumbersBeyond32Bits_data() {
        QTest::addColumn<QString>("keyword");
        QTest::newRow("through the index") << "GRANDE";
        QTest::newRow("too short for the index") << "GR";
    }

    void searchKeepsNumbersBeyond32Bits() {
        QFETCH(QString, keyword);
        ProgramFixture fixture;
        WriteCollection({{1, "WIN", "PETITE", "a\r\n"},
                         {k2Pow31, "WIN", "GRANDE", "b\r\n"},
                         {4 * k2Pow31 + 5, "WIN", "PLUS GRANDE", "c\r\n"}});
        MainWindow& main = MainWindowShowing("Windows");
        MenuItem(main, "Recher")->trigger();
        SearchWindow* search = FindWindow<SearchWindow>();
        QVERIFY(search);
        QTest::keyClicks(Control<TextBox>(search, "Text1"), keyword);
        QTest::keyClick(Control<TextBox>(search, "Text1"), Qt::Key_Return);
        QCOMPARE(ShownText(*Control<CardGrid>(search, "MSFlexGrid1"), 1, 0),
                 QStringLiteral("2147483648"));
        QCOMPARE(ShownText(*Control<CardGrid>(search, "MSFlexGrid1"), 2, 0),
                 QStringLiteral("8589934597"));
        ClickRow(*Control<CardGrid>(search, "MSFlexGrid1"), 2);
        ProcessUnloads();
        QCOMPARE(Control<QLabel>(main, "Label2")->text(), QStringLiteral("FICHE N°  8589934597"));
    }

    void hugeCardsGoThroughEveryWindow() {
        ProgramFixture fixture;
        const QString line = LongLine(1000000);
        const QString title(300000, QLatin1Char('T'));
        const QList<Card> cards = {{1, "WIN", "PETITE", "a\r\n"},
                                   {2, "WIN", "JOURNAL", line + QStringLiteral("\r\nfin\r\n")},
                                   {3, "WIN", title, "b\r\n"}};
        WriteCollection(cards);
        MainWindow& main = MainWindowShowing("Windows");
        QTest::mouseClick(Control<QPushButton>(main, "Command2"), Qt::LeftButton);
        QCOMPARE(Control<TextBox>(main, "Text2")->Text(), cards[1].Pivanes);
        QCOMPARE(Control<ListBox>(main, "List1")->count(), 2);
        QCOMPARE(Control<ListBox>(main, "List1")->Item(0), line);

        // The printout lays out every line of it, wrapped and indented.
        MenuItem(main, "Imprime")->trigger();
        PrintPreview* printout = FindWindow<PrintPreview>();
        QVERIFY(printout);
        const int lines = Control<ListBox>(printout, "List2")->count();
        QVERIFY2(lines > 1000000 / 76, qPrintable(QString::number(lines)));
        for (int row = 3; row < lines; ++row)
            QVERIFY(Control<ListBox>(printout, "List2")->Item(row).size() <= 15 + 76);
        QCOMPARE(Control<ListBox>(printout, "List2")->Item(lines - 1),
                 QStringLiteral("%1fin").arg(QString(15, ' ')));
        QTest::mouseClick(Control<QPushButton>(printout, "Retour"), Qt::LeftButton);
        ProcessUnloads();

        QTest::mouseClick(Control<QPushButton>(main, "Command4"), Qt::LeftButton);
        QCOMPARE(Control<TextBox>(main, "Text1")->Text(), title);

        // The list draws only the start of the title, what its column can show.
        MenuItem(main, "ListeFiche")->trigger();
        CardList* list = FindWindow<CardList>();
        const QString drawn = ShownText(*Control<CardGrid>(list, "MSFlexGrid1"), 3, 1);
        QVERIFY(title.startsWith(drawn) && drawn.size() > 100 && drawn.size() < 2000);
        MenuItem(*list, "ListeFin")->trigger();
        ProcessUnloads();

        // The editor writes back what it was given, or what was typed into it, whole.
        CardEditor* editor = EditCard(2);
        QVERIFY(editor);
        QVERIFY(Press(*editor, "Command1"));
        QCOMPARE(StoredCards(), cards);
        TypeText(Control<TextBox>(editor, "Text2"), QStringLiteral("> "));
        QVERIFY(Press(*editor, "Command1"));
        QCOMPARE(StoredCards().at(1).Pivanes, QStringLiteral("> ") + cards[1].Pivanes);
        QVERIFY(ShownMessages().isEmpty());
    }

    // Beyond the limit a paste is refused with a message, and the box keeps what it held.
    void cardFormsRefuseTextsBeyondTheLimit_data() {
        QTest::addColumn<bool>("newCard");
        QTest::newRow("new card") << true;
        QTest::newRow("editor") << false;
    }
    void cardFormsRefuseTextsBeyondTheLimit() {
        QFETCH(bool, newCard);
        ProgramFixture fixture;
        WriteCollection({{1, "WIN", "PETITE", "a\r\n"}});
        CardForm* form = nullptr;
        if (newCard) {
            MenuItem(LoadMainWindow(), "Modif")->trigger();
            ProcessUnloads();
            form = FindWindow<NewCardForm>();
        } else {
            form = EditCard(1);
        }
        QVERIFY(form);
        TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("gardé "));
        const QString typed = Control<TextBox>(form, "Text2")->Text();
        QApplication::clipboard()->setText(QString(CardForm::kTextLimit, QLatin1Char('z')));
        Control<TextBox>(form, "Text2")->paste();
        QCOMPARE(ShownMessages(), QStringList{CardForm::TextLimitMessage()});
        QVERIFY(ShownMessages().first().contains(QStringLiteral("10")));
        QCOMPARE(Control<TextBox>(form, "Text2")->Text(), typed);
        // What fits is taken.
        QApplication::clipboard()->setText(QString(1000, QLatin1Char('z')));
        Control<TextBox>(form, "Text2")->paste();
        QCOMPARE(Control<TextBox>(form, "Text2")->Text().size(), typed.size() + 1000);
    }
};

PIVANES_TEST_MAIN(TestUnusualCards)
#include "tst_UnusualCards.moc"
