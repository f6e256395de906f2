#pragma once

#include <QString>
#include <QtGlobal>

// The card grid's pages of 300 cards. Page 1 holds slots 1 to 300; page k after it holds the
// slots from 300 (k - 1) to 300 k, or to the last one, so that it repeats the card that ended
// the page before it and holds up to 301 rows. "Suite" shows the page after the one on screen,
// "Retour" the page before it.
namespace GridPaging {

inline constexpr qint32 kPageSize = 300;

// N, the number of collected cards, and E, the page marker: the last slot of the page on screen,
// from which that page is known.
struct PageState {
    qint32 total = 0;
    qint32 mark = 0;
    bool operator==(const PageState&) const = default;
};

// A page to show: slots first to last, both included; the marker it leaves; which paging
// commands it offers.
struct Page {
    qint32 first = 0;
    qint32 last = 0;
    qint32 step = 0; // K, how far the page reaches beyond its start
    PageState state;
    bool suiteShown = false;
    bool retourShown = false;
    bool operator==(const Page&) const = default;
};

// More than one page: the grid offers "Suite" and keeps a page state.
bool IsPaged(qint32 total);
// The marker after the first page: its last slot.
qint32 FirstPageMark(qint32 total);
// A state that pages over the collected cards only, starting at slot 1 or later.
bool IsUsable(PageState state, qint32 collected);

// The page after the one on screen, and the page before it; at either end, the same page.
Page Next(PageState state);
Page Previous(PageState state);

} // namespace GridPaging
