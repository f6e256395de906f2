#include "edit/NewCardForm.h"

#include "edit/CategoryButtons.h"
#include "shell/Session.h"
#include "store/CategoryCatalogue.h"
#include "store/StoreError.h"

namespace {

constexpr int kTopLevelTops[] = {3195, 3705, 4215, 4710};
constexpr int kOfficeTops[] = {2700, 3210, 3705, 4215, 4710, 5220, 5730, 6240, 6750};
const CategoryButtonPlaces kPlaces = {60, 2700, kTopLevelTops, kOfficeTops};

} // namespace

NewCardForm::NewCardForm(Session& session) : CardForm("KorAjouter", {5153, 1575}, 7290, session) {
    lblLabels->setText(QStringLiteral("NOM  PIVANE"));
    Categories = CategoryButtons::For(
        this, &NewCardForm::showOfficeCategories, &NewCardForm::storeInCategory,
        [this](const char* name) { return AddControl<QPushButton>(name, nullptr); }, kPlaces);
}

void NewCardForm::Form_Load() {
    scaleToScreen();
    startAfresh();
}

void NewCardForm::startAfresh() {
    show();
    Categories->HideAll();
    Command1->show();
    ClearCard();
    MarkUnchanged();
    Text1->setFocus();
}

void NewCardForm::commandPressed() {
    Command1->hide();
    Categories->ShowTopLevel();
}

void NewCardForm::showOfficeCategories() {
    lblLabels->setText(QString::fromLatin1(CategoryCatalogue::kOfficeLabel));
    Categories->ShowOffice();
}

void NewCardForm::storeInCategory(const QString& code, const QString& label) {
    const QString shownBefore = lblLabels->text();
    lblLabels->setText(label);
    if (!storeCard(code))
        lblLabels->setText(shownBefore);
}

bool NewCardForm::storeCard(const QString& code) {
    category_ = code;
    try {
        addToCollection();
    } catch (const StoreError& error) {
        ReportNotSaved(error.text());
        return false;
    }
    startAfresh();
    return true;
}

// The card is stored whole or not at all, under the number the collection gives it, and the
// boxes keep what was typed until it is.
void NewCardForm::addToCollection() {
    session().collection().Add(TypedFields());
}

void NewCardForm::goBack() {
    Leave();
}

// The card has no number until it is stored.
QString NewCardForm::DiscardQuestion() const {
    return QStringLiteral("Abandonner la nouvelle fiche ?");
}
