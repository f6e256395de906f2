#include "browse/SearchKeyword.h"

#include "platform/Blanks.h"
#include "platform/Capitals.h"

QString SearchKeyword(const QString& typed) {
    return WithoutEndBlanks(Capitals(typed));
}

QString NothingFoundText(const QString& keyword) {
    return QStringLiteral("Aucune fiche ne contient « %1 ».").arg(keyword);
}
