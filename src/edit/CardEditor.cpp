#include "edit/CardEditor.h"

#include "browse/CardBoxes.h"
#include "platform/Forms.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "shell/Session.h"
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
    // The count of all cards and the card itself are all that is read.
    session().CountCards(Selection::AllCards());
    shown_ = session().collection().ReadCard(session().currentCard);
    if (shown_)
        ShowCard(*shown_, *Text1, *Text2);
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
    if (!shown_ || shown_->cate != session().categoryCode)
        return false;
    shown_ = session().collection().Update(*shown_, TypedFields());
    return true;
}

// Back to the card picker, which starts again from the choice of a category.
void CardEditor::goBack() {
    back_();
    Forms::Unload<CardEditor>();
}
