#pragma once

#include <QString>

// The program's two query texts, built in one place.
namespace Queries {

inline const QString kAllCards = QStringLiteral("SELECT * FROM TrucPivane");
inline const QString kCategoryPrefix = QStringLiteral("SELECT * FROM TrucPivane  WHERE Cate = '");

inline QString AllCards() {
    return kAllCards;
}
inline QString Category(const QString& code) {
    return kCategoryPrefix + code + QLatin1Char('\'');
}

} // namespace Queries
