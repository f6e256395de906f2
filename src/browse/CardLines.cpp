#include "browse/CardLines.h"

#include <algorithm>

QStringList CardLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = text.size();
        qsizetype length = end - start;
        if (length > 0 && text.at(end - 1) == QLatin1Char('\r'))
            --length;
        const QStringView line = QStringView(text).mid(start, length);
        const bool onlyBlanks =
            std::all_of(line.begin(), line.end(), [](QChar c) { return c == QLatin1Char(' '); });
        lines.append(onlyBlanks ? QString() : text.mid(start, length));
        start = end + 1;
    }
    return lines;
}
