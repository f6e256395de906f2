#pragma once

#include "store/CardRows.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

class TextQuery;

// Which cards a window works on: all of them, or those of one category. The code is a value,
// compared whole; it never becomes part of a query's text.
class Selection {
public:
    static Selection AllCards() { return Selection(std::nullopt); }
    static Selection Category(QString code) { return Selection(std::move(code)); }

    bool IsAllCards() const { return !code_; }
    // The category's code; empty for all cards.
    QString Code() const { return code_.value_or(QString()); }
    bool operator==(const Selection&) const = default;

private:
    explicit Selection(std::optional<QString> code) : code_(std::move(code)) {}
    std::optional<QString> code_;
};

// The cards of a selection at one moment: how many, and the number of the last of them then.
// A grid that pages over the cards numbered up to `last` shows exactly the cards it counted,
// whatever is added meanwhile.
struct SelectionCount {
    static constexpr qint64 kNone = std::numeric_limits<qint64>::min();
    qint64 cards = 0;
    qint64 last = kNone; // kNone when there are no cards
};

// One card as stored. A field without value (another program may leave one) stays apart from an
// empty one.
struct StoredCard {
    qint64 numero = 0;
    std::optional<QString> cate;
    std::optional<QString> titre;
    std::optional<QString> pivanes;
    // This state of the card, as the engine tells it apart from later ones: hand the card back
    // unchanged to Update. An engine that keeps no version compares the fields as read instead.
    qint64 version = 0;
};

// The fields that the user writes. In an update, a field left out keeps what is stored; in a new
// card, it is stored without value.
struct CardFields {
    std::optional<QString> cate;
    std::optional<QString> titre;
    std::optional<QString> pivanes;
};

// Cards found by a search: their rows, and how many there are.
struct FoundCards {
    std::unique_ptr<CardRows> rows;
    qint64 count = 0;
    qint64 last = SelectionCount::kNone; // no card found is numbered above it
};

// Gives the cards of an import one at a time into its argument; false when there are no more.
// It may throw to abandon the import, which then adds nothing.
using CardSource = std::function<bool(StoredCard&)>;

struct Imported {
    qint64 cards = 0;
    bool numbersKept = true; // false when the cards were numbered after the highest
    qint64 first = 0;        // the lowest and the highest number the cards got, when any came in
    qint64 last = 0;
    qint64 duplicatesLeftOut = 0; // cards identical to one already there, not added again

    void Took(qint64 numero) {
        first = cards == 0 ? numero : std::min(first, numero);
        last = cards == 0 ? numero : std::max(last, numero);
        ++cards;
    }
};

// A card in the trash: as it was stored, and when it was deleted (UTC, to the second).
struct TrashedCard {
    StoredCard card;
    QDateTime deleted;
};
// What the trash's list shows of a card; its text is not read.
struct TrashEntry {
    qint64 numero = 0;
    std::optional<QString> titre;
    QDateTime deleted;
};
// Gives trashed cards one at a time, as CardSource gives cards.
using TrashSource = std::function<bool(TrashedCard&)>;

struct Compacted {
    qint64 bytesBefore = 0;
    qint64 bytesAfter = 0;
};

// Where a collection lives: a local file, or a server named by a connection string.
struct CollectionPlace {
    enum class Kind { LocalFile, Server };
    static CollectionPlace LocalFile(QString fileName) {
        return {Kind::LocalFile, std::move(fileName)};
    }
    static CollectionPlace Server(QString connection) {
        return {Kind::Server, std::move(connection)};
    }

    Kind kind = Kind::LocalFile;
    QString name; // the file's name, or the server's connection string
};

// The card store as the windows and commands reach it, whatever engine holds the cards. Cards come
// in ascending number, which is also their order of addition. Every failure throws StoreError with
// a French sentence saying what happened and what was kept; a write is whole or absent.
class Collection {
public:
    virtual ~Collection() = default;

    // Opens an existing collection. A local file is never created and never written to by
    // opening; a file that is not a whole card collection is refused and left as it is.
    static std::unique_ptr<Collection> Open(const CollectionPlace& place);
    static std::unique_ptr<Collection> OpenLocal(const QString& fileName) {
        return Open(CollectionPlace::LocalFile(fileName));
    }
    // Writes a new, empty local collection file with its indexes. Refuses a name that holds
    // anything already (an empty file holds nothing to lose, and is written into).
    static void CreateLocal(const QString& fileName);
    // Writes a new local collection file of the source's cards, under their own numbers, and of
    // the trashed cards, without the full-text indexes, which the first write to it makes (its
    // searches read every card until then): what a copy kept aside needs, in the time it takes
    // to write its cards. Refuses a name as CreateLocal does; answers the number of cards.
    static qint64 CreateLocalCopy(const QString& fileName, const CardSource& source,
                                  const TrashSource& trash);
    // The number of cards of a local collection file, opened read-only and checked whole, or only
    // its table of cards, walked to count them.
    enum class Check { Whole, Cards };
    static qint64 VerifiedCardCount(const QString& fileName, Check check = Check::Whole);

