#pragma once

#include <QString>

// Blanks at the ends of a line, as the lists and the printout drop them: only the space counts,
// never a tab or a line break.
inline QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

inline QString WithoutEndBlanks(const QString& text) {
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin) == QLatin1Char(' '))
        ++begin;
    return WithoutTrailingBlanks(text.mid(begin));
}
