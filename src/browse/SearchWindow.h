#pragma once

#include "browse/PagedCardGrid.h"
#include "platform/Controls.h"

#include <QLabel>

// The cards of the whole collection whose title holds a keyword, in pages; a click shows the
// card in the main window. One keyword per opening.
// Its objectName, which scripts and the guide know, is "KorRecherche".
class SearchWindow : public PagedCardGrid {
    Q_OBJECT

public:
    explicit SearchWindow(Session& session);

    void Form_Load() override;

protected:
    bool OpenClickedCard() override;

private:
    void askForKeyword();
    void keywordKeyPress(int& KeyAscii);

    QLabel* Label1;
    QLabel* Label2;
    TextBox* Text1;
};
