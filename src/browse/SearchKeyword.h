#pragma once

#include <QString>

// The keyword of the title search as typed: in capitals, without blanks around it.
QString SearchKeyword(const QString& typed);
// What the window says when no card holds the keyword.
QString NothingFoundText(const QString& keyword);
