#include "browse/CardSlots.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 kBeforeAll = std::numeric_limits<qint64>::min();

// The number of the selection's `count`-th card, and how many of its first `count` cards there
// are. The count usually tells; otherwise the collection is asked again.
std::pair<qint64, qint32> Bound(Collection& collection, const CountedCards& counted) {
    const qint32 count = counted.count;
    if (count <= 0)
        return {kBeforeAll, 0};
    if (counted.last)
        return {*counted.last, count};
    const SelectionCount now = collection.Count(counted.selection);
    if (now.cards <= count)
        return {now.last, qint32(now.cards)};
    const std::vector<CardRow> nth =
        collection.Rows(counted.selection)->Upward(kBeforeAll, count - 1, 1);
    return {nth.empty() ? now.last : nth.front().numero, count};
}

} // namespace

CardSlots::CardSlots(std::unique_ptr<CardRows> rows, qint32 total, qint64 lastNumero)
    : rows_(std::move(rows)), total_(total), lastNumero_(lastNumero) {}

CardSlots CardSlots::Counted(Collection& collection, const CountedCards& counted) {
    const auto [last, total] = Bound(collection, counted);
    return CardSlots(collection.Rows(counted.selection), total, last);
}

CardSlots CardSlots::Search(Collection& collection, const CountedCards& counted,
                            const SearchedFor& searched) {
    const qint64 last = Bound(collection, counted).first;
    const TextQuery* query = std::get_if<TextQuery>(&searched);
    FoundCards found =
        query ? collection.SearchTexts(counted.selection, *query, last)
              : collection.SearchTitles(counted.selection, std::get<QByteArray>(searched), last);
    return CardSlots(std::move(found.rows), qint32(found.count), found.last);
}

// Where reading costs the fewest rows passed over: from the first slot, from the last, or from
// the page shown before, which in ordinary paging lies at most two pages away.
CardSlots::Start CardSlots::NearestStart(qint32 first, qint32 last) const {
    Start best{true, kBeforeAll, first - 1};
    auto consider = [&best](Start start) {
        if (start.skip < best.skip)
            best = start;
    };
    consider({false, lastNumero_, total_ - last});
    if (!shown_.empty()) {
        const qint32 shownLast = shownFirst_ + qint32(shown_.size()) - 1;
        auto numero = [this](qint32 slot) { return shown_[std::size_t(slot - shownFirst_)]; };
        if (first >= shownFirst_ && first <= shownLast)
            consider({true, numero(first), 0});
        else if (first > shownLast)
            consider({true, numero(shownLast), first - shownLast});
        if (last >= shownFirst_ && last <= shownLast)
            consider({false, numero(last), 0});
        else if (last < shownFirst_)
            consider({false, numero(shownFirst_), shownFirst_ - last});
    }
    return best;
}

std::vector<CardRow> CardSlots::Read(qint32 first, qint32 last) {
    first = std::max(first, 1);
    last = std::min(last, total_);
    if (!rows_ || first > last)
        return {};
    const qint64 count = last - first + 1;
    const Start start = NearestStart(first, last);
    std::vector<CardRow> rows = start.upward ? rows_->Upward(start.numero, start.skip, count)
                                             : rows_->Downward(start.numero, start.skip, count);
    if (!start.upward)
        std::reverse(rows.begin(), rows.end());
    std::erase_if(rows, [this](const CardRow& row) { return row.numero > lastNumero_; });
    // Slots are known only from a page read whole; a short one means the table changed.
    shown_.clear();
    if (qint64(rows.size()) == count) {
        shownFirst_ = first;
        for (const CardRow& row : rows)
            shown_.push_back(row.numero);
    }
    return rows;
}
