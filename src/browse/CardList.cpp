#include "browse/CardList.h"

#include "platform/Look.h"

CardList::CardList(Session& session, qint64 currentCard)
    : PagedCardGrid("KorListe", 540, session, currentCard) {
    setWindowTitle(QStringLiteral("Liste"));
    Client()->setFont(Face("Arial", 8.25, true));
    Label1 = AddControl<QLabel>("Label1", nullptr, QStringLiteral("Liste"));
    Label1->setFont(Face("Comic Sans MS", 9.75, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 5483, 60, 915, 345);
}

void CardList::Form_Load() {
    scaleToScreen();
    show();
    FirstFill();
}

void CardList::OpenClickedCard(qint64 numero) {
    emit cardChosen(numero);
    Unload();
}
