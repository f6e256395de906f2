#include "../browse/GridTesting.h"
#include "CardFormTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "edit/NewCardForm.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "shell/MainWindow.h"
#include "shell/Session.h"

namespace {

// 345 cards: 200 of Windows, then 145 of Materiel; card 12 is a Windows card.
QList<Card> EditorCards() {
    QList<Card> cards = CardsIn({{"WIN", 200}, {"MAT", 145}});
    cards[11].Titre = QStringLiteral("VIDER LE CACHE");
    cards[11].Pivanes = QStringLiteral("Ouvrir l'explorateur.\r\n\r\n  Puis : « Outils ».\r\n");
    cards[12].Titre = QStringLiteral("ESPACE\u00A0INSÉCABLE\tET TABULATION");
    cards[12].Pivanes = QStringLiteral("\r\nA\u00A0:\u2028B \r\n\r\n");
    return cards;
}

// The editor on a card that the picker may not list (one of another category, or none), over the
// main window that opened the collection.
CardEditor* OpenEditor(qint32 numero, const QString& code) {
    LoadMainWindow().hide();
    return &LoadWindow(new CardEditor(TestSession(), numero, code));
}

// As a click in the card picker opens it, on the twelfth Windows card.
CardEditor* OpenEditorFromPicker() {
    MenuItem(LoadMainWindow(), "Ajout")->trigger();
    auto* picker = FindWindow<CardPicker>();
    QTest::mouseClick(Control<QPushButton>(picker, "Windows"), Qt::LeftButton);
    ClickRow(*Control<CardGrid>(picker, "MSFlexGrid1"), 12);
    return FindWindow<CardEditor>();
}

NewCardForm* OpenNewCardForm() {
    MenuItem(LoadMainWindow(), "Modif")->trigger();
    ProcessUnloads();
    return FindWindow<NewCardForm>();
}

QColor LabelBackground(const CardEditor& form) {
    return Control<QLabel>(form, "lblLabels")->palette().color(QPalette::Window);
}

} // namespace

class TestCardEditor : public QObject {
    Q_OBJECT

private slots:
    void showsThePickedCard_data();
    void showsThePickedCard();
    void showsEmptyBoxesForAFieldWithoutValue();
    void rewritingWithoutChangeKeepsTheCard_data();
    void rewritingWithoutChangeKeepsTheCard();
    void writesWhatWasTyped();
    void refusesToWriteACardOutsideTheCategory();
    void refusedWriteKeepsTheText();
    void neverWritesOverAnotherProgramsChange_data();
    void neverWritesOverAnotherProgramsChange();
    void aRefusedEditCanBecomeANewCard_data();
    void aRefusedEditCanBecomeANewCard();
    void leavingAsksBeforeLosingWhatWasTyped_data();
    void leavingAsksBeforeLosingWhatWasTyped();
};

void TestCardEditor::showsThePickedCard_data() {
    QTest::addColumn<qint32>("numero");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("numberLine");
    QTest::newRow("card 12") << 12 << "VIDER LE CACHE"
                             << "Ouvrir l'explorateur.\n\n  Puis : « Outils ».\n"
                             << "FICHE N°  12 /  345";
    QTest::newRow("last card") << 345 << "MAT 345"
                               << "Texte 345\nLigne 2\n"
                               << "FICHE N°  345 /  345";
    QTest::newRow("no such card") << 999 << ""
                                  << ""
                                  << "FICHE N°  999 /  345";
}

void TestCardEditor::showsThePickedCard() {
    QFETCH(qint32, numero);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, numberLine);
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(numero, QStringLiteral("WIN"));
    QVERIFY(form->isVisible());
    QCOMPARE(Control<TextBox>(form, "Text1")->toPlainText(), title);
    QCOMPARE(Control<TextBox>(form, "Text2")->toPlainText(), text);
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
    QCOMPARE(LabelBackground(*form), QColor(0, 0, 255));
    QCOMPARE(Control<QLabel>(form, "Label2")->text(), numberLine);
    QCOMPARE(TestSession().cardCount, 345);
    QCOMPARE(form->focusWidget(), Control<TextBox>(form, "Text1"));
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardEditor::showsEmptyBoxesForAFieldWithoutValue() {
    ProgramFixture fixture;
    WriteCollection(CardsIn({{"WIN", 2}}));
    TestSession().OpenCollection();
    QCOMPARE(TestSession().collection().Add({QStringLiteral("WIN"), {}, {}}), 3);
    CardEditor* form = OpenEditor(3, QStringLiteral("WIN"));
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QString());
    QCOMPARE(Control<TextBox>(form, "Text2")->Text(), QString());
    QCOMPARE(Control<QLabel>(form, "Label2")->text(), QStringLiteral("FICHE N°  3 /  3"));
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardEditor::rewritingWithoutChangeKeepsTheCard_data() {
    QTest::addColumn<qint32>("numero");
    QTest::newRow("lines and quotes") << 12;
    QTest::newRow("unusual blanks") << 13;
}

