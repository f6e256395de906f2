#pragma once

#include "browse/PagedCardGrid.h"

#include <QLabel>

// Every card of the selection that the main window has open, in pages; a click shows the card
// in the main window.
// Its objectName, which scripts and the guide know, is "KorListe".
class CardList : public PagedCardGrid {
    Q_OBJECT

public:
    CardList(Session& session, qint64 currentCard);

    void Form_Load() override;

protected:
    void OpenClickedCard(qint64 numero) override;

private:
    QLabel* Label1;
};
