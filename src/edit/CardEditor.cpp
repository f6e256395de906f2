#include "edit/CardEditor.h"

#include "browse/CardBoxes.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "shell/Session.h"
#include "store/CardStore.h"
#include "store/Queries.h"
#include "store/StoreError.h"

CardEditor::CardEditor(Session& session, std::function<void()> back)
    : CardForm("KorModifier", {4913, 2055}, 4185, session), back_(std::move(back)) {}

void CardEditor::Form_Load() {
    scaleToScreen();
    showPickedCard();
}

void CardEditor::showPickedCard() {
    show();
    ClearCard();
    // All cards become the current record set without being walked: the count and the card's
    // own row are all that is read.
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    session().cardCount = qint32(Store().collection().Count(Selection::AllCards()).cards);
    shown_.reset();
    if (cards.Seek(session().currentCard)) {
        ShowCard(cards, *Text1, *Text2);
        shown_ = cards.CurrentCard();
    }
    Text1->setFocus();
    ShowSaved(false);
    Label2->setText(QStringLiteral("FICHE N° ") + NumberText(session().currentCard) +
                    QStringLiteral(" / ") + NumberText(session().cardCount));
}

void CardEditor::ShowSaved(bool saved) {
    SetColors(lblLabels, Colors::Green, saved ? Colors::Red : Colors::Blue);
    lblLabels->setText(saved ? QStringLiteral("ENREGISTREE") : QStringLiteral("NON ENREGISTREE"));
}

void CardEditor::commandPressed() {
    try {
        if (!WriteCard()) {
            ReportNotSaved(QStringLiteral("La fiche N° %1 n'est pas dans la catégorie « %2 ».")
                               .arg(session().currentCard)
                               .arg(session().categoryCode));
            return;
        }
    } catch (const StoreError& error) {
        ReportNotSaved(error.text());
        return;
    }
    ShowSaved(true);
}

// One update of the picked card, refused when another program changed it since it was shown; no
// other card is ever written in its place.
bool CardEditor::WriteCard() {
    Recordset& cards = Store().OpenRecordset(Queries::Category(session().categoryCode));
    if (!shown_ || shown_->cate != session().categoryCode)
        return false;
    shown_ = Store().collection().Update(*shown_, TypedFields());
    // The card saved is the current one, as the record set's own edit left it.
    cards.Seek(shown_->numero);
    return true;
}

// Back to the card picker, which starts again from the choice of a category.
void CardEditor::goBack() {
    back_();
    Forms::Unload<CardEditor>();
}
