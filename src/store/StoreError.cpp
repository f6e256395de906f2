#include "store/StoreError.h"

StoreError::StoreError(Kind kind, const QString& text)
    : std::runtime_error(text.toStdString()), kind_(kind), text_(text) {}
