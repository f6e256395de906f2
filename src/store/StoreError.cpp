#include "store/StoreError.h"

StoreError::StoreError(Kind kind, const QString& sentence, const QString& reason)
    : UserError(sentence, reason), kind_(kind) {}
