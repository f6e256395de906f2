#include "browse/GridPaging.h"

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

namespace {

qint32 PageCount(qint32 total) {
    return std::max((total + kPageSize - 1) / kPageSize, 1);
}

// The page whose last slot is the marker; a marker edited to fall inside a page means that page.
qint32 PageOfMark(PageState state) {
    return std::clamp((state.mark + kPageSize - 1) / kPageSize, 1, PageCount(state.total));
}

Page PageNumbered(qint32 number, qint32 total) {
    const qint32 first = number == 1 ? 1 : kPageSize * (number - 1);
    const qint32 last = std::min(kPageSize * number, total);
    return {first, last, last - first, {total, last}, last<total, number> 1};
}

} // namespace

Page Next(PageState state) {
    return PageNumbered(std::min(PageOfMark(state) + 1, PageCount(state.total)), state.total);
}

Page Previous(PageState state) {
    return PageNumbered(std::max(PageOfMark(state) - 1, 1), state.total);
}

} // namespace GridPaging
