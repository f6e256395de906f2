#include "browse/SearchWindow.h"

#include "browse/SearchKeyword.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "shell/Session.h"

#include <QKeyEvent>

SearchWindow::SearchWindow(Session& session, qint64 currentCard)
    : PagedCardGrid("KorRecherche", 435, session, currentCard) {
    setWindowTitle(QStringLiteral("Liste"));
    Client()->setFont(Face("Arial", 8.25, true));

    Label1 = AddControl<QLabel>("Label1", nullptr);
    Label1->setFont(Face("Comic Sans MS", 9.75, true));
    Label1->setAlignment(Qt::AlignCenter);
    SetColors(Label1, Colors::Yellow, Colors::LightBlue);
    Place(Label1, 3233, 60, 5415, 345);

    Label2 = AddControl<QLabel>("Label2", nullptr, QStringLiteral("Mot Rechercher"));
    Label2->setAlignment(Qt::AlignCenter);
    SetColors(Label2, Colors::Blue, Colors::LightBlue);
    Place(Label2, 4553, 3548, 2775, 285);

    Label3 = AddControl<QLabel>("Label3", nullptr);
    SetColors(Label3, Colors::Yellow, Colors::LightBlue);
    Place(Label3, 263, 8205, 11355, 285);

    Text1 = AddControl<TextBox>("Text1", nullptr);
    Text1->SetMultiLine(false);
    SetColors(Text1, Colors::Black, Colors::White);
    Text1->document()->setDocumentMargin(1);
    Place(Text1, 4148, 4718, 3585, 315);
    connect(Text1, &TextBox::enterPressed, this, Guarded(&SearchWindow::search));

    Check1 = AddControl<QCheckBox>("Check1", nullptr,
                                   QStringLiteral("Chercher aussi dans le texte des fiches"));
    SetColors(Check1, Colors::Blue, Colors::LightBlue);
    QPalette tick = Check1->palette();
    tick.setColor(QPalette::Base, Colors::White);
    Check1->setPalette(tick);
    Place(Check1, 4148, 5183, 3585, 285);
}

void SearchWindow::scaleChanged() {
    PagedCardGrid::scaleChanged();
    scaleTick();
}

// The box's tick grows with the window, as its caption does: 13 pixels at design size.
void SearchWindow::scaleTick() {
    constexpr int kTickTwips = 195;
    Check1->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }")
                              .arg(scaledPixels(kTickTwips)));
}

void SearchWindow::Form_Load() {
    scaleToScreen();
    scaleTick();
    show();
    askForKeyword();
}

void SearchWindow::askForKeyword() {
    MSFlexGrid1->hide();
    Label3->hide();
    Text1->show();
    Label2->show();
    Check1->show();
    Label1->setText(QStringLiteral("RECHERCHE / ") + NumberText(session().cardCount) +
                    QStringLiteral(" Fiches"));
    Text1->setFocus();
}

// Enter on the check box searches too, as it does in the keyword box beside it.
void SearchWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == Check1 && Check1->isVisible())
        RunGuarded([this] { search(); });
    else
        PagedCardGrid::keyPressEvent(event);
}

void SearchWindow::search() {
    Text1->hide();
    Label2->hide();
    Check1->hide();
    QString keyword;
    if (Check1->isChecked()) {
        keyword = Text1->Text().trimmed();
        textQuery_ = TextQuery::Parse(Text1->Text());
        FirstFill(*textQuery_);
    } else {
        keyword = SearchKeyword(Text1->Text());
        FirstFill(keyword.toUtf8());
    }
    Label3->setText(NothingFoundText(keyword));
    Label3->setVisible(pageState().total == 0);
}

void SearchWindow::OpenClickedCard(qint64 numero) {
    emit cardChosen(numero);
    if (textQuery_)
        emit wordsFound(*textQuery_);
    Unload();
}
