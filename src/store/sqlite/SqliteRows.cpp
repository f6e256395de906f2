#include "store/sqlite/SqliteRows.h"

#include "store/sqlite/Connection.h"
#include "store/sqlite/Sql.h"

#include <algorithm>

namespace {

std::vector<CardRow> RowsOf(Statement& read, qint64 count) {
    std::vector<CardRow> rows;
    rows.reserve(std::size_t(std::min<qint64>(count, 1024)));
    while (read.Step())
        rows.push_back({read.Int64(0), read.View(1).toByteArray()});
    return rows;
}

} // namespace

SelectionRows::SelectionRows(std::shared_ptr<Connection> connection, Selection selection)
    : connection_(std::move(connection)), selection_(std::move(selection)) {}

std::vector<CardRow> SelectionRows::Read(const char* sql, qint64 numero, qint64 skip,
                                         qint64 count) {
    if (count <= 0)
        return {};
    Statement read(*connection_, sql);
    read.Bind(1, numero).Bind(3, count).Bind(4, skip);
    if (!selection_.IsAllCards())
        read.Bind(2, selection_.Code());
    return RowsOf(read, count);
}

std::vector<CardRow> SelectionRows::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? Sql::kAllUpward : Sql::kCategoryUpward, from, skip,
                count);
}

std::vector<CardRow> SelectionRows::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(selection_.IsAllCards() ? Sql::kAllDownward : Sql::kCategoryDownward, to, skip,
                count);
}

std::vector<qint64> SelectionRows::Holding(QByteArrayView keyword, qint64 to) {
    std::vector<qint64> numbers;
    Statement read(*connection_,
                   selection_.IsAllCards() ? Sql::kAllHolding : Sql::kCategoryHolding);
    read.Bind(1, to).Bind(3, QString::fromUtf8(keyword));
    if (!selection_.IsAllCards())
        read.Bind(2, selection_.Code());
    while (read.Step())
        if (TitleHolds(read.View(1), keyword))
            numbers.push_back(read.Int64(0));
    return numbers;
}

ListedRows::ListedRows(std::shared_ptr<Connection> connection, std::vector<qint64> numbers)
    : connection_(std::move(connection)), numbers_(std::move(numbers)) {}

// A card that another program removed since the list was made is passed over.
void ListedRows::Append(std::vector<CardRow>& rows, qint64 numero) const {
    Statement read(*connection_, Sql::kTitleOf);
    read.Bind(1, numero);
    if (read.Step())
        rows.push_back({numero, read.View(0).toByteArray()});
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

IndexedTitles::IndexedTitles(std::shared_ptr<Connection> connection, QByteArrayView keyword,
                             qint64 upTo)
    : connection_(std::move(connection)), upTo_(upTo) {
    // One phrase, taken literally: a double quote inside it is doubled.
    QByteArray phrase = keyword.toByteArray();
    phrase.replace('"', "\"\"");
    phrase_ = QLatin1Char('"') + QString::fromUtf8(phrase) + QLatin1Char('"');
}

bool IndexedTitles::Covers(QByteArrayView keyword) {
    qsizetype characters = 0;
    for (const char byte : keyword) {
        if (byte == '\0')
            return false;
        if ((uchar(byte) & 0xC0) != 0x80)
            ++characters;
    }
    return characters >= 3;
}

std::vector<CardRow> IndexedTitles::Read(const char* sql, qint64 numero, qint64 skip,
                                         qint64 count) {
    if (count <= 0)
        return {};
    Statement read(*connection_, sql);
    read.Bind(1, numero).Bind(2, phrase_).Bind(3, count).Bind(4, skip).Bind(5, upTo_);
    return RowsOf(read, count);
}

std::vector<CardRow> IndexedTitles::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(Sql::kIndexedUpward, from, skip, count);
}

std::vector<CardRow> IndexedTitles::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(Sql::kIndexedDownward, to, skip, count);
}

qint64 IndexedTitles::Count() {
    Statement count(*connection_, Sql::kIndexedCount);
    count.Bind(1, upTo_).Bind(2, phrase_);
    return count.Step() ? count.Int64(0) : 0;
}
