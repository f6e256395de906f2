#include "browse/SearchWindow.h"

#include "browse/SearchKeyword.h"
#include "platform/Look.h"
#include "platform/NumberText.h"
#include "shell/Session.h"

SearchWindow::SearchWindow(Session& session) : PagedCardGrid("KorRecherche", 435, session) {
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

    Text1 = AddControl<TextBox>("Text1", nullptr);
    Text1->SetMultiLine(false);
    SetColors(Text1, Colors::Black, Colors::White);
    Text1->document()->setDocumentMargin(1);
    Place(Text1, 4148, 4718, 3585, 315);
    Text1->KeyPress = [this](int& keyAscii) { keywordKeyPress(keyAscii); };
}

void SearchWindow::Form_Load() {
    scaleToScreen();
    show();
    askForKeyword();
}

void SearchWindow::askForKeyword() {
    MSFlexGrid1->SetVisible(false);
    Text1->show();
    Label2->show();
    Label1->setText(QStringLiteral("RECHERCHE / ") + NumberText(session().cardCount) +
                    QStringLiteral(" Fiches"));
    Text1->setFocus();
}

void SearchWindow::keywordKeyPress(int& KeyAscii) {
    if (KeyAscii != 13)
        return;
    const QString keyword = SearchKeyword(Text1->Text());
    Text1->hide();
    Label2->hide();
    FirstFill(keyword.toUtf8());
}

bool SearchWindow::OpenClickedCard() {
    ShowCardInMainWindow();
    return true;
}