    virtual const CollectionPlace& Place() const = 0;
    // The server's database and host as the server told them ("pivanes@serveur", "pivanes (ce
    // poste)" through a local socket); empty for a local file.
    virtual QString ServerName() const = 0;
    // Whether another program restored a backup into the collection since it was opened, or
    // since this last answered true: what is on screen may no longer exist. Never throws: a
    // server that cannot be asked is met by the action that follows.
    virtual bool RestoredElsewhere() = 0;
    // Why this program may not write the collection, as found when it was opened (a
    // write-protected file, folder or disk; a role without the right to write; a server that only
    // reads), in French; none when it may.
    virtual std::optional<QString> WhyReadOnly() const = 0;

    // --- Reading
    virtual SelectionCount Count(const Selection& selection) = 0;
    // The selection's rows (number and title), read a page at a time from any card number in
    // either direction; also the viewer's first, last, next and previous card.
    virtual std::unique_ptr<CardRows> Rows(const Selection& selection) = 0;
    // The card numbered numero, in whatever category; none when there is no such card.
    virtual std::optional<StoredCard> ReadCard(qint64 numero) = 0;
    // Every card in ascending number, as the collection stood at one moment.
    virtual void EachCard(const std::function<void(const StoredCard&)>& take) = 0;
    // The cards of the selection numbered up to upTo whose title holds the keyword (UTF-8),
    // whatever the case (TitleHolds), in ascending number.
    virtual FoundCards SearchTitles(const Selection& selection, QByteArrayView keyword,
                                    qint64 upTo) = 0;
    // The cards of the selection numbered up to upTo whose title or text holds what the query asks
    // for (TextQuery), in ascending number; an empty query finds none. Every engine finds exactly
    // the cards that reading them all finds (ScannedMatches).
    virtual FoundCards SearchTexts(const Selection& selection, const TextQuery& query,
                                   qint64 upTo) = 0;

    // --- Writing
    // Stores a new card under the number the engine gives it (one more than the highest of the
    // cards and of the trash, so that a card put back never meets a newer one under its number)
    // and answers that number. Refused once that number would pass 2,147,483,647.
    virtual qint64 Add(const CardFields& fields) = 0;
    // Writes the changed fields of the card read as asRead, unless it changed or went since
    // (StoreError::Kind::EditConflict: nothing is written). Answers the card as now stored.
    virtual StoredCard Update(const StoredCard& asRead, const CardFields& changes) = 0;
    // Adds every card of the source in one transaction: into an empty collection (no card, empty
    // trash) under their own numbers, else numbered after the highest in the order given, whatever
    // number the source gives.
    virtual Imported Import(const CardSource& source) = 0;

    // --- Trash: deleted cards wait there, in a table of their own beside the cards, until it is
    // emptied. Cards and trash together are what backup, restore and compaction carry.
    // Moves the card into the trash as it is now stored, in one transaction; refused when there
    // is no such card.
    virtual void MoveToTrash(qint64 numero) = 0;
    // The cards of the trash, in ascending number.
    virtual std::vector<TrashEntry> Trash() = 0;
    virtual void EachTrashed(const std::function<void(const TrashedCard&)>& take) = 0;
    // Puts the card back among the cards under its own number; refused when it is no longer in
    // the trash, or when another program gave its number to a card meanwhile.
    virtual void PutBack(qint64 numero) = 0;
    // Removes every card of the trash for good; answers how many went.
    virtual qint64 EmptyTrash() = 0;
    // Adds the source's cards to the trash as they are, numbers and dates kept, in one
    // transaction: what a backup of a collection carries from one engine to another.
    virtual void AddToTrash(const TrashSource& source) = 0;

    // --- Maintenance
    // Writes the whole collection as it stands at one moment, while others may go on writing,
    // into the local collection file target, which it replaces only once the copy has been read
    // back and checked. Answers the number of cards copied.
    virtual qint64 SnapshotInto(const QString& target) = 0;
    // Replaces every card by those of the local collection file source, checked beforehand
    // (VerifiedCardCount), in one transaction: others see the old collection or the new one,
    // never a mix.
    virtual void ReplaceWith(const QString& source) = 0;
    // The engine's own compaction; refuses a damaged collection.
    virtual Compacted Compact() = 0;
};

// Whether a title holds the keyword, both in UTF-8, whatever the case of either (TitleCase); an
// accent counts. An empty keyword is found in every title that is not empty.
bool TitleHolds(QByteArrayView title, QByteArrayView keyword);
