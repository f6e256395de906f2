#include "print/PrintLayout.h"

#include "platform/Blanks.h"

#include <cmath>

namespace {

const QChar kBlank = QLatin1Char(' ');

// One pass from right to left, widening each gap by one blank until the line is `width` long
// or the gaps run out.
QString Justified(QString line, qint16 width) {
    const qsizetype trimmedLength = WithoutEndBlanks(line).size();
    if (trimmedLength >= width)
        return line;
    qsizetype missing = width - trimmedLength;
    for (qsizetype gap = trimmedLength - 1; gap >= 1; --gap) {
        if (line.at(gap - 1) != kBlank)
            continue;
        line.insert(gap, kBlank);
        if (--missing == 0)
            break;
    }
    return line;
}

// A line fills up one character at a time until it is one longer than the width, then goes
// back to its last blank (a line without any blank keeps all its characters) and is justified.
// The characters are taken that many at once, which is the same line, in a text of megabytes.
QStringList Cut(const QString& text, qint16 width) {
    const QString source = WithoutTrailingBlanks(text);
    if (source.size() <= width)
        return {source};
    QStringList pieces;
    const qsizetype last = source.size();
    qsizetype first = 1;
    while (last - first >= width) {
        QString line = source.mid(first - 1, width + 1);
        qsizetype next = first + width;
        const qsizetype lastBlank = line.lastIndexOf(kBlank);
        if (lastBlank >= 0) {
            next -= line.size() - (lastBlank + 1);
            line.truncate(lastBlank + 1);
        }
        pieces.append(Justified(line, width));
        first = next + 1;
    }
    if (first <= last)
        pieces.append(source.mid(first - 1));
    return pieces;
}

QString Placed(const QString& piece, PrintLayout::Placement placement) {
    const QString line = WithoutEndBlanks(piece);
    if (placement == PrintLayout::Placement::Indented)
        return QString(PrintLayout::kIndent, kBlank) + line;
    const long blanks = std::lrint((PrintLayout::kCentringField - line.size()) / 2.0);
    return QString(qMax(blanks, 0L), kBlank) + line;
}

} // namespace

namespace PrintLayout {

QStringList LayOutLine(const QString& source, qint16 width, Placement placement) {
    QStringList lines = Cut(source, width);
    for (QString& line : lines)
        line = Placed(line, placement);
    return lines;
}

QStringList CardSourceLines(const QString& title, const QStringList& textLines) {
    return QStringList{title, QString(), QString()} + textLines;
}

QStringList LayOutLines(const QStringList& sourceLines) {
    QStringList preview;
    for (qsizetype index = 0; index < sourceLines.size(); ++index)
        preview += LayOutLine(sourceLines.at(index), kWrapWidth,
                              index < 2 ? Placement::Centred : Placement::Indented);
    return preview;
}

QStringList LayOutCard(const QString& title, const QStringList& textLines) {
    return LayOutLines(CardSourceLines(title, textLines));
}

bool StartsNewPage(qint32 index) {
    return index % kLinesPerPage == 0 && index > 10;
}

} // namespace PrintLayout