void TestCardEditor::rewritingWithoutChangeKeepsTheCard() {
    QFETCH(qint32, numero);
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(numero, QStringLiteral("WIN"));
    QVERIFY(Press(*form, "Command1"));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("ENREGISTREE"));
    QCOMPARE(LabelBackground(*form), QColor(255, 0, 0));
    QCOMPARE(StoredCards(), EditorCards());
    QVERIFY(ShownMessages().isEmpty());
}

void TestCardEditor::writesWhatWasTyped() {
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(12, QStringLiteral("WIN"));
    QTest::keyClick(Control<TextBox>(form, "Text1"), Qt::Key_End);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral(" du navigateur"));
    QTest::keyClick(Control<TextBox>(form, "Text2"), Qt::Key_End, Qt::ControlModifier);
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("Et réessayer."));
    QVERIFY(Press(*form, "Command1"));
    // A later change waits for the next "Enregistrer".
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("x"));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("ENREGISTREE"));

    QList<Card> expected = EditorCards();
    expected[11].Titre = QStringLiteral("VIDER LE CACHE DU NAVIGATEUR");
    expected[11].Pivanes += QStringLiteral("Et réessayer.");
    QCOMPARE(StoredCards(), expected);
    // The card as this window saved it is no other program's change.
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(ShownMessages().isEmpty());
    expected[11].Titre += QStringLiteral("X");
    QCOMPARE(StoredCards(), expected);
}

void TestCardEditor::refusesToWriteACardOutsideTheCategory() {
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    // Card 12 is a Windows card, and card 999 does not exist.
    for (const auto& [numero, code] : {std::pair{12, "MAT"}, std::pair{999, "WIN"}}) {
        CardEditor* form = OpenEditor(numero, QString::fromLatin1(code));
        TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("remplace"));
        QVERIFY(Press(*form, "Command1"));
        QCOMPARE(ShownMessages().size(), 1);
        QVERIFY2(ShownMessages().first().contains(QStringLiteral("pas dans la catégorie")),
                 qPrintable(ShownMessages().first()));
        QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
        QCOMPARE(StoredCards(), EditorCards());
        form->Unload();
        ProcessUnloads();
        Fakes().messages.Clear();
    }
}

void TestCardEditor::refusedWriteKeepsTheText() {
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(12, QStringLiteral("WIN"));
    RefuseWrites();
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("ajout"));
    QVERIFY(Press(*form, "Command1"));
    QCOMPARE(ShownMessages().size(), 1);
    QVERIFY2(ShownMessages().first().contains(QStringLiteral("lecture seule")),
             qPrintable(ShownMessages().first()));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
    QVERIFY(
        Control<TextBox>(form, "Text2")->toPlainText().startsWith(QStringLiteral("ajoutOuvrir")));
    QCOMPARE(StoredCards(), EditorCards());
}

void TestCardEditor::neverWritesOverAnotherProgramsChange_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("told");
    QTest::newRow("text changed") << "UPDATE TrucPivane SET Pivanes = 'autre' WHERE Numero = 12"
                                  << "modifiée par un autre programme";
    QTest::newRow("card removed") << "DELETE FROM TrucPivane WHERE Numero = 12"
                                  << "n'existe plus";
}

// Another program changes the card while it is on screen: saving says so and writes nothing.
void TestCardEditor::neverWritesOverAnotherProgramsChange() {
    QFETCH(QString, sql);
    QFETCH(QString, told);
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(12, QStringLiteral("WIN"));
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("mien "));
    RunSqliteShell(QStringLiteral("Pivane.mdb"), sql);
    const QList<Card> theirs = StoredCards();
    QVERIFY(Press(*form, "Command1"));
    QCOMPARE(ShownMessages().size(), 1);
    for (const QString& part : {told, QStringLiteral("N° 12"), QStringLiteral("Rien n'a été")})
        QVERIFY2(ShownMessages().first().contains(part), qPrintable(ShownMessages().first()));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
    QVERIFY(Control<TextBox>(form, "Text1")->Text().startsWith(QStringLiteral("MIEN ")));
    QCOMPARE(StoredCards(), theirs);
}

void TestCardEditor::aRefusedEditCanBecomeANewCard_data() {
    QTest::addColumn<QString>("engine");
    QTest::addColumn<bool>("saveAsNew");
    QTest::newRow("removed, saved as a new card") << "sqlite" << true;
    QTest::newRow("changed, kept on screen") << "sqlite" << false;
    QTest::newRow("changed on the server, saved as a new card") << "postgres" << true;
}

