#pragma once

#include <QString>
#include <QStringList>

// Cuts a card's text into its lines, as the printout takes them: no line-break characters, a
// line of blanks as an empty line, and a last line without a line break kept.
QStringList CardLines(const QString& text);
