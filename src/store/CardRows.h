#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Connection;

struct CardRow {
    qint64 numero = 0;
    QByteArray title; // as stored, UTF-8; empty when it has no value
};

// Cards in ascending number, read a few at a time from any card number, in either direction, so
// that a page costs the same wherever it lies in a large table.
class CardRows {
public:
    virtual ~CardRows() = default;
    // Up to count rows numbered `from` or above, ascending, after passing over the first `skip`.
    virtual std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) = 0;
    // Up to count rows numbered `to` or below, descending, after passing over the first `skip`.
    virtual std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) = 0;
};

// The rows of all cards, or of one category.
class SelectionRows : public CardRows {
public:
    // Every card when allCards is set, else the cards of the category code.
    SelectionRows(std::shared_ptr<Connection> connection, bool allCards, QString code);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    // Calls take(numero, title) for each row numbered up to `to`, ascending; only, when a
    // keyword is given, for those whose title may hold it (the engine's own test of the bytes,
    // which the caller confirms), so that the others are passed over inside the engine.
    void Each(qint64 to, const std::function<void(qint64, QByteArrayView)>& take,
              const std::optional<QByteArray>& keyword = std::nullopt);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);
    Connection& Db() const { return *connection_; }

    std::shared_ptr<Connection> connection_;
    bool allCards_;
    QString code_;
};

// The rows of a list of card numbers kept in memory: a selection read once.
class ListedRows : public CardRows {
public:
    ListedRows(std::shared_ptr<Connection> connection, std::vector<qint64> numbers);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    qint64 Count() const { return qint64(numbers_.size()); }

private:
    void Append(std::vector<CardRow>& rows, qint64 numero) const;

    std::shared_ptr<Connection> connection_;
    std::vector<qint64> numbers_;
};
