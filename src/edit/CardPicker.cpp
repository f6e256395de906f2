#include "edit/CardPicker.h"

#include "edit/CardEditor.h"
#include "edit/CategoryButtons.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "shell/Session.h"

#include <limits>

namespace {

constexpr int kTopLevelTops[] = {2555, 3081, 3607, 4133};
constexpr int kOfficeTops[] = {2029, 2555, 3081, 3607, 4133, 4659, 5185, 5711, 6237};
const CategoryButtonPlaces kPlaces = {5078, 2029, kTopLevelTops, kOfficeTops};

} // namespace

CardPicker::CardPicker(Session& session, qint64 currentCard)
    : PagedCardGrid("KorModifie", 540, session, currentCard) {
    setWindowTitle(QStringLiteral("Pivanes"));

    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("Liste"));
    Label1->setFont(Face("Comic Sans MS", 9.75, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 4808, 120, 2265, 345);

    Categories = CategoryButtons::For(
        this, &CardPicker::showOfficeCategories, &CardPicker::listCategory,
        [this](const char* name) { return AddControl<QPushButton>(name, nullptr); }, kPlaces);
}

void CardPicker::Form_Load() {
    scaleToScreen();
    showCategoryChoice();
}

void CardPicker::startAfresh() {
    Label1->setText(QStringLiteral("Liste"));
    showCategoryChoice();
}

void CardPicker::showCategoryChoice() {
    show();
    SetMenuVisible(Mem, false);
    Categories->ShowTopLevel();
    MSFlexGrid1->hide();
}

void CardPicker::showOfficeCategories() {
    Categories->ShowOffice();
}

void CardPicker::listCategory(const QString& code, const QString& label) {
    Label1->setText(label);
    category_ = code;
    listChosenCategory();
}

// The category is opened before the buttons go, so that a store that fails leaves the choice
// on screen rather than an empty window.
void CardPicker::listChosenCategory() {
    session().CountCards(Selection::Category(category_));
    SetMenuVisible(Mem, true);
    Categories->HideAll();
    MSFlexGrid1->hide();
    FirstFill();
}

// An editor that could not show its card is not left open; the picker stays. So it does for a
// card numbered beyond what the program writes (a foreign file): it is kept as it is.
void CardPicker::OpenClickedCard(qint64 numero) {
    if (numero > std::numeric_limits<qint32>::max() ||
        numero < std::numeric_limits<qint32>::min()) {
        MessageBox::Show(QStringLiteral("La fiche N° %1 ne peut pas être modifiée : son numéro "
                                        "dépasse le plus grand que Pivanes sait écrire (%2).\n"
                                        "Elle reste telle quelle dans la base.")
                             .arg(numero)
                             .arg(std::numeric_limits<qint32>::max()));
        return;
    }
    auto& editor = Open<CardEditor>(numero, category_);
    connect(&editor, &Window::finished, this, Guarded(&CardPicker::startAfresh));
    hide();
}
