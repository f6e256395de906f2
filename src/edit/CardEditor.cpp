#include "edit/CardEditor.h"

#include "browse/CardBoxes.h"
#include "edit/CategoryButtons.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "platform/NumberText.h"
#include "shell/Session.h"
#include "shell/WriteAccess.h"
#include "store/StoreError.h"

namespace {
constexpr int kSaveTop = 4185;
// One button's height and the gap that the category buttons of the card forms leave.
constexpr int kButtonStep = 510;
} // namespace

CardEditor::CardEditor(Session& session, qint64 numero, const QString& category)
    : CardForm("KorModifier", {4913, 2055}, kSaveTop, session), numero_(numero) {
    category_ = category;
    Supprimer = AddControl<QPushButton>("Supprimer", nullptr, QStringLiteral("Supprimer"));
    PlaceCommandButton(Supprimer, 60, kSaveTop + kButtonStep);
    OnClick(Supprimer, &CardEditor::deletePressed);
}

void CardEditor::Form_Load() {
    scaleToScreen();
    showPickedCard();
}

void CardEditor::showPickedCard() {
    show();
    ClearCard();
    // The count of all cards and the card itself are all that is read.
    session().CountCards(Selection::AllCards());
    shown_ = session().collection().ReadCard(numero_);
    if (shown_)
        ShowCard(*shown_, *Text1, *Text2);
    MarkUnchanged();
    WriteAccess::Of(session()).Show(Supprimer, shown_.has_value());
    Text1->setFocus();
    ShowSaved(false);
    Label2->setText(QStringLiteral("FICHE N° ") + NumberText(numero_) + QStringLiteral(" / ") +
                    NumberText(session().cardCount));
}

void CardEditor::ShowSaved(bool saved) {
    SetColors(lblLabels, Colors::Green, saved ? Colors::Red : Colors::Blue);
    lblLabels->setText(saved ? QStringLiteral("ENREGISTREE") : QStringLiteral("NON ENREGISTREE"));
}

void CardEditor::commandPressed() {
    try {
        if (!WriteCard()) {
            ReportNotSaved(QStringLiteral("La fiche N° %1 n'est pas dans la catégorie « %2 ».")
                               .arg(numero_)
                               .arg(category_));
            return;
        }
    } catch (const StoreError& error) {
        if (error.kind() == StoreError::Kind::EditConflict)
            offerAsNewCard(error);
        else
            ReportNotSaved(error.text());
        return;
    }
    MarkUnchanged();
    ShowSaved(true);
}

// The new card takes the picked category, and the editor goes on with it.
void CardEditor::offerAsNewCard(const StoreError& conflict) {
    const QString question =
        conflict.text() + QStringLiteral("\n\nEnregistrer votre titre et votre texte comme une "
                                         "nouvelle fiche ? Sinon, ils restent dans la fenêtre.");
    if (MessageBox::AskYesNo(question) != MessageBox::Answer::Yes)
        return;
    try {
        numero_ = session().collection().Add(TypedFields());
    } catch (const StoreError& error) {
        ReportNotSaved(error.text());
        return;
    }
    MessageBox::Show(QStringLiteral("Votre titre et votre texte sont enregistrés dans la nouvelle "
                                    "fiche N° %1.")
                         .arg(numero_));
    showPickedCard();
    ShowSaved(true);
}

// One update of the picked card, refused when another program changed it since it was shown; no
// other card is ever written in its place.
bool CardEditor::WriteCard() {
    if (!shown_ || shown_->cate != category_)
        return false;
    shown_ = session().collection().Update(*shown_, TypedFields());
    return true;
}

void CardEditor::deletePressed() {
    const QString question =
        QStringLiteral("Supprimer la fiche N° %1 « %2 » ?\n\nElle ira dans la corbeille, d'où "
                       "« Remettre » la rend sous le même numéro.")
            .arg(QString::number(shown_->numero), shown_->titre.value_or(QString()).trimmed());
    if (MessageBox::AskYesNo(question) != MessageBox::Answer::Yes)
        return;
    try {
        session().collection().MoveToTrash(shown_->numero);
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
        return;
    }
    goBack();
}

QString CardEditor::DiscardQuestion() const {
    return QStringLiteral("Abandonner les changements de la fiche N° %1 ?").arg(numero_);
}

// Back to the card picker, which starts again from the choice of a category.
void CardEditor::goBack() {
    Leave();
}
