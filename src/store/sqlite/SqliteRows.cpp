#include "store/sqlite/SqliteRows.h"

#include "store/TextSearch.h"
#include "store/TitleCase.h"
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

// Text taken literally by the index's query language: one phrase, a double quote inside doubled.
QString QuotedForIndex(QString text) {
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// Every term of a text query, quoted; a word that a card's words may begin with marked as a prefix.
// The terms' words are already folded, and the index's folding leaves them as they are.
QString IndexQuery(const TextQuery& query) {
    QStringList terms;
    for (const TextQuery::Term& term : query.Terms())
        terms << QuotedForIndex(term.words.join(QLatin1Char(' '))) +
                     (term.prefix ? QLatin1String("*") : QLatin1String());
    return terms.join(QLatin1Char(' '));
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
    read.Bind(1, to);
    if (!selection_.IsAllCards())
        read.Bind(2, selection_.Code());
    const TitleCase::Matcher matcher(keyword);
    while (read.Step())
        if (matcher.Holds(read.View(1)))
            numbers.push_back(read.Int64(0));
    return numbers;
}

IndexedMatches::IndexedMatches(std::shared_ptr<Connection> connection, const Statements& statements,
                               QString query, qint64 upTo)
    : connection_(std::move(connection)), statements_(statements), query_(std::move(query)),
      upTo_(upTo) {}

std::vector<CardRow> IndexedMatches::Read(const char* sql, qint64 numero, qint64 skip,
                                          qint64 count) {
    if (count <= 0)
        return {};
    Statement read(*connection_, sql);
    read.Bind(1, numero).Bind(2, query_).Bind(3, count).Bind(4, skip).Bind(5, upTo_);
    return RowsOf(read, count);
}

std::vector<CardRow> IndexedMatches::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(statements_.upward, from, skip, count);
}

std::vector<CardRow> IndexedMatches::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(statements_.downward, to, skip, count);
}

qint64 IndexedMatches::Count() {
    Statement count(*connection_, statements_.count);
    count.Bind(1, upTo_).Bind(2, query_);
    return count.Step() ? count.Int64(0) : 0;
}

IndexedTitles::IndexedTitles(std::shared_ptr<Connection> connection, QByteArrayView keyword,
                             qint64 upTo)
    : IndexedMatches(std::move(connection),
                     {Sql::kIndexedUpward, Sql::kIndexedDownward, Sql::kIndexedCount},
                     QuotedForIndex(QString::fromUtf8(keyword)), upTo) {}

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

IndexedTexts::IndexedTexts(std::shared_ptr<Connection> connection, const TextQuery& query,
                           qint64 upTo)
    : IndexedMatches(std::move(connection),
                     {Sql::kTextsUpward, Sql::kTextsDownward, Sql::kTextsCount}, IndexQuery(query),
                     upTo) {}
