#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the card store; its text is shown to the user as it stands.
class StoreError : public std::runtime_error {
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
        Busy,
        Replaced,  // another program put a new file in place of the open one
        DiskError, // the disk answered a read or a write with an error
        Failed,
    };

    StoreError(Kind kind, const QString& text);

    Kind kind() const { return kind_; }
    QString text() const { return text_; }

private:
    Kind kind_;
    QString text_;
};
