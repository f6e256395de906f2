#pragma once

#include <QString>

// The card table's columns, named once: a misspelt field fails to compile.
namespace Field {

inline const QString Numero = QStringLiteral("Numero");
inline const QString Cate = QStringLiteral("Cate");
inline const QString Titre = QStringLiteral("Titre");
inline const QString Pivanes = QStringLiteral("Pivanes");

} // namespace Field
