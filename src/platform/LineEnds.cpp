#include "platform/LineEnds.h"

#include <algorithm>

// One pass each way, a line at a time into room taken once: replacing every line end in place
// moves the rest of a text of megabytes again and again.
QString StoredToShown(const QString& stored) {
    qsizetype at = stored.indexOf(QLatin1Char('\r'));
    if (at < 0)
        return stored;
    QString shown;
    shown.reserve(stored.size());
    qsizetype from = 0;
    for (; at >= 0; at = stored.indexOf(QLatin1Char('\r'), at + 1)) {
        if (at + 1 < stored.size() && stored.at(at + 1) == QLatin1Char('\n')) {
            shown += QStringView(stored).mid(from, at - from);
            from = at + 1;
        }
    }
    shown += QStringView(stored).mid(from);
    return shown;
}

// Every line feed becomes CR LF, and CR LF stays itself.
QString ShownToStored(const QString& shown) {
    QString stored;
    stored.reserve(shown.size() + shown.size() / 8);
    qsizetype from = 0;
    for (qsizetype at = shown.indexOf(QLatin1Char('\n')); at >= 0;
         at = shown.indexOf(QLatin1Char('\n'), at + 1)) {
        stored += QStringView(shown).mid(from, at - from);
        if (at == 0 || shown.at(at - 1) != QLatin1Char('\r'))
            stored += QLatin1Char('\r');
        from = at;
    }
    stored += QStringView(shown).mid(from);
    return stored;
}

namespace {

// The characters that a text document turns into a block break.
bool BreaksBlock(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
           c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

} // namespace

Pieces CutInPieces(QStringView text, qsizetype lineLength) {
    Pieces pieces;
    qsizetype from = 0;
    qsizetype afterBlank = -1; // where the line may be cut after its last blank
    qsizetype run = 0;         // characters since that blank
    qsizetype joined = 0;      // CR LF pairs so far, which the document makes one break
    // The new block holds what the line had from the cut up to `at`.
    auto cutAt = [&](qsizetype cut, qsizetype at) {
        pieces.text += text.mid(from, cut - from);
        pieces.cuts.push_back(pieces.text.size() - joined);
        pieces.cutOffsets.push_back(cut);
        pieces.text += QChar::ParagraphSeparator;
        lineLength = at - cut;
        run = std::min(run, lineLength);
        from = cut;
        afterBlank = -1;
    };
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        if (BreaksBlock(c)) {
            if (c == QLatin1Char('\r') && text.mid(at + 1, 1) == u"\n") {
                ++joined;
                pieces.pairedLineFeeds.push_back(at + 1);
            }
            lineLength = run = 0;
            afterBlank = -1;
            continue;
        }
        // Never between the two halves of a surrogate pair.
        const bool mayCut = !c.isLowSurrogate();
        if (mayCut && run >= kWordPieceLength)
            cutAt(at, at);
        else if (mayCut && lineLength >= kPieceLength)
            cutAt(afterBlank > from ? afterBlank : at, at);
        ++lineLength;
        ++run;
        if (c == QLatin1Char(' ')) {
            afterBlank = at + 1;
            run = 0;
        }
    }
    pieces.text += text.mid(from);
    return pieces;
}

qsizetype DocumentPosition(const Pieces& pieces, qsizetype offset) {
    const auto before = [offset](const std::vector<qsizetype>& offsets, bool including) {
        const auto end = including ? std::upper_bound(offsets.begin(), offsets.end(), offset)
                                   : std::lower_bound(offsets.begin(), offsets.end(), offset);
        return qsizetype(end - offsets.begin());
    };
    return offset + before(pieces.cutOffsets, true) - before(pieces.pairedLineFeeds, false);
}
