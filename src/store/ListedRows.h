#pragma once

#include "store/CardRows.h"
#include "store/Collection.h"

#include <QByteArray>
#include <functional>
#include <optional>
#include <vector>

// The rows of a list of card numbers kept in memory, found by reading the cards once; each title
// is read when its page is shown.
class ListedRows : public CardRows {
public:
    // The title of a card; none for a card that another program removed since the list was made,
    // which the pages then pass over.
    using TitleReader = std::function<std::optional<QByteArray>(qint64)>;

    ListedRows(std::vector<qint64> numbers, TitleReader titleOf);
    // The cards found, numbers in ascending order, with their count and last number.
    static FoundCards Found(std::vector<qint64> numbers, TitleReader titleOf);

    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;

private:
    void Append(std::vector<CardRow>& rows, qint64 numero) const;

    std::vector<qint64> numbers_;
    TitleReader titleOf_;
};
