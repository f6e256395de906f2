#include "TestSupport.h"

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/UserError.h"
#include "store/StoreError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

namespace {

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
    void textBoxConvertsLineEnds_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("CR LF") << "a\r\nb\r\n"
                               << "a\nb\n"
                               << "a\r\nb\r\n";
        QTest::newRow("bare LF is stored as CR LF") << "a\nb"
                                                    << "a\nb"
                                                    << "a\r\nb";
        QTest::newRow("no line end") << "été"
                                     << "été"
                                     << "été";
        QTest::newRow("empty lines") << "\r\n\r\n"
                                     << "\n\n"
                                     << "\r\n\r\n";
    }
    void textBoxConvertsLineEnds() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, readBack);
        TextBox box;
        box.SetText(stored);
        QCOMPARE(box.toPlainText(), shown);
        QCOMPARE(box.Text(), readBack);
    }

    void keyPressHandlerCanReplaceAndRefuse() {
        TextBox box;
        box.KeyPress = [](int& key) {
            if (key == 'x')
                key = 0;
            else
                key = QChar(char16_t(key)).toUpper().unicode();
        };
        TypeText(&box, QStringLiteral("aéxb"));
        QCOMPARE(box.Text(), QStringLiteral("AÉB"));
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
        box.KeyPress = [&](int& key) { enters += key == 13; };
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

    void windowsAreLoadedOnceAndBuiltAfreshAfterUnload() {
        ProgramFixture fixture;
        FailingForm& first = Forms::Load<FailingForm>();
        QCOMPARE(&Forms::Load<FailingForm>(), &first);
        QCOMPARE(first.objectName(), QStringLiteral("FailingForm"));
        first.failure = [] {};
        first.close(); // the close box unloads by default
        QVERIFY(!Forms::Find<FailingForm>());
        QPointer<FailingForm> gone(&first);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(gone.isNull());
        QVERIFY(Forms::Show<FailingForm>().isVisible());
    }

    void aWindowWhoseLoadFailsIsNotLeftOpen() {
        ProgramFixture fixture;
        FailingForm::loadFails = true;
        QVERIFY_THROWS_EXCEPTION(StoreError, Forms::Load<FailingForm>());
        FailingForm::loadFails = false;
        QVERIFY(!Forms::Find<FailingForm>());
        QVERIFY(Forms::Load<FailingForm>().isVisible());
    }
};

PIVANES_TEST_MAIN(TestControls)
#include "tst_Controls.moc"
