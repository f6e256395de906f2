#pragma once

#include "store/Card.h"

// Made-up cards for tests and benchmarks: the same number always gives the same card, in one of
// the thirteen categories in turn, with a capital title of 20 to 70 characters and a text of a
// few lines.
Card SyntheticCard(qint32 numero);

// The same card with a realistic text instead: 200 to 6,000 characters of French words with
// accents, in sentences and lines. A few words stand in a known share of the cards, for the
// search's benchmark; no other word of the texts or titles begins like them.
Card SyntheticCardWithText(qint32 numero);
namespace SyntheticText {
inline constexpr const char* kInOneCardInAThousand = "cryptographie"; // numbers ending in 000
inline constexpr const char* kInOneCardInTen = "sécurité";            // numbers ending in 1
inline constexpr const char* kInOneCardInSeven = "mémoire";           // multiples of 7
inline constexpr const char* kNowhere = "kangourou";
} // namespace SyntheticText
