#include "browse/GridPaging.h"

#include "platform/Capitals.h"

#include <algorithm>

namespace GridPaging {

bool IsPaged(qint32 total) {
    return total > kPageSize;
}

qint32 FirstPageMark(qint32 total) {
    return std::min(total, kPageSize);
}

bool IsUsable(PageState state, qint32 collected) {
    return IsPaged(state.total) && state.total <= collected && state.mark >= 1 &&
           state.mark <= state.total;
}

Page Next(PageState state) {
    const qint32 total = state.total;
    qint32 start = state.mark;
    qint32 step = kPageSize;
    if (total < start + kPageSize) {
        // The last page starts at the last multiple of the page size, unless that would jump
        // over cards that no page has shown yet.
        step = total % kPageSize;
        start = std::min(total - step, start);
        step = total - start;
    }
    const qint32 mark = start + step;
    return {start, mark, step, {total, mark}, mark < total, true};
}

Page Previous(PageState state) {
    const qint32 total = state.total;
    qint32 mark = state.mark;
    if (total < mark + kPageSize)
        mark -= total % kPageSize;
    mark -= kPageSize;
    const bool retourShown = mark > 0;
    mark = std::max(mark, 1);
    return {mark, mark + kPageSize, kPageSize, {total, mark}, true, retourShown};
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString SearchKeyword(const QString& typed) {
    return TrimBlanks(Capitals(typed));
}

} // namespace GridPaging
