#pragma once

#include "store/Collection.h"

#include <array>
#include <vector>

// The cards of a collection, known by a digest of their category, title and text, so that an
// import tells a card already there from a new one without holding every text. A field without
// value is the same as an empty one: a file written out and read back gives empty fields.
class KnownCards {
public:
    explicit KnownCards(Collection& collection);
    bool Holds(const StoredCard& card) const;

private:
    using Digest = std::array<quint64, 2>;
    static Digest Of(const StoredCard& card);
    std::vector<Digest> digests_; // sorted
};
