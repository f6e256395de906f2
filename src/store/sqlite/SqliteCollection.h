#pragma once

#include "store/Collection.h"

#include <memory>

class Connection;

// The cards in a local collection file, through SQLite: table TrucPivane (Numero INTEGER PRIMARY
// KEY, Cate, Titre, Pivanes), which other programs read and write too, so that it keeps exactly
// these four columns.
class SqliteCollection : public Collection {
public:
    explicit SqliteCollection(const QString& fileName);
    SqliteCollection(const SqliteCollection&) = delete;
    SqliteCollection& operator=(const SqliteCollection&) = delete;
    // Closes the file: rows still held fail cleanly from then on.
    ~SqliteCollection() override;

    const CollectionPlace& Place() const override { return place_; }
    QString ServerName() const override { return {}; }
    // One program per data folder; a file put in its place is told by the engine at the next
    // statement.
    bool RestoredElsewhere() override { return false; }
    std::optional<QString> WhyReadOnly() const override { return whyReadOnly_; }

    SelectionCount Count(const Selection& selection) override;
    std::unique_ptr<CardRows> Rows(const Selection& selection) override;
    std::optional<StoredCard> ReadCard(qint64 numero) override;
    void EachCard(const std::function<void(const StoredCard&)>& take) override;
    FoundCards SearchTitles(const Selection& selection, QByteArrayView keyword,
                            qint64 upTo) override;
    FoundCards SearchTexts(const Selection& selection, const TextQuery& query,
                           qint64 upTo) override;

    qint64 Add(const CardFields& fields) override;
    // The file keeps no version: the card's fields as read are compared with those stored.
    StoredCard Update(const StoredCard& asRead, const CardFields& changes) override;
    Imported Import(const CardSource& source) override;
    // Into an empty collection, under the cards' own numbers, with the trash, leaving the
    // full-text indexes to the next write (Collection::CreateLocalCopy).
    qint64 ImportCopy(const CardSource& source, const TrashSource& trash);

    void MoveToTrash(qint64 numero) override;
    std::vector<TrashEntry> Trash() override;
    void EachTrashed(const std::function<void(const TrashedCard&)>& take) override;
    void PutBack(qint64 numero) override;
    qint64 EmptyTrash() override;
    void AddToTrash(const TrashSource& source) override;

    qint64 SnapshotInto(const QString& target) override;
    void ReplaceWith(const QString& source) override;
    Compacted Compact() override;

    // The engine's own connection, for what only this engine does (its tests among them).
    Connection& connection() const { return *connection_; }

private:
    template <typename Work> auto InTransaction(const char* begin, const Work& work);
    template <typename Write> auto Written(const Write& write);
    void Insert(qint64 numero, const StoredCard& card);
    void Rewrite(qint64 numero, const CardFields& changes);
    std::optional<qint64> Highest();
    bool IsTrashed(qint64 numero);
    enum class TextIndexes { Made, Left };
    Imported ImportCards(const CardSource& source, TextIndexes textIndexes,
                         const TrashSource& trash = {});
    void InsertTrashed(const TrashSource& source);
    qint64 FileBytes();

    std::shared_ptr<Connection> connection_;
    CollectionPlace place_;
    std::optional<QString> whyReadOnly_;
};
