#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// Cards are stored with CR LF line ends; Qt's text widgets show line feeds.
QString StoredToShown(const QString& stored);
QString ShownToStored(const QString& shown);

// A text widget lays out a line of many thousand characters in seconds to minutes, a piece of it
// in a few milliseconds: a line of words is cut into pieces of up to kPieceLength characters, after
// a blank where there is one; a run without blanks, which the layout breaks at a cost that grows
// with the square of its length, into pieces of kWordPieceLength.
inline constexpr qsizetype kPieceLength = 16384;
inline constexpr qsizetype kWordPieceLength = 2048;

// A text with a paragraph separator at each cut of a long line, and where each cut falls in a
// text document, which makes one block break of each CR LF pair.
struct Pieces {
    QString text;
    std::vector<qsizetype> cuts;
    // In the text cut: where each piece after the first begins, and the line feed of each CR LF.
    std::vector<qsizetype> cutOffsets;
    std::vector<qsizetype> pairedLineFeeds;
};

// lineLength: how long the line already is that the text continues.
Pieces CutInPieces(QStringView text, qsizetype lineLength);

// Where the character at an offset of the text cut stands in a document holding its pieces from
// position 0: each cut before it adds a position, each CR LF pair takes one.
qsizetype DocumentPosition(const Pieces& pieces, qsizetype offset);
