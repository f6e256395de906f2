#include "browse/SearchKeyword.h"

#include "platform/Blanks.h"
#include "platform/Capitals.h"

QString SearchKeyword(const QString& typed) {
    return WithoutEndBlanks(Capitals(typed));
}
