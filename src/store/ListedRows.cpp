#include "store/ListedRows.h"

#include <algorithm>

ListedRows::ListedRows(std::vector<qint64> numbers, TitleReader titleOf)
    : numbers_(std::move(numbers)), titleOf_(std::move(titleOf)) {}

FoundCards ListedRows::Found(std::vector<qint64> numbers, TitleReader titleOf) {
    const auto count = qint64(numbers.size());
    const qint64 last = numbers.empty() ? SelectionCount::kNone : numbers.back();
    return {std::make_unique<ListedRows>(std::move(numbers), std::move(titleOf)), count, last};
}

void ListedRows::Append(std::vector<CardRow>& rows, qint64 numero) const {
    if (std::optional<QByteArray> title = titleOf_(numero))
        rows.push_back({numero, std::move(*title)});
}

std::vector<CardRow> ListedRows::Upward(qint64 from, qint64 skip, qint64 count) {
    std::vector<CardRow> rows;
    const auto begin = std::lower_bound(numbers_.begin(), numbers_.end(), from);
    const qint64 available = numbers_.end() - begin;
    for (qint64 i = skip; i < std::min(available, skip + count); ++i)
        Append(rows, begin[i]);
    return rows;
}

std::vector<CardRow> ListedRows::Downward(qint64 to, qint64 skip, qint64 count) {
    std::vector<CardRow> rows;
    const auto end = std::upper_bound(numbers_.begin(), numbers_.end(), to);
    const qint64 available = end - numbers_.begin();
    for (qint64 i = skip; i < std::min(available, skip + count); ++i)
        Append(rows, end[-1 - i]);
    return rows;
}
