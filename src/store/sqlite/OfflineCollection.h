#pragma once

#include "store/Collection.h"

#include <memory>

class CopyFile;

// A server collection worked on through its local copy while the server does not answer: it
// reads the copy, and every change goes, in the same transaction as the copy's write, into the
// queue that the return sends. A card added away takes a provisional number, below zero, until
// the server gives it one. What needs the server itself (emptying its trash, an import, a backup,
// a restore, a compaction) is refused with a sentence that says so.
class OfflineCollection : public Collection {
public:
    OfflineCollection(std::unique_ptr<CopyFile> copy, const QString& server);
    OfflineCollection(const OfflineCollection&) = delete;
    OfflineCollection& operator=(const OfflineCollection&) = delete;
    ~OfflineCollection() override;

    // The server's, whose collection this stands for.
    const CollectionPlace& Place() const override { return place_; }
    // The connection as given: the server cannot be asked.
    QString ServerName() const override { return place_.name; }
    // A restore made on the server meanwhile is told by the return.
    bool RestoredElsewhere() override { return false; }
    // The copy's file's own, since the changes wait in it.
    std::optional<QString> WhyReadOnly() const override;

    SelectionCount Count(const Selection& selection) override;
    std::unique_ptr<CardRows> Rows(const Selection& selection) override;
    std::optional<StoredCard> ReadCard(qint64 numero) override;
    void EachCard(const std::function<void(const StoredCard&)>& take) override;
    FoundCards SearchTitles(const Selection& selection, QByteArrayView keyword,
                            qint64 upTo) override;
    FoundCards SearchTexts(const Selection& selection, const TextQuery& query,
                           qint64 upTo) override;

    qint64 Add(const CardFields& fields) override;
    StoredCard Update(const StoredCard& asRead, const CardFields& changes) override;
    Imported Import(const CardSource& source) override;

    void MoveToTrash(qint64 numero) override;
    std::vector<TrashEntry> Trash() override;
    void EachTrashed(const std::function<void(const TrashedCard&)>& take) override;
    void PutBack(qint64 numero) override;
    qint64 EmptyTrash() override;
    void AddToTrash(const TrashSource& source) override;

    qint64 SnapshotInto(const QString& target) override;
    void ReplaceWith(const QString& source) override;
    Compacted Compact() override;

private:
    [[noreturn]] void NeedsServer(const QString& what) const;

    std::unique_ptr<CopyFile> copy_;
    CollectionPlace place_;
};
