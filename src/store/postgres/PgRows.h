#pragma once

#include "store/CardRows.h"
#include "store/Collection.h"
#include "store/StoreError.h"
#include "store/postgres/PgConnection.h"

#include <memory>
#include <optional>

class TextQuery;

// What a failure interrupted: the user is told what was kept accordingly.
enum class PgDoing { Reading, Writing };

// A connection and the name of its server as the user gave it, for the messages.
struct PgServer {
    std::shared_ptr<PgConnection> connection;
    QString name;

    // The French sentence for what the server or the way to it answered.
    StoreError Translated(const PgFailure& failure, PgDoing doing) const;
    template <typename Work> auto Guarded(PgDoing doing, const Work& work) const {
        try {
            return work();
        } catch (const PgFailure& failure) {
            throw Translated(failure, doing);
        }
    }
};

// The sentence for a server that could not be reached at all.
StoreError NotReached(const QString& server, const QString& reason);

// A card as the statements of PgSql read it: number, category, title, text, version.
StoredCard StoredCardOf(const PgResult& row, int index);

// The rows of all cards, or of one category, from the narrow copy of the titles.
class PgSelectionRows : public CardRows {
public:
    PgSelectionRows(PgServer server, Selection selection);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    PgServer server_;
    Selection selection_;
};

// The cards of a selection numbered up to upTo whose title holds a keyword.
class PgFoundRows : public CardRows {
public:
    PgFoundRows(PgServer server, Selection selection, QByteArrayView keyword, qint64 upTo);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;
    // How many there are, and the number of the last.
    std::pair<qint64, qint64> Count();

    // The regular expression that finds the keyword (UTF-8) anywhere whatever the case: each
    // character a class of its variants, written by its code.
    static QByteArray Pattern(QByteArrayView keyword);

private:
    std::vector<CardRow> Read(const char* sql, qint64 numero, qint64 skip, qint64 count);

    PgServer server_;
    Selection selection_;
    QByteArray pattern_;
    qint64 upTo_;
};

// The cards of a selection numbered up to upTo that a text query finds, through the folded words
// of trucpivane_mots: only once every card's row there is filled (PgCollection::RefreshWords).
class PgTextRows : public CardRows {
public:
    PgTextRows(PgServer server, Selection selection, const TextQuery& query, qint64 upTo);
    std::vector<CardRow> Upward(qint64 from, qint64 skip, qint64 count) override;
    std::vector<CardRow> Downward(qint64 to, qint64 skip, qint64 count) override;

    struct Found {
        bool stale = false; // a card waits for its words: the rest does not count
        qint64 count = 0;
        qint64 last = SelectionCount::kNone;
    };
    // Searches, and keeps the first rows found, which the first page reads without asking the
    // server again; manyFound when the keyword is expected to find many cards.
    Found Search(bool manyFound);

private:
    std::vector<CardRow> Read(const QByteArray& sql, qint64 numero, qint64 skip, qint64 count);
    // The rows asked for, when the first rows found hold them all.
    std::optional<std::vector<CardRow>> Ahead(qint64 from, qint64 skip, qint64 count) const;
    PgValues Values() const;

    PgServer server_;
    Selection selection_;
    QString lexemes_;      // the tsquery
    QString phrases_;      // LIKE patterns of the phrases, one a line
    QString everyPattern_; // LIKE patterns of every word and phrase, one a line
    qint64 upTo_;
    std::vector<CardRow> ahead_; // the first rows found, in ascending number
    bool allAhead_ = false;      // ahead_ holds every row found
};

// What trucpivane_mots holds for a card: its folded words in order, and each word once for the
// index, none when that would not fit in it.
struct FoldedWords {
    QString words;
    std::optional<QString> lexemes;
};
FoldedWords FoldedWordsOf(const std::optional<QString>& title, const std::optional<QString>& text);
