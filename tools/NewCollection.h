#pragma once

#include "store/Card.h"

#include <QList>
#include <QString>
#include <functional>

// Writes a new local collection file holding `count` cards, the i-th made by card(i) from 0, in
// one import: the fast way to build demo, test and benchmark collections. Refuses a file that
// exists.
void WriteNewCollection(const QString& fileName, qint64 count,
                        const std::function<Card(qint64)>& card);
void WriteNewCollection(const QString& fileName, const QList<Card>& cards);

// Puts `count` cards, the i-th made by card(i) from 1, into the collection of a server through
// the program's own import, then runs its maintenance once, as on a server in use. Answers the
// seconds it took.
double FillServerCollection(const QString& server, qint32 count,
                            const std::function<Card(qint32)>& card);
