#include "TestSupport.h"

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Form.h"
#include "platform/LineEnds.h"
#include "platform/UserError.h"
#include "store/StoreError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

namespace {

QString LongLine(qsizetype characters) {
    QString line;
    for (int word = 0; line.size() < characters; ++word)
        line += QStringLiteral("mot%1 ").arg(word);
    return line;
}

// A window whose button fails the way a handler can.
class FailingForm : public Form {
    Q_OBJECT

public:
    FailingForm() : Form("FailingForm") {
        button = AddControl<QPushButton>("Command1", nullptr, "Go");
        OnClick(button, &FailingForm::Command1_Click);
    }
    QPushButton* button;
    std::function<void()> failure;

    static inline bool loadFails = false;

public slots:
    void Command1_Click() { failure(); }
    void Form_Load() override {
        if (loadFails)
            throw StoreError(StoreError::Kind::Closed, "La base est fermée.");
        show();
    }
};

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    // What the user did not change reads back as it was set; what they changed is stored with
    // CR LF line ends.
    void textBoxConvertsLineEnds_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("edited");
        QTest::newRow("CR LF") << "a\r\nb\r\n"
                               << "a\nb\n"
                               << "xa\r\nb\r\n";
        QTest::newRow("bare LF") << "a\nb"
                                 << "a\nb"
                                 << "xa\r\nb";
        QTest::newRow("bare CR") << "a\rb\r"
                                 << "a\nb\n"
                                 << "xa\r\nb\r\n";
        QTest::newRow("mixed line ends") << "a\r\nb\nc\rd\n\re"
                                         << "a\nb\nc\nd\n\ne"
                                         << "xa\r\nb\r\nc\r\nd\r\n\r\ne";
        QTest::newRow("paragraph separator") << "a\u2029b"
                                             << "a\nb"
                                             << "xa\r\nb";
        QTest::newRow("non-characters") << QString::fromUtf8("a\xEF\xB7\x90 \xEF\xBF\xBE \xEF\xBF"
                                                             "\xBF \xF0\x9F\xBF\xBE\xEF\xB7\x91")
                                        << QString::fromUtf8("a\n \xEF\xBF\xBE \xEF\xBF\xBF "
                                                             "\xF0\x9F\xBF\xBE\n")
                                        << QString::fromUtf8("xa\r\n \xEF\xBF\xBE \xEF\xBF\xBF "
                                                             "\xF0\x9F\xBF\xBE\r\n");
        QTest::newRow("unusual blanks") << "a\u00A0b\u2028c\td"
                                        << "a b\nc\td"
                                        << "xa\u00A0b\u2028c\td";
        QTest::newRow("no line end") << "été"
                                     << "été"
                                     << "xété";
        QTest::newRow("empty lines") << "\r\n\r\n"
                                     << "\n\n"
                                     << "x\r\n\r\n";
    }
    void textBoxConvertsLineEnds() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, edited);
        TextBox box;
        box.SetText(stored);
        QCOMPARE(box.toPlainText(), shown);
        QCOMPARE(box.Text(), stored);
        // A change undone by hand is still a change.
        QTest::keyClicks(&box, QStringLiteral("y"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, QStringLiteral("x"));
        QCOMPARE(box.Text(), edited);
    }

    // A long text is put on screen a part at a time and lines of many thousand characters in
    // pieces; whatever the user does, the text reads back whole, without a break at the cuts.
    void longTextsReadBackWhole_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typedAtStart");
        const QString oneLine = LongLine(300000);
        QString lines;
        for (int line = 0; lines.size() < 300000; ++line)
            lines += QStringLiteral("ligne %1 du journal\r\n").arg(line);
        QString pairs = QStringLiteral("x");
        const char32_t deseret = 0x10428;
        for (int i = 0; i < 100000; ++i)
            pairs += QString::fromUcs4(&deseret, 1);
        const QString word(300000, QLatin1Char('W'));
        QTest::newRow("one line with blanks") << oneLine << QLatin1Char('A') + oneLine;
        QTest::newRow("one word") << word << QLatin1Char('A') + word;
        QTest::newRow("lines") << lines << QLatin1Char('A') + lines;
        QTest::newRow("surrogate pairs across the cuts") << pairs << QLatin1Char('A') + pairs;
        // The box shows CR CR LF as one line break, and stores what it shows once changed.
        QTest::newRow("CR CR LF before a long line")
            << QStringLiteral("\r\r\n") + oneLine << QStringLiteral("A\r\n") + oneLine;
    }
    void longTextsReadBackWhole() {
        QFETCH(QString, stored);
        QFETCH(QString, typedAtStart);
        TextBox box;
        box.resize(400, 300);
        box.SetText(stored);
        QVERIFY(!box.WhollyShown());
        const qsizetype length = StoredToShown(stored).size();
        QCOMPARE(box.Length(), length);
        QCOMPARE(box.Text(), stored);
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
            QVERIFY(block.length() <= 16385);
        // An edit at the start keeps the rest, shown or not.
        QTest::keyClicks(&box, QStringLiteral("A"));
        QCOMPARE(box.Text(), typedAtStart);
        QCOMPARE(box.Length(), StoredToShown(typedAtStart).size());
        // Selecting everything and typing over it leaves only what was typed.
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(box.WhollyShown());
        QTest::keyClicks(&box, QStringLiteral("B"));
        QCOMPARE(box.Text(), QStringLiteral("B"));
    }

    void movingToTheEndOrScrollingShowsTheRest() {
        QString stored;
        for (int line = 0; stored.size() < 400000; ++line)
            stored += QStringLiteral("ligne %1\r\n").arg(line);
        TextBox box;
        box.resize(400, 300);
        box.show();
        box.SetText(stored);
        const int before = box.document()->characterCount();
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        QVERIFY(box.document()->characterCount() > before);
        QVERIFY(!box.WhollyShown());
        QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(box.WhollyShown());
        QTest::keyClicks(&box, QStringLiteral("fin"));
        QCOMPARE(box.Text(), stored + QStringLiteral("fin"));
    }

    // Enter in the middle of a piece of a long line breaks the line there, and only there.
    void enterInALongLineBreaksItOnce_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("words") << LongLine(20000) + QStringLiteral("ICI ") + LongLine(20000);
        QTest::newRow("one word") << QString(20000, 'z') + QStringLiteral("ICI") +
                                         QString(20000, 'z');
    }
    void enterInALongLineBreaksItOnce() {
        QFETCH(QString, stored);
        TextBox box;
        box.SetText(stored);
        QTextCursor after = box.document()->find(QStringLiteral("ICI"));
        after.clearSelection();
        box.setTextCursor(after);
        QTest::keyClick(&box, Qt::Key_Return);
        const qsizetype at = stored.indexOf(QStringLiteral("ICI")) + 3;
        QCOMPARE(box.Text(), stored.left(at) + QStringLiteral("\r\n") + stored.mid(at));
    }

    void pasteBeyondTheLimitIsRefusedWithAMessage() {
        ProgramFixture fixture;
        TextBox box;
        box.SetMaxLength(10);
        box.SetLimitMessage(QStringLiteral("trop long"));
        box.SetText(QStringLiteral("\u00E9t\u00E9\r"));
        box.moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QStringLiteral("1234567"));
        box.paste();
        QCOMPARE(ShownMessages(), QStringList{QStringLiteral("trop long")});
        QCOMPARE(box.Text(), QStringLiteral("\u00E9t\u00E9\r"));
        QTest::keyClicks(&box, QStringLiteral("123456"));
        QCOMPARE(box.Text(), QStringLiteral("\u00E9t\u00E9\r\n123456"));
        QTest::keyClicks(&box, QStringLiteral("7"));
        QCOMPARE(ShownMessages().size(), 2);
        QCOMPARE(box.Text(), QStringLiteral("\u00E9t\u00E9\r\n123456"));
    }

    // A capital of two letters goes in whole, or not at all where only one fits.
    void capitalsBoxTypesCapitals() {
        TextBox box;
        box.SetCapitals(true);
        box.SetMaxLength(5);
        TypeText(&box, QStringLiteral("aéßfß"));
        QCOMPARE(box.Text(), QStringLiteral("AÉSSF"));
    }

    void lengthLimitRefusesTypedAndPastedExcess() {
        TextBox box;
        box.SetMaxLength(5);
        QTest::keyClicks(&box, QStringLiteral("abcdefg"));
        QCOMPARE(box.Text(), QStringLiteral("abcde"));
        box.SetText(QStringLiteral("ab"));
        box.moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QStringLiteral("123456"));
        box.paste();
        QCOMPARE(box.Text(), QStringLiteral("ab123"));
    }

    void oneLineBoxSendsEnterWithoutBreakingTheLine() {
        TextBox box;
        box.SetMultiLine(false);
        int enters = 0;
        connect(&box, &TextBox::enterPressed, this, [&enters] { ++enters; });
        QTest::keyClicks(&box, QStringLiteral("mot"));
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(enters, 1);
        QCOMPARE(box.Text(), QStringLiteral("mot"));
    }

    // A library's English text never stands alone: a French sentence comes first.
    void failingHandlersBecomeMessages_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const QString unexpected = QStringLiteral(
            "Une erreur inattendue a interrompu l'opération en cours ; le programme continue.");
        QTest::newRow("store") << 0 << "La base est fermée.";
        QTest::newRow("with the system's reason")
            << 1 << "Le fichier « Liste » n'a pas pu être écrit.\nRaison : Disk full";
        QTest::newRow("library") << 2 << unexpected + "\nRaison : vector::_M_range_check";
        QTest::newRow("anything else") << 3 << unexpected;
    }
    void failingHandlersBecomeMessages() {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        ProgramFixture fixture;
        FailingForm form;
        form.failure = [kind] {
            if (kind == 0)
                throw StoreError(StoreError::Kind::Closed, "La base est fermée.");
            if (kind == 1)
                throw UserError("Le fichier « Liste » n'a pas pu être écrit.", "Disk full");
            if (kind == 2)
                throw std::out_of_range("vector::_M_range_check");
            throw 42;
        };
        QTest::mouseClick(form.button, Qt::LeftButton);
        QCOMPARE(ShownMessages(), QStringList{expected});
    }

    void theCloseBoxUnloadsTheWindow() {
        ProgramFixture fixture;
        QPointer<FailingForm> form(&LoadWindow(new FailingForm));
        QVERIFY(form->isVisible());
        form->close();
        QVERIFY(!form->isVisible());
        ProcessUnloads();
        QVERIFY(form.isNull());
    }

    void aWindowWhoseLoadFailsIsNotLeftOpen() {
        ProgramFixture fixture;
        FailingForm::loadFails = true;
        QVERIFY_THROWS_EXCEPTION(StoreError, LoadWindow(new FailingForm));
        FailingForm::loadFails = false;
        QVERIFY(!FindWindow<FailingForm>());
    }
};

PIVANES_TEST_MAIN(TestControls)
#include "tst_Controls.moc"
