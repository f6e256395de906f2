#pragma once

#include <QString>
#include <optional>

// The program's two query texts, built and recognised in one place.
namespace Queries {

inline const QString kAllCards = QStringLiteral("SELECT * FROM TrucPivane");
inline const QString kCategoryPrefix = QStringLiteral("SELECT * FROM TrucPivane  WHERE Cate = '");

inline QString AllCards() {
    return kAllCards;
}
inline QString Category(const QString& code) {
    return kCategoryPrefix + code + QLatin1Char('\'');
}
// The code of a category query, quotes and all; none for any other text.
inline std::optional<QString> CategoryCode(const QString& sql) {
    if (!sql.startsWith(kCategoryPrefix) || !sql.endsWith(QLatin1Char('\'')) ||
        sql.size() <= kCategoryPrefix.size())
        return std::nullopt;
    return sql.sliced(kCategoryPrefix.size(), sql.size() - kCategoryPrefix.size() - 1);
}

} // namespace Queries
