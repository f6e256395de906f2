#pragma once

#include "store/Collection.h"

#include <memory>
#include <optional>
#include <vector>

// Steps through the cards of a selection one at a time, in ascending number, as the main window's
// arrows do. It keeps only a window of card numbers around the current one and reads a card when
// it is asked for, so a very large collection is stepped through in constant memory. Stepping
// past either end is no error; asking for the card there is. Once its collection is closed, every
// step and read fails cleanly.
class CardCursor {
public:
    CardCursor(std::weak_ptr<Collection> collection, Selection selection);
    CardCursor(const CardCursor&) = delete;
    CardCursor& operator=(const CardCursor&) = delete;
    ~CardCursor();

    void MoveFirst();
    void MoveLast(); // throws on an empty selection
    void MoveNext();
    void MovePrevious();
    bool Eof() const { return position_ == Position::AfterLast; }
    bool Bof() const { return position_ == Position::BeforeFirst; }
    // Stands on the card numbered numero when the selection holds it; otherwise past the last.
    bool Seek(qint64 numero);

    const Selection& selection() const { return selection_; }
    qint64 CurrentNumero() const;
    // The current card whole, as read.
    const StoredCard& CurrentCard() const;

private:
    enum class Position { BeforeFirst, OnRow, AfterLast };

    bool LoadAfter(qint64 numero);  // window of rows above numero; false when there are none
    bool LoadBefore(qint64 numero); // window of rows below numero, in ascending order
    bool Load(const std::vector<CardRow>& rows);
    Collection& collection() const;
    CardRows& Rows();

    std::weak_ptr<Collection> collection_;
    Selection selection_;
    std::unique_ptr<CardRows> rows_;
    std::vector<qint64> window_;
    std::size_t index_ = 0;
    qint64 windowRows_ = 2;
    mutable std::optional<StoredCard> card_; // the current row's, once read
    Position position_ = Position::BeforeFirst;
};
