#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Lays a card out as print lines of characters: the title centred, the text wrapped at 75
// characters, justified by widening blanks and indented. Only characters are counted; no font
// is measured.
namespace PrintLayout {

inline constexpr qint16 kWrapWidth = 75;
inline constexpr int kIndent = 15;
inline constexpr int kCentringField = kIndent + kWrapWidth + kIndent;
// List lines of the preview that go on one printed page.
inline constexpr int kLinesPerPage = 65;

enum class Placement { Centred, Indented };

// The print lines of one source line: cut at `width` characters, each piece trimmed and placed.
QStringList LayOutLine(const QString& source, qint16 width, Placement placement);

// The source lines of a card: its title, two empty lines, its text lines.
QStringList CardSourceLines(const QString& title, const QStringList& textLines);
// Lays out source lines one after another: the first two centred, the others indented.
QStringList LayOutLines(const QStringList& sourceLines);
QStringList LayOutCard(const QString& title, const QStringList& textLines);

// Whether list line `index` of the preview begins a new printed page.
bool StartsNewPage(qint32 index);

} // namespace PrintLayout
