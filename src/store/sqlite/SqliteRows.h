#pragma once

#include "store/CardRows.h"
#include "store/Collection.h"

#include <memory>
#include <vector>

class Connection;

// The rows of all cards, or of one category.
class SelectionRows : public CardRows {
public:
    SelectionRows(std::shared_ptr<Connection> connection, Selection selection);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    // The numbers of the rows numbered up to `to` whose title holds the keyword, ascending; the
    // engine passes over most of the others without handing them out.
    std::vector<qint64> Holding(QByteArrayView keyword, qint64 to);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    std::shared_ptr<Connection> connection_;
    Selection selection_;
};

// The rows of a list of card numbers kept in memory: a selection read once.
class ListedRows : public CardRows {
public:
    ListedRows(std::shared_ptr<Connection> connection, std::vector<qint64> numbers);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;

private:
    void Append(std::vector<CardRow>& rows, qint64 numero) const;

    std::shared_ptr<Connection> connection_;
    std::vector<qint64> numbers_;
};

// The cards numbered up to upTo whose title holds a keyword, found through the title index: only
// for an index that answers for the table (Schema::TitleIndexIsCurrent) and a keyword it covers.
class IndexedTitles : public CardRows {
public:
    IndexedTitles(std::shared_ptr<Connection> connection, QByteArrayView keyword, qint64 upTo);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    qint64 Count();

    // Whether the index can look the keyword (UTF-8) up: three characters or more.
    static bool Covers(QByteArrayView keyword);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    std::shared_ptr<Connection> connection_;
    QString phrase_;
    qint64 upTo_;
};
