#pragma once

#include "store/Card.h"

#include <QList>
#include <QStringList>

class QWidget;

inline bool operator==(const Card& a, const Card& b) {
    return a.Numero == b.Numero && a.Cate == b.Cate && a.Titre == b.Titre && a.Pivanes == b.Pivanes;
}

// Every card of "Pivane.mdb", read through a connection of its own, in ascending number.
QList<Card> StoredCards();

// Types text key by key; QTest::keyClicks knows only ASCII, and accented letters are typed too.
void Type(QWidget* widget, const QString& text);

// Clicks the named button of a window if the user can see it; false otherwise.
bool Press(const QWidget& form, const char* name);
// The names of the buttons the user sees, from top to bottom.
QStringList VisibleButtons(const QWidget& form);

// Makes the open card store refuse every write. The file is write-protected where that stops
// writes; a privileged user writes through file modes, so the connection is then made
// read-only instead.
void RefuseWrites(const QString& fileName = QStringLiteral("Pivane.mdb"));
