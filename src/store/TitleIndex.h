#pragma once

#include "store/CardRows.h"

#include <QByteArray>
#include <memory>

class Connection;

// An index of the card titles by runs of three characters, case kept (SQLite's FTS5 with its
// trigram tokenizer), which finds the cards whose
// title holds a keyword of three characters or more without reading every title. Triggers on
// TrucPivane keep it in the same transaction as every change of a title, whichever program
// writes. A file whose index is missing, or whose triggers were dropped or changed, is answered by
// reading the titles: such an index is rebuilt at the program's next write or compaction.
namespace TitleIndex {

// Builds the index and its triggers, unless they are there as this program makes them. One
// transaction: a crash leaves the file as it was. A failure leaves the file without the index.
void Ensure(Connection& connection);
// Whether the index answers for the table: it and every trigger are there as this program makes
// them. Reads the schema only.
bool IsCurrent(Connection& connection);
// Whether the index can look the keyword (UTF-8) up: three characters or more.
bool Covers(QByteArrayView keyword);

// The cards numbered up to `to` whose title holds the keyword, in ascending number. Only for a
// current index and a keyword it covers.
class Matches : public CardRows {
public:
    Matches(std::shared_ptr<Connection> connection, QByteArrayView keyword);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    qint64 Count(qint64 to);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    std::shared_ptr<Connection> connection_;
    QString phrase_;
};

} // namespace TitleIndex
