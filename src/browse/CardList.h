#pragma once

#include "browse/PagedCardGrid.h"

#include <QLabel>

// Every card of the selection that the main window has open, in pages; a click shows the card
// in the main window.
// Its objectName, which scripts and the guide know, is "KorListe".
class CardList : public PagedCardGrid {
    Q_OBJECT

public:
    explicit CardList(Session& session);

    void Form_Load() override;

protected:
    bool OpenClickedCard() override;

private:
    QLabel* Label1;
};
