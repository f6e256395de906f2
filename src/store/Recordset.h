#pragma once

#include "store/Collection.h"
#include "store/Fields.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

// A cursor over the cards of a selection, in ascending number, as the windows step through them.
// It holds only a window of card numbers around the current row and reads a card when a field
// other than its number is asked for, so a very large collection opens and steps in constant
// memory. Stepping past either end is no error; reading a field there is. Once its collection is
// closed, every step and read fails cleanly.
class Recordset {
public:
    Recordset(std::weak_ptr<Collection> collection, Selection selection);
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    void MoveFirst();
    void MoveLast(); // throws on an empty set; the count itself waits for RecordCount
    void MoveNext();
    void MovePrevious();
    bool Eof() const { return position_ == Position::AfterLast; }
    bool Bof() const { return position_ == Position::BeforeFirst; }
    // Stands on the row numbered numero when the set holds it; otherwise past the last row.
    bool Seek(qint64 numero);
    // The number of rows, counted at the first call after the last MoveLast; 0 before any.
    qint32 RecordCount() const;
    // Counts the rows as the windows do: to the last row, its count, back to the first. An empty
    // set counts none and stays past its end.
    qint32 CountAndRewind();
    // The number of the last row when the set was last counted, if that count was `count`: the
    // rows numbered up to it are the set's first `count` rows, unless another program removed
    // some since.
    std::optional<qint64> LastRowOfCount(qint32 count) const;

    const Selection& selection() const { return selection_; }
    Collection& collection() const;

    // One of the Field names, in any case. A field without value is a null variant; the number
    // is a 64-bit integer, as stored.
    QVariant Fields(const QString& name) const;
    // The current card whole, as read: what an edit hands back to show what it changed.
    const StoredCard& CurrentCard() const;

private:
    enum class Position { BeforeFirst, OnRow, AfterLast };

    bool LoadAfter(qint64 numero);  // window of rows above numero; false when there are none
    bool LoadBefore(qint64 numero); // window of rows below numero, in ascending order
    bool Load(const std::vector<CardRow>& rows);
    CardRows& Rows();
    qint64 CurrentNumero() const;

    std::weak_ptr<Collection> collection_;
    Selection selection_;
    std::unique_ptr<CardRows> rows_;
    std::vector<qint64> window_;
    std::size_t index_ = 0;
    qint64 windowRows_ = 2;
    mutable std::optional<StoredCard> card_; // the current row's, once read
    Position position_ = Position::BeforeFirst;
    mutable qint32 recordCount_ = 0;
    mutable bool countPending_ = false;
    mutable std::optional<qint64> countedLast_; // at the last count
};
