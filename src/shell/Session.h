#pragma once

#include <QString>
#include <QtGlobal>

// What the windows share while the program runs: the shell owns it and hands it to the first
// window, and each window to the windows it opens.
struct Session {
    // The collection file, in the data folder.
    QString databaseFile = QStringLiteral("Pivane.mdb");
    // The category whose cards were last chosen (in the main window or the card picker), or the
    // one a new card is stored in: always a category's code.
    QString categoryCode;
    // The card on display, or the one clicked in a grid. A foreign file may number cards beyond
    // 32 bits: they are shown and kept as stored.
    qint64 currentCard = 0;
    // The cards of the selection last counted.
    qint32 cardCount = 0;
};
