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
        ReadOnly,
        Busy,
        Replaced,     // another program put a new file in place of the open one
        DiskError,    // the disk answered a read or a write with an error
        EditConflict, // the card changed or went since it was read: nothing was written
        Failed,
    };

    StoreError(Kind kind, const QString& sentence, const QString& reason = QString());

    Kind kind() const { return kind_; }

    // The collection was closed since the rows or the card were asked for.
    static StoreError CollectionClosed();
    // The card changed since it was read, or went (removed): the write was refused. The caller
    // says what becomes of what was typed.
    static StoreError EditConflict(qint64 numero, bool removed);
    // No number is left after the highest within the 32 bits that card numbers have.
    static StoreError NumbersExhausted();
    // An import that keeps numbers met one twice: nothing was imported.
    static StoreError NumberGivenTwice(qint64 numero);
    // The trash's refusals: no card to delete, none to put back, or a number taken on the way.
    static StoreError NotToTrash(qint64 numero, bool alreadyInTrash);
    static StoreError NotPutBack(qint64 numero, bool numberTaken);

private:
    Kind kind_;
};
