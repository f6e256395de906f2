#include "edit/KorModifie.h"

#include "edit/CategoryButtons.h"
#include "edit/KorModifier.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "shell/FormZoomed.h"
#include "store/CardStore.h"
#include "store/Donnees.h"
#include "store/Queries.h"

namespace {

constexpr int kTopLevelTops[] = {2555, 3081, 3607, 4133};
constexpr int kOfficeTops[] = {2029, 2555, 3081, 3607, 4133, 4659, 5185, 5711, 6237};
const CategoryButtonPlaces kPlaces = {5078, 2029, kTopLevelTops, kOfficeTops};

// Opens the category as the current record set and counts its cards; an empty category counts
// none.
qint32 OpenCategory(const QString& code) {
    Recordset& cards = Store().OpenRecordset(Queries::Category(code));
    cards.MoveFirst();
    if (cards.Eof())
        return 0;
    cards.MoveLast();
    const qint32 count = cards.RecordCount();
    cards.MoveFirst();
    return count;
}

} // namespace

KorModifie::KorModifie() : PagedCardGrid("KorModifie", 540) {
    setWindowTitle(QStringLiteral("Pivanes"));

    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("Liste"));
    Label1->setFont(Face("Comic Sans MS", 9.75, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 4808, 120, 2265, 345);

    Categories = CategoryButtons::For(
        this, [this](const char* name) { return AddControl<QPushButton>(name, nullptr); }, kPlaces);
}

void KorModifie::Form_Load() {
    FormZoomed::LoadProtocol(*this);
    Entree();
}

void KorModifie::Entree() {
    show();
    SetMenuVisible(Mem, false);
    Categories->ShowTopLevel();
    MSFlexGrid1->SetVisible(false);
}

void KorModifie::Bureautique_Click() {
    Categories->ShowOffice();
}

void KorModifie::ChooseCategory(const QString& code, const QString& label) {
    Label1->setText(label);
    Donnees.CurrentCategoryCode = code;
    Depart();
}

// The category is opened before the buttons go, so that a store that fails leaves the choice
// on screen rather than an empty window.
void KorModifie::Depart() {
    const qint32 count = OpenCategory(Donnees.CurrentCategoryCode);
    Donnees.CardCount = count;
    SetMenuVisible(Mem, true);
    Categories->HideAll();
    MSFlexGrid1->SetVisible(false);
    FirstFill();
}

// An editor that could not show its card is not left open; the picker stays.
void KorModifie::OpenClickedCard() {
    Forms::Load<KorModifier>();
}
