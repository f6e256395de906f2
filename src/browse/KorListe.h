#pragma once

#include "browse/PagedCardGrid.h"

#include <QLabel>

// Every card of the selection that the main window has open, in pages; a click shows the card
// in the main window.
class KorListe : public PagedCardGrid {
    Q_OBJECT

public:
    KorListe();

    QLabel* Label1;

public slots:
    void Form_Load() override;

protected:
    bool OpenClickedCard() override;
};
