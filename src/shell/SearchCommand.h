#pragma once

#include "store/Collection.h"

#include <QString>
#include <QTextStream>

// pivanes --chercher MOTS: the cards whose title or text holds the words, one a line (number, a
// tab, title) in ascending number, and how many on the error stream. Answers the exit code: 0
// once searched, whatever was found, 1 when the collection could not be read.
int RunSearchCommand(const CollectionPlace& place, const QString& keyword, QTextStream& out,
                     QTextStream& err);
