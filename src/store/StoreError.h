#pragma once

#include "platform/UserError.h"

// The failures of the card store, told to the user like any other; the kind lets a caller tell
// a missing file from a damaged one.
class StoreError : public UserError {
public:
    enum class Kind {
        MissingFile,
        NotADatabase,
        Damaged,
        NoTable,
        Closed,
        NoCurrentRecord,
        NoRecordset,
        ReadOnly,
        Failed,
    };

    StoreError(Kind kind, const QString& sentence, const QString& reason = QString());

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};
