#include "edit/CardForm.h"

#include "edit/CategoryButtons.h"
#include "platform/Look.h"
#include "platform/MessageBox.h"
#include "shell/Pictures.h"
#include "shell/Session.h"
#include "store/Collection.h"

CardForm::CardForm(const char* className, LabelPlace labelPlace, int command1Top, Session& session)
    : Window(className, session) {
    setWindowTitle(QStringLiteral("Pivanes"));
    SetBackground(Client(), Colors::LightBlue);

    Text1 = AddControl<TextBox>("Text1", nullptr);
    Text1->SetMaxLength(100);
    // A title is one line: Enter and Tab never put a line break or a tab into it.
    Text1->SetMultiLine(false);
    Text1->setFont(Face("Courier New", 8.25, true));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetColors(Text1, Colors::Yellow, Colors::Blue);
    Place(Text1, 1830, 420, 9915, 360);
    Text1->SetCapitals(true);

    Text2 = AddControl<TextBox>("Text2", nullptr);
    Text2->SetMaxLength(kTextLimit);
    Text2->SetLimitMessage(TextLimitMessage());
    Text2->setFont(Face("Courier New", 9.75, true));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetColors(Text2, Colors::Yellow, Colors::Blue);
    Place(Text2, 1860, 840, 9915, 7005);

    lblLabels = AddControl<QLabel>("lblLabels", nullptr);
    lblLabels->setFont(Face("Comic Sans MS", 8.25, true));
    lblLabels->setAlignment(Qt::AlignCenter);
    SetColors(lblLabels, Colors::Green, Colors::Blue);
    Place(lblLabels, labelPlace.left, 60, labelPlace.width, 285);

    Label2 = AddControl<QLabel>("Label2", nullptr);
    Label2->setFont(Face("Arial", 8.25, true));
    Label2->setAlignment(Qt::AlignCenter);
    SetColors(Label2, Colors::Yellow, Colors::LightBlue);
    Place(Label2, 4624, 8070, 2625, 360);

    Command1 = AddControl<QPushButton>("Command1", nullptr, QStringLiteral("Enregistrer"));
    PlaceCommandButton(Command1, 60, command1Top);
    OnClick(Command1, &CardForm::commandPressed);

    Image1 = AddControl<ImageBox>("Image1", nullptr);
    Image1->setPixmap(Pictures::Logo());
    Place(Image1, 60, 420, 1725, 1725);

    Retour = AddMenuCommand("Retour", QStringLiteral("Retour"));
    OnTriggered(Retour, &CardForm::leaveAsked);
    OnEscape(Retour);
}

QString CardForm::TextLimitMessage() {
    return QStringLiteral("Le texte d'une fiche est limité à %1 millions de caractères : ce qui "
                          "l'aurait dépassé n'a pas été ajouté. Le texte de la fiche reste tel "
                          "qu'il était.")
        .arg(kTextLimit / 1'000'000);
}

void CardForm::WindowClosed() {
    leaveAsked();
}

void CardForm::leaveAsked() {
    const bool changed = Text1->Text() != unchangedTitle_ || Text2->Text() != unchangedText_;
    if (changed && MessageBox::AskYesNo(DiscardQuestion()) != MessageBox::Answer::Yes)
        return;
    goBack();
}

void CardForm::MarkUnchanged() {
    unchangedTitle_ = Text1->Text();
    unchangedText_ = Text2->Text();
}

void CardForm::ClearCard() {
    Text1->SetText(QString());
    Text2->SetText(QString());
    Text2->show();
    Text1->show();
    lblLabels->show();
}

CardFields CardForm::TypedFields() const {
    return {category_, Text1->Text(), Text2->Text()};
}

void CardForm::ReportNotSaved(const QString& reason) {
    MessageBox::Error(QStringLiteral("La fiche n'a pas été enregistrée.\n\n%1\n\n"
                                     "Le titre et le texte restent dans la fenêtre.")
                          .arg(reason));
}
