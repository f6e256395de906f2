#pragma once

#include <QByteArray>
#include <vector>

struct CardRow {
    qint64 numero = 0;
    QByteArray title; // as stored, UTF-8; empty when it has no value
};

// Cards in ascending number, read a few at a time from any card number, in either direction, so
// that a page costs the same wherever it lies in a large collection.
class CardRows {
public:
    virtual ~CardRows() = default;
    // Up to count rows numbered `from` or above, ascending, after passing over the first `skip`.
    virtual std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) = 0;
    // Up to count rows numbered `to` or below, descending, after passing over the first `skip`.
    virtual std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) = 0;
};
