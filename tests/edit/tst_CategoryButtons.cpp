// The card forms take their category buttons from the catalogue alone, so a longer catalogue
// gets its buttons without another change.
#include "../browse/GridTesting.h"
#include "CardFormTesting.h"
#include "TestSupport.h"

#include "browse/CardGrid.h"
#include "edit/CardPicker.h"
#include "edit/CategoryButtons.h"
#include "edit/NewCardForm.h"
#include "platform/Application.h"
#include "shell/MainWindow.h"
#include "store/CategoryCatalogue.h"

#include <QPushButton>
#include <vector>

namespace {

const Category kExtra = {"TEST",     CategoryGroup::Office, "Essai", "Essai",
                         "ESSAI / ", "Command14",           "Essai", "ESSAI"};

// The program's catalogue with one more office category after the last.
class FourteenCategories {
public:
    FourteenCategories() {
        const auto all = CategoryCatalogue::All();
        rows_.assign(all.begin(), all.end());
        rows_.push_back(kExtra);
        CategoryCatalogue::Replace(rows_);
    }
    ~FourteenCategories() { CategoryCatalogue::Replace({}); }
    FourteenCategories(const FourteenCategories&) = delete;
    FourteenCategories& operator=(const FourteenCategories&) = delete;

private:
    std::vector<Category> rows_;
};

// The extra button stands below the last office one, in the same column.
void CheckExtraButtonBelowWord(const QWidget& form) {
    const auto* word = form.findChild<QPushButton*>(QStringLiteral("Command13"));
    const auto* extra = form.findChild<QPushButton*>(QStringLiteral("Command14"));
    QVERIFY(word && extra);
    QCOMPARE(extra->x(), word->x());
    QVERIFY(extra->y() >= word->y() + word->height());
}

} // namespace

class TestCategoryButtons : public QObject {
    Q_OBJECT

private slots:
    void designTopsThenEvenSteps_data();
    void designTopsThenEvenSteps();
    void newCardFormOffersAFourteenthCategory();
    void pickerOffersAFourteenthCategory();
};

void TestCategoryButtons::designTopsThenEvenSteps_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("top");
    QTest::newRow("first") << 0 << 2700;
    QTest::newRow("last of the design") << 2 << 3705;
    QTest::newRow("one past") << 3 << 4200;
    QTest::newRow("three past") << 5 << 5190;
}

void TestCategoryButtons::designTopsThenEvenSteps() {
    QFETCH(int, index);
    QFETCH(int, top);
    constexpr int kTops[] = {2700, 3210, 3705};
    QCOMPARE(ButtonTop(kTops, static_cast<std::size_t>(index)), top);
}

void TestCategoryButtons::newCardFormOffersAFourteenthCategory() {
    ProgramFixture fixture;
    const FourteenCategories catalogue;
    WriteCollection(CardsIn({{"WIN", 2}}));
    MenuItem(LoadMainWindow(), "Modif")->trigger();
    ProcessUnloads();
    NewCardForm* form = FindWindow<NewCardForm>();
    QVERIFY(form);
    TypeText(Control<TextBox>(form, "Text1"), QStringLiteral("titre"));
    TypeText(Control<TextBox>(form, "Text2"), QStringLiteral("texte"));
    QVERIFY(Press(*form, "Command1"));
    QVERIFY(Press(*form, "Bureautique"));
    QCOMPARE(VisibleButtons(*form).last(), QStringLiteral("Command14"));
    CheckExtraButtonBelowWord(*form);
    QVERIFY(Press(*form, "Command14"));
    QCOMPARE(StoredCards().last().Cate, QStringLiteral("TEST"));
    QCOMPARE(Control<QLabel>(form, "lblLabels")->text(), QStringLiteral("ESSAI"));
}

void TestCategoryButtons::pickerOffersAFourteenthCategory() {
    ProgramFixture fixture;
    const FourteenCategories catalogue;
    WriteCollection(CardsIn({{"WIN", 1}, {"TEST", 2}}));
    MainWindow& main = LoadMainWindow();
    QVERIFY(MenuItem(main, "Essai"));
    MenuItem(main, "Ajout")->trigger();
    CardPicker* picker = FindWindow<CardPicker>();
    QVERIFY(picker);
    QVERIFY(Press(*picker, "Bureautique"));
    QCOMPARE(VisibleButtons(*picker), CatalogueButtons(CategoryGroup::Office));
    CheckExtraButtonBelowWord(*picker);
    QVERIFY(Press(*picker, "Command14"));
    QCOMPARE(Control<QLabel>(picker, "Label1")->text(), QStringLiteral("ESSAI"));
    QCOMPARE(ShownNumbers(*Control<CardGrid>(picker, "MSFlexGrid1")), (QList<qint32>{2, 3}));
}

PIVANES_TEST_MAIN(TestCategoryButtons)
#include "tst_CategoryButtons.moc"
