#include "edit/NewCardForm.h"

#include "edit/CategoryButtons.h"
#include "platform/Forms.h"
#include "shell/FormZoomed.h"
#include "shell/MainWindow.h"
#include "store/CardStore.h"
#include "store/CategoryCatalogue.h"
#include "store/Donnees.h"
#include "store/Queries.h"
#include "store/StoreError.h"

namespace {

constexpr int kTopLevelTops[] = {3195, 3705, 4215, 4710};
constexpr int kOfficeTops[] = {2700, 3210, 3705, 4215, 4710, 5220, 5730, 6240, 6750};
const CategoryButtonPlaces kPlaces = {60, 2700, kTopLevelTops, kOfficeTops};

// All cards as the current record set, standing on the last one unless there is none.
void OpenAllCards() {
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    cards.MoveFirst();
    if (!cards.Eof())
        cards.MoveLast();
}

} // namespace

NewCardForm::NewCardForm() : CardForm("KorAjouter", {5153, 1575}, 7290) {
    lblLabels->setText(QStringLiteral("NOM  PIVANE"));
    Categories = CategoryButtons::For(
        this, [this](const char* name) { return AddControl<QPushButton>(name, nullptr); }, kPlaces);
}

void NewCardForm::Form_Load() {
    FormZoomed::LoadProtocol(*this);
    Depart();
}

void NewCardForm::Depart() {
    show();
    Categories->HideAll();
    Command1->show();
    ClearCard();
    OpenAllCards();
    Text1->setFocus();
}

void NewCardForm::Command1_Click() {
    Command1->hide();
    Categories->ShowTopLevel();
}

void NewCardForm::Bureautique_Click() {
    lblLabels->setText(QString::fromLatin1(CategoryCatalogue::kOfficeLabel));
    Categories->ShowOffice();
}

void NewCardForm::ChooseCategory(const QString& code, const QString& label) {
    const QString shownBefore = lblLabels->text();
    lblLabels->setText(label);
    Donnees.CurrentCategoryCode = code;
    if (!Ecrire())
        lblLabels->setText(shownBefore);
}

bool NewCardForm::Ecrire() {
    try {
        WriteCard();
    } catch (const StoreError& error) {
        ReportNotSaved(error.text());
        return false;
    }
    Depart();
    return true;
}

// The card is stored whole or not at all, under the number the collection gives it, and the
// boxes keep what was typed until it is.
void NewCardForm::WriteCard() {
    Donnees.CurrentCardNumber = Store().collection().Add(TypedFields());
}

void NewCardForm::Retour_Click() {
    Forms::Show<MainWindow>();
    Forms::Unload<NewCardForm>();
}
