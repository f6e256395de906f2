#include "browse/CardLines.h"

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
        const QString line = text.mid(start, length);
        const bool onlyBlanks = line.count(QLatin1Char(' ')) == line.size();
        lines.append(onlyBlanks ? QString() : line);
        start = end + 1;
    }
    return lines;
}
