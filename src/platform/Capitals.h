#pragma once

#include <QString>

// Capitals as titles are typed and searched: the full Unicode mapping, so that a letter without
// a capital of its own becomes its whole capital form ("ß" becomes "SS"), in both places alike.
inline QString Capitals(const QString& text) {
    return text.toUpper();
}
