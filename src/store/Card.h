#pragma once

#include <QString>
#include <QtGlobal>

// One row of the card table, as stored: text lines end with CR LF.
struct Card {
    qint64 Numero = 0;
    QString Cate;
    QString Titre;
    QString Pivanes;
};
