#pragma once

#include "store/CardRows.h"
#include "store/Collection.h"
#include "store/TextSearch.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

// Cards counted earlier: the selection, how many, and the number of the last of them when known.
struct CountedCards {
    Selection selection;
    qint32 count = 0;
    std::optional<qint64> last;
};

// What a search looks for: a keyword in the titles (UTF-8), or words in the titles and texts.
using SearchedFor = std::variant<QByteArray, TextQuery>;

// The cards a grid pages over, slots 1 to Total() in ascending number. Only the count is taken
// when they are collected; a page is read from the table when it is shown, starting from the
// nearest card whose slot is known (the first, the last, or one of the page shown before), so a
// page costs about the same wherever it lies.
class CardSlots {
public:
    CardSlots() = default;
    // `rows` holds the slots as its rows numbered up to `lastNumero`, `total` of them.
    CardSlots(std::unique_ptr<CardRows> rows, qint32 total, qint64 lastNumero);

    // The cards counted, as many as were counted.
    static CardSlots Counted(Collection& collection, const CountedCards& counted);
    // The cards among those counted that the search finds, in ascending number.
    static CardSlots Search(Collection& collection, const CountedCards& counted,
                            const SearchedFor& searched);

    qint32 Total() const { return total_; }
    // Slots first to last, within 1 to Total(); fewer when another program has removed cards.
    std::vector<CardRow> Read(qint32 first, qint32 last);

private:
    struct Start {
        bool upward;
        qint64 numero;
        qint64 skip;
    };
    Start NearestStart(qint32 first, qint32 last) const;

    std::unique_ptr<CardRows> rows_;
    qint32 total_ = 0;
    qint64 lastNumero_ = 0;
    qint32 shownFirst_ = 0; // the slot of shown_[0]
    std::vector<qint64> shown_;
};
