#include "print/PrintLayout.h"

#include "store/Donnees.h"

#include <cmath>

namespace {

const QChar kBlank = QLatin1Char(' ');

// Only blanks count as the ends of a line here, never tabs or line breaks.
QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == kBlank)
        --end;
    return text.left(end);
}

QString WithoutEndBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == kBlank)
        ++start;
    return WithoutTrailingBlanks(text.mid(start));
}

// Shortens the full line back to the blank where it breaks, giving back the characters taken
// after it. A line without any blank keeps all its characters.
void BackToBlank() {
    Donnees.PrintLineLength = qint32(Donnees.PrintLine.size());
    const auto lastBlank = qint32(Donnees.PrintLine.lastIndexOf(kBlank));
    if (lastBlank < 0)
        return;
    Donnees.PrintCharIndex -= Donnees.PrintLineLength - (lastBlank + 1);
    Donnees.PrintLineLength = lastBlank + 1;
    Donnees.PrintLine.truncate(Donnees.PrintLineLength);
}

// One pass from right to left, widening each gap by one blank until the line is `width` long
// or the gaps run out. The two pieces at the last gap widened are left in the scratch texts.
void Justify(qint16 width) {
    const auto trimmedLength = qint16(WithoutEndBlanks(Donnees.PrintLine).size());
    if (trimmedLength >= width)
        return;
    Donnees.PrintPadCount = qint16(width - trimmedLength);
    qint16 widened = 0;
    for (Donnees.PrintGapPosition = qint16(trimmedLength - 1); Donnees.PrintGapPosition >= 1;
         --Donnees.PrintGapPosition) {
        if (Donnees.PrintLine.at(Donnees.PrintGapPosition - 1) != kBlank)
            continue;
        Donnees.PrintLine.insert(Donnees.PrintGapPosition, kBlank);
        widened = Donnees.PrintGapPosition;
        if (--Donnees.PrintPadCount == 0)
            break;
    }
    if (widened > 0) {
        Donnees.ScratchText = Donnees.PrintLine.left(widened);
        Donnees.ScratchRest = Donnees.PrintLine.mid(widened + 1);
    }
}

} // namespace

namespace PrintLayout {

void CoupeLigne(const QString& text, qint16 width, QStringList& preview) {
    // The caller's text is often Donnees.PrintLine itself: read before clearing.
    QString source = WithoutTrailingBlanks(text);
    Donnees.PrintLine.clear();
    if (source.size() <= width) {
        PrnText(source, preview);
        return;
    }
    // A line fills up one character at a time until it is one longer than the width: the
    // characters are taken that many at once, which is the same line, in a text of megabytes.
    const auto last = qint32(source.size());
    qint32 first = 1;
    while (last - first >= width) {
        Donnees.PrintLine = source.mid(first - 1, width + 1);
        Donnees.PrintCharIndex = first + width;
        Donnees.PrintLineWidth = qint16(width + 1);
        BackToBlank();
        Justify(width);
        PrnText(Donnees.PrintLine, preview);
        Donnees.PrintLine.clear();
        first = Donnees.PrintCharIndex + 1;
    }
    Donnees.PrintCharIndex = last + 1;
    if (first <= last) {
        Donnees.PrintLine = source.mid(first - 1);
        Donnees.PrintLineWidth = qint16(Donnees.PrintLine.size());
        PrnText(Donnees.PrintLine, preview);
        Donnees.PrintLine.clear();
    }
}

void PrnText(QString& line, QStringList& preview) {
    line = WithoutEndBlanks(line);
    if (Donnees.PrintListIndex >= 2) {
        line.prepend(QString(kIndent, kBlank));
    } else {
        Donnees.PrintPadCount = qint16(std::lrint((kCentringField - line.size()) / 2.0));
        line.prepend(QString(qMax<qint16>(Donnees.PrintPadCount, 0), kBlank));
    }
    preview.append(line);
}

QStringList CardSourceLines(const QString& title, const QStringList& textLines) {
    return QStringList{title, QString(), QString()} + textLines;
}

QStringList LayOutLines(const QStringList& sourceLines) {
    QStringList preview;
    for (Donnees.PrintListIndex = 0; Donnees.PrintListIndex < sourceLines.size();
         ++Donnees.PrintListIndex) {
        Donnees.PrintLine = sourceLines.at(Donnees.PrintListIndex);
        CoupeLigne(Donnees.PrintLine, kWrapWidth, preview);
    }
    return preview;
}

QStringList LayOutCard(const QString& title, const QStringList& textLines) {
    return LayOutLines(CardSourceLines(title, textLines));
}

bool StartsNewPage(qint32 index) {
    return index % kLinesPerPage == 0 && index > 10;
}

} // namespace PrintLayout
