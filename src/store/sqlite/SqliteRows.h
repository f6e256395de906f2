#pragma once

#include "store/CardRows.h"
#include "store/Collection.h"

#include <memory>
#include <vector>

class Connection;
class TextQuery;

// The rows of all cards, or of one category.
class SelectionRows : public CardRows {
public:
    SelectionRows(std::shared_ptr<Connection> connection, Selection selection);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    // The numbers of the rows numbered up to `to` whose title holds the keyword (TitleHolds),
    // ascending.
    std::vector<qint64> Holding(QByteArrayView keyword, qint64 to);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    std::shared_ptr<Connection> connection_;
    Selection selection_;
};

// The cards numbered up to upTo that a full-text index finds for a query in its own language:
// only for an index that answers for the table (Schema::TitleIndexIsCurrent, TextIndexIsCurrent).
class IndexedMatches : public CardRows {
public:
    // Statements that take the query as ?2 and the last number as ?5 (Sql::kIndexedUpward).
    struct Statements {
        const char* upward;
        const char* downward;
        const char* count;
    };
    IndexedMatches(std::shared_ptr<Connection> connection, const Statements& statements,
                   QString query, qint64 upTo);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    qint64 Count();

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    std::shared_ptr<Connection> connection_;
    Statements statements_;
    QString query_;
    qint64 upTo_;
};

// The cards whose title holds a keyword, through the title index.
class IndexedTitles : public IndexedMatches {
public:
    IndexedTitles(std::shared_ptr<Connection> connection, QByteArrayView keyword, qint64 upTo);
    // Whether the index can look the keyword (UTF-8) up: three characters or more.
    static bool Covers(QByteArrayView keyword);
};

// The cards that a text query finds, through the text index.
class IndexedTexts : public IndexedMatches {
public:
    IndexedTexts(std::shared_ptr<Connection> connection, const TextQuery& query, qint64 upTo);
};
