#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Lays a card out as print lines of characters: the title centred, the text wrapped at 75
// characters, justified by widening blanks and indented. Only characters are counted; no font
// is measured. The working values live in the shared variables (Donnees), and each print line is
// appended to the preview list handed in.
namespace PrintLayout {

inline constexpr qint16 kWrapWidth = 75;
inline constexpr int kIndent = 15;
inline constexpr int kCentringField = kIndent + kWrapWidth + kIndent;
// List lines of the preview that go on one printed page.
inline constexpr int kLinesPerPage = 65;

// Cuts a source line into print lines of at most `width` characters and hands each to PrnText.
void CoupeLigne(const QString& text, qint16 width, QStringList& preview);
// Trims a print line, centres it (the title's lines) or indents it, and appends it.
void PrnText(QString& line, QStringList& preview);

// The source lines of a card: its title, two empty lines, its text lines.
QStringList CardSourceLines(const QString& title, const QStringList& textLines);
// Lays out source lines one after another; the list index decides centring or indentation.
QStringList LayOutLines(const QStringList& sourceLines);
QStringList LayOutCard(const QString& title, const QStringList& textLines);

// Whether list line `index` of the preview begins a new printed page.
bool StartsNewPage(qint32 index);

} // namespace PrintLayout
