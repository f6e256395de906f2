#pragma once

#include "store/Collection.h"
#include "store/ServerChanges.h"
#include "store/TextSearch.h"

#include <memory>
#include <optional>

class PgConnection;
class PgFailure;

// The cards in a database of a PostgreSQL server, which any number of programs share: table
// trucpivane (numero, cate, titre, pivanes, version), made on first use of an empty database.
// Every write is a transaction reported only once the server confirmed its COMMIT; an edit
// writes only over the version it read.
class PgCollection : public Collection, public ServerChanges {
public:
    // Connects and makes the collection in an empty database; refuses a database whose
    // trucpivane has another shape, without changing it.
    explicit PgCollection(const QString& connection);
    PgCollection(const PgCollection&) = delete;
    PgCollection& operator=(const PgCollection&) = delete;
    // Disconnects: rows still held fail cleanly from then on.
    ~PgCollection() override;

    const CollectionPlace& Place() const override { return place_; }
    QString ServerName() const override;
    bool RestoredElsewhere() override;
    std::optional<QString> WhyReadOnly() const override { return whyReadOnly_; }

    SelectionCount Count(const Selection& selection) override;
    std::unique_ptr<CardRows> Rows(const Selection& selection) override;
    std::optional<StoredCard> ReadCard(qint64 numero) override;
    // take must not use this collection: its rows come one at a time over the same connection.
    void EachCard(const std::function<void(const StoredCard&)>& take) override;
    FoundCards SearchTitles(const Selection& selection, QByteArrayView keyword,
                            qint64 upTo) override;
    // Catches up with the cards that other programs wrote first; a role that may not write reads
    // every card instead.
    FoundCards SearchTexts(const Selection& selection, const TextQuery& query,
                           qint64 upTo) override;

    qint64 Add(const CardFields& fields) override;
    StoredCard Update(const StoredCard& asRead, const CardFields& changes) override;
    Imported Import(const CardSource& source) override;

    void MoveToTrash(qint64 numero) override;
    std::vector<TrashEntry> Trash() override;
    // take must not use this collection, as for EachCard.
    void EachTrashed(const std::function<void(const TrashedCard&)>& take) override;
    void PutBack(qint64 numero) override;
    qint64 EmptyTrash() override;
    void AddToTrash(const TrashSource& source) override;

    qint64 SnapshotInto(const QString& target) override;
    void ReplaceWith(const QString& source) override;
    // VACUUM (ANALYZE) of the collection's tables; only their owner may.
    Compacted Compact() override;

    // Refused with a sentence for the server's owner when the collection was made before the
    // server kept what copies need, and this role may not add it.
    ChangeMark Mark() override;
    ChangeMark ChangesAfter(const ChangeMark& held,
                            const std::function<void(const ChangedCard&)>& take) override;
    ReturnedChange Apply(const QueuedChange& change) override;

private:
    enum class Doing { Reading, Writing };
    // Hands each card to the function it is given.
    using CardFeed = std::function<void(const std::function<void(const StoredCard&)>&)>;

    template <typename Work> auto Guarded(Doing doing, const Work& work);
    void MakeOrCheck();
    // Runs work under the session's lock that two programs making the collection share.
    template <typename Work> void UnderMakingLock(const Work& work);
    void DropRestoreCount();
    // None where the server keeps no epoch, or this role may not read it.
    std::optional<qint64> Epoch();
    std::optional<QString> AskWriteRights();
    void MakeTracking();
    ChangeMark MarkNow();
    ReturnedChange Returned(const QueuedChange& change);
    qint64 AddForReturn(const CardFields& card);
    void Rewrite(qint64 numero, const CardFields& card);
    qint64 CopyChecked(const CardFeed& feed, std::optional<qint64> numberAfter);
    qint64 CopyInto(const QString& copyFile);
    void CheckCopy(Collection& copy, const QString& target);
    void FoldCounts();
    void AddTrashed(const TrashedCard& trashed);
    // Fills the folded words of the cards whose row of trucpivane_mots is empty, within the
    // caller's transaction.
    void RefreshWords();
    // Runs work within the caller's transaction; false, with nothing of it kept, when the role
    // lacks a right it needs.
    template <typename Work> bool IfAllowed(const Work& work);
    // The same, for a write: a role that may not write the words leaves them empty.
    void RefreshWordsIfAllowed();
    FoundCards ScannedTexts(const Selection& selection, const TextQuery& query, qint64 upTo);
    const WordShares& WordSharesNow();

    std::shared_ptr<PgConnection> connection_;
    CollectionPlace place_;
    // The server's epoch when the collection was opened or last checked: a restore, or another
    // program's TRUNCATE, moves it on.
    std::optional<qint64> epoch_;
    std::optional<QString> whyReadOnly_;
    bool tracked_ = false; // the server keeps what copies catch up from
    std::optional<WordShares> wordShares_;
};