// Another program, through a collection of its own, writes the card while it is on screen.
void TestCardEditor::aRefusedEditCanBecomeANewCard() {
    QFETCH(QString, engine);
    QFETCH(bool, saveAsNew);
    ProgramFixture fixture;
    std::unique_ptr<Collection> other;
    if (engine == "postgres") {
        other = FreshCollection(engine, EditorCards());
        TestSession().UseServer(other->Place().name);
    } else {
        WriteCollection(EditorCards());
        other = Collection::OpenLocal(QStringLiteral("Pivane.mdb"));
    }
    CardEditor* form = OpenEditor(12, QStringLiteral("WIN"));
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("mien "));
    if (engine == "sqlite" && saveAsNew) // the card leaves, else it changes
        other->MoveToTrash(12);
    else
        other->Update(*other->ReadCard(12), {{}, {}, QStringLiteral("leur texte")});
    QList<Card> expected = StoredCards(*other);
    if (saveAsNew)
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    QVERIFY(Press(*form, "Command1"));

    QVERIFY2(ShownMessages().value(0).contains(QStringLiteral("nouvelle fiche ?")),
             qPrintable(ShownMessages().value(0)));
    if (saveAsNew)
        expected << Card{346, "WIN", "MIEN VIDER LE CACHE", EditorCards()[11].Pivanes};
    QCOMPARE(StoredCards(*other), expected);
    QCOMPARE(Control<TextBox>(form, "Text1")->Text(), QStringLiteral("MIEN VIDER LE CACHE"));
    // Saved as a new card, whose number is said, the editor goes on with it.
    QCOMPARE(ShownMessages().size(), saveAsNew ? 2 : 1);
    QVERIFY(!saveAsNew || ShownMessages()[1].contains(QStringLiteral("fiche N° 346")));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(),
             saveAsNew ? QStringLiteral("ENREGISTREE") : QStringLiteral("NON ENREGISTREE"));
}

// Both card forms: "Retour", the close box and Escape throw nothing typed away unasked.
void TestCardEditor::leavingAsksBeforeLosingWhatWasTyped_data() {
    QTest::addColumn<bool>("editor"); // else the new-card form
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("discard"); // the answer
    QTest::addColumn<QString>("typed");
    QTest::newRow("editor, nothing typed") << true << "Retour" << false << false << false << "";
    QTest::newRow("editor, typed and erased")
        << true << "Retour" << false << false << false << "x\b";
    QTest::newRow("editor, kept") << true << "Retour" << false << true << false << "oubli";
    QTest::newRow("editor, discarded") << true << "close box" << false << true << true << "oubli";
    QTest::newRow("editor, Escape kept") << true << "Escape" << false << true << false << "oubli";
    QTest::newRow("editor, saved") << true << "close box" << true << false << false << "gardé";
    QTest::newRow("new card, nothing typed") << false << "Retour" << false << false << false << "";
    QTest::newRow("new card, discarded") << false << "Retour" << false << true << true << "perdu";
    QTest::newRow("new card, Escape kept")
        << false << "Escape" << false << true << false << "perdu";
    QTest::newRow("new card, stored") << false << "close box" << true << false << false << "gardé";
}

void TestCardEditor::leavingAsksBeforeLosingWhatWasTyped() {
    QFETCH(bool, editor);
    QFETCH(QString, way);
    QFETCH(bool, saved);
    QFETCH(bool, asked);
    QFETCH(bool, discard);
    QFETCH(QString, typed);
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    Form* form = editor ? static_cast<Form*>(OpenEditorFromPicker()) : OpenNewCardForm();
    TypeText(Control<TextBox>(form, "Text1"), typed);
    for (const char* name : {"Command1", "Windows"}) // "Enregistrer", and a new card's category
        if (saved)
            Press(*form, name);
    const QList<Card> stored = StoredCards();
    if (discard)
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    if (way == "Retour")
        Control<QAction>(form, "Retour")->trigger();
    else if (way == "close box")
        form->close();
    else
        QTest::keyClick(form->focusWidget(), Qt::Key_Escape);
    ProcessUnloads();

    const QString question = editor ? "Abandonner les changements de la fiche N° 12 ?"
                                    : "Abandonner la nouvelle fiche ?";
    QCOMPARE(ShownMessages(), asked ? QStringList{question} : QStringList());
    QCOMPARE(StoredCards(), stored);
    if (asked && !discard) {
        QVERIFY(form->isVisible());
        QVERIFY(Control<TextBox>(form, "Text1")->Text().startsWith(typed.toUpper()));
        return;
    }
    // Back where the form was opened from: the picker afresh, or the main window.
    QVERIFY(!FindWindow<CardEditor>() && !FindWindow<NewCardForm>());
    const Form* back =
        editor ? static_cast<const Form*>(FindWindow<CardPicker>()) : FindWindow<MainWindow>();
    QVERIFY(back && back->isVisible());
    if (editor)
        QCOMPARE(VisibleButtons(*back),
                 QStringList({"Bureautique", "Windows", "Materiel", "Multimedia", "Internet"}));
}

PIVANES_TEST_MAIN(TestCardEditor)
#include "tst_CardEditor.moc"
