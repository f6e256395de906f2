#include "CardFormTesting.h"
#include "TestSupport.h"

#include "edit/CardEditor.h"
#include "edit/CardPicker.h"
#include "platform/Forms.h"
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

// As the card picker leaves things: the main window hidden, the card and its category chosen.
CardEditor* OpenEditor(qint32 numero, const QString& code) {
    Forms::Load<MainWindow>(TestSession()).hide();
    TestSession().currentCard = numero;
    TestSession().categoryCode = code;
    return &Forms::Load<CardEditor>(TestSession(), [] { Forms::Load<CardPicker>(TestSession()); });
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
        Forms::Unload(form);
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
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("saveAsNew");
    QTest::newRow("changed, saved as a new card") << "sqlite" << false << true;
    QTest::newRow("removed, saved as a new card") << "sqlite" << true << true;
    QTest::newRow("changed, kept on screen") << "sqlite" << false << false;
    QTest::newRow("changed on the server, saved as a new card") << "postgres" << false << true;
}

// Another program, through a collection of its own, writes the card while it is on screen.
void TestCardEditor::aRefusedEditCanBecomeANewCard() {
    QFETCH(QString, engine);
    QFETCH(bool, removed);
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
    if (removed)
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
    if (!saveAsNew) {
        QCOMPARE(ShownMessages().size(), 1);
        QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("NON ENREGISTREE"));
        return;
    }
    QCOMPARE(ShownMessages().size(), 2);
    QVERIFY2(ShownMessages()[1].contains(QStringLiteral("fiche N° 346")),
             qPrintable(ShownMessages()[1]));
    // The editor goes on with the new card, saved.
    QVERIFY(Control<QLabel>(form, "Label2")->text().startsWith(QStringLiteral("FICHE N°  346 /")));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("ENREGISTREE"));
    Control<QAction>(form, "Retour")->trigger();
    QCOMPARE(ShownMessages().size(), 2);
}

void TestCardEditor::leavingAsksBeforeLosingWhatWasTyped_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("discard"); // the answer to the question
    QTest::newRow("Retour, nothing typed") << "Retour"
                                           << "" << false << false << false;
    QTest::newRow("Retour, typed and erased") << "Retour"
                                              << "x\b" << false << false << false;
    QTest::newRow("Retour, kept") << "Retour"
                                  << "oubli" << false << true << false;
    QTest::newRow("close box, discarded") << "close box"
                                          << "oubli" << false << true << true;
    QTest::newRow("Escape, kept") << "Escape"
                                  << "oubli" << false << true << false;
    QTest::newRow("Escape, discarded") << "Escape"
                                       << "oubli" << false << true << true;
    QTest::newRow("close box, saved") << "close box"
                                      << "gardé" << true << false << false;
}

void TestCardEditor::leavingAsksBeforeLosingWhatWasTyped() {
    QFETCH(QString, way);
    QFETCH(QString, typed);
    QFETCH(bool, saved);
    QFETCH(bool, asked);
    QFETCH(bool, discard);
    ProgramFixture fixture;
    WriteCollection(EditorCards());
    CardEditor* form = OpenEditor(12, QStringLiteral("WIN"));
    TypeText(Control<TextBox>(form, "Text1"), typed);
    if (saved)
        QVERIFY(Press(*form, "Command1"));
    const QList<Card> stored = StoredCards();
    if (discard)
        Fakes().messages.SetNextAnswer(MessageBox::Answer::Yes);
    Leave(*form, way);
    ProcessUnloads();

    QCOMPARE(ShownMessages(),
             asked ? QStringList{"Abandonner les changements de la fiche N° 12 ?"} : QStringList{});
    QCOMPARE(StoredCards(), stored);
    if (asked && !discard) {
        QCOMPARE(Forms::Find<CardEditor>(), form);
        QVERIFY(form->isVisible());
        QVERIFY(Control<TextBox>(form, "Text1")->Text().startsWith(typed.toUpper()));
        return;
    }
    QVERIFY(!Forms::Find<CardEditor>());
    // Back to the picker, afresh on its choice of a category; the main window stays hidden.
    const CardPicker* picker = Forms::Find<CardPicker>();
    QVERIFY(picker);
    QVERIFY(picker->isVisible());
    QCOMPARE(VisibleButtons(*picker),
             QStringList({"Bureautique", "Windows", "Materiel", "Multimedia", "Internet"}));
    QVERIFY(!Forms::Find<MainWindow>()->isVisible());
}

PIVANES_TEST_MAIN(TestCardEditor)
#include "tst_CardEditor.moc"
