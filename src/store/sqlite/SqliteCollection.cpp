#include "store/sqlite/SqliteCollection.h"

#include "platform/Clock.h"
#include "platform/FileWriter.h"
#include "store/ListedRows.h"
#include "store/StoreError.h"
#include "store/TextSearch.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/LocalFile.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/Sql.h"
#include "store/sqlite/SqliteRows.h"

#include <QDir>
#include <QStringList>
#include <limits>
#include <type_traits>

namespace {

constexpr qint64 kHighestCardNumber = std::numeric_limits<qint32>::max();

std::optional<QString> TextOrNull(const Statement& statement, int column) {
    if (statement.IsNull(column))
        return std::nullopt;
    return statement.Text(column);
}

StoredCard CardOf(const Statement& read) {
    return {read.Int64(0), TextOrNull(read, 1), TextOrNull(read, 2), TextOrNull(read, 3)};
}

void BindText(Statement& statement, int index, const std::optional<QString>& text) {
    if (text)
        statement.Bind(index, *text);
    else
        statement.BindNull(index);
}

// The number after `highest` for the `nth` card added after it (from 1), within the 32 bits that
// card numbers have always had.
qint64 NumberAfter(const std::optional<qint64>& highest, qint64 nth) {
    const qint64 numero = highest.value_or(0) + nth;
    if (highest.value_or(0) >= kHighestCardNumber || numero > kHighestCardNumber)
        throw StoreError::NumbersExhausted();
    return numero;
}

bool SameFields(const StoredCard& a, const StoredCard& b) {
    return a.cate == b.cate && a.titre == b.titre && a.pivanes == b.pivanes;
}

StoredCard WithChanges(StoredCard card, const CardFields& changes) {
    for (auto [field, change] :
         {std::pair{&card.cate, &changes.cate}, std::pair{&card.titre, &changes.titre},
          std::pair{&card.pivanes, &changes.pivanes}})
        if (*change)
            *field = *change;
    return card;
}

// Deletion times are kept to the second, in UTC, as text that other programs read as it is.
QString TimeText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

QDateTime TimeOf(const QString& text) {
    return QDateTime::fromString(text, Qt::ISODate).toUTC();
}

StoreError CopyError(const QString& target, const QString& reason) {
    return StoreError(StoreError::Kind::Failed, QStringLiteral("La copie vers « %1 » a échoué : %2")
                                                    .arg(QDir::toNativeSeparators(target), reason));
}

} // namespace

SqliteCollection::SqliteCollection(const QString& fileName)
    : connection_(LocalFile::OpenChecked(fileName)), place_(CollectionPlace::LocalFile(fileName)),
      whyReadOnly_(LocalFile::WhyReadOnly(*connection_, fileName)) {}

SqliteCollection::~SqliteCollection() {
    connection_->Close();
}

// The work whole or not at all, in a transaction that `begin` opens; within the caller's, when
// one is open (a copy's change and its place in the queue), as a part of it.
template <typename Work> auto SqliteCollection::InTransaction(const char* begin, const Work& work) {
    const bool nested = connection_->InTransaction();
    connection_->Exec(nested ? "SAVEPOINT Partie" : begin);
    const char* const commit = nested ? "RELEASE Partie" : "COMMIT";
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            connection_->Exec(commit);
        } else {
            auto result = work();
            connection_->Exec(commit);
            return result;
        }
    } catch (...) {
        connection_->ExecQuietly(nested ? "ROLLBACK TO Partie" : "ROLLBACK");
        if (nested)
            connection_->ExecQuietly("RELEASE Partie");
        throw;
    }
}

// One write, whole or absent. The file is made ready for writes first; the write then runs in an
// immediate transaction, so that no other program writes between what it reads and what it
// writes, with the indexes made where another program left them out of date.
template <typename Write> auto SqliteCollection::Written(const Write& write) {
    Schema::PrepareForWrites(*connection_);
    return InTransaction("BEGIN IMMEDIATE", [&] {
        // Another program may have put code of its own in the file since it was opened.
        LocalFile::CheckStructure(*connection_, place_.name);
        const TrustedSchema ownTriggers(*connection_);
        Schema::EnsureIndexes(*connection_);
        Schema::EnsureTrash(*connection_);
        return write();
    });
}

SelectionCount SqliteCollection::Count(const Selection& selection) {
    // The count and the last card counted, at one moment.
    return InTransaction("BEGIN", [&] {
        SelectionCount counted;
        {
            Statement count(*connection_,
                            selection.IsAllCards() ? Sql::kCountAll : Sql::kCountCategory);
            if (!selection.IsAllCards())
                count.Bind(2, selection.Code());
            counted.cards = count.Step() ? count.Int64(0) : 0;
        }
        const std::vector<CardRow> last = SelectionRows(connection_, selection)
                                              .Downward(std::numeric_limits<qint64>::max(), 0, 1);
        if (!last.empty())
            counted.last = last.front().numero;
        return counted;
    });
}

std::unique_ptr<CardRows> SqliteCollection::Rows(const Selection& selection) {
    connection_->Handle();
    return std::make_unique<SelectionRows>(connection_, selection);
}

std::optional<StoredCard> SqliteCollection::ReadCard(qint64 numero) {
    Statement read(*connection_, Sql::kReadCard);
    read.Bind(1, numero);
    if (!read.Step())
        return std::nullopt;
    return CardOf(read);
}

void SqliteCollection::EachCard(const std::function<void(const StoredCard&)>& take) {
    Statement read(*connection_, Sql::kEveryCard);
    while (read.Step())
        take(CardOf(read));
}

namespace {

FoundCards Listed(const std::shared_ptr<Connection>& connection, std::vector<qint64> numbers) {
    return ListedRows::Found(std::move(numbers), [connection](qint64 numero) {
        Statement read(*connection, Sql::kTitleOf);
        read.Bind(1, numero);
        return read.Step() ? std::optional(read.View(0).toByteArray()) : std::nullopt;
    });
}

FoundCards Indexed(std::unique_ptr<IndexedMatches> matches, qint64 upTo) {
    const qint64 count = matches->Count();
    return {std::move(matches), count, upTo};
}

} // namespace

FoundCards SqliteCollection::SearchTitles(const Selection& selection, QByteArrayView keyword,
                                          qint64 upTo) {
    if (selection.IsAllCards() && IndexedTitles::Covers(keyword) &&
        Schema::TitleIndexIsCurrent(*connection_))
        return Indexed(std::make_unique<IndexedTitles>(connection_, keyword, upTo), upTo);
    return Listed(connection_, SelectionRows(connection_, selection).Holding(keyword, upTo));
}

FoundCards SqliteCollection::SearchTexts(const Selection& selection, const TextQuery& query,
                                         qint64 upTo) {
    if (!query.IsEmpty() && selection.IsAllCards() && Schema::TextIndexIsCurrent(*connection_))
        return Indexed(std::make_unique<IndexedTexts>(connection_, query, upTo), upTo);
    return Listed(connection_, ScannedMatches(*this, selection, query, upTo));
}

std::optional<qint64> SqliteCollection::Highest() {
    Statement highest(*connection_, Sql::kHighestNumero);
    if (!highest.Step() || highest.IsNull(0))
        return std::nullopt;
    return highest.Int64(0);
}

void SqliteCollection::Insert(qint64 numero, const StoredCard& card) {
    Statement insert(*connection_, Sql::kInsertCard);
    insert.Bind(1, numero);
    BindText(insert, 2, card.cate);
    BindText(insert, 3, card.titre);
    BindText(insert, 4, card.pivanes);
    insert.Step();
}

qint64 SqliteCollection::Add(const CardFields& fields) {
    return Written([&] {
        const qint64 numero = NumberAfter(Highest(), 1);
        Insert(numero, {numero, fields.cate, fields.titre, fields.pivanes});
        return numero;
    });
}

// The text of the statement depends only on which fields are written: each shape is prepared
// once.
void SqliteCollection::Rewrite(qint64 numero, const CardFields& changes) {
    const std::pair<const char*, const std::optional<QString>*> fields[] = {
        {"Cate", &changes.cate}, {"Titre", &changes.titre}, {"Pivanes", &changes.pivanes}};
    QStringList assignments;
    for (int i = 0; i < 3; ++i)
        if (*fields[i].second)
            assignments
                << QStringLiteral("%1 = ?%2").arg(QLatin1String(fields[i].first)).arg(i + 2);
    if (assignments.isEmpty())
        return;
    const QByteArray sql = QString::fromLatin1(Sql::kUpdateCard)
                               .arg(assignments.join(QStringLiteral(", ")))
                               .toLatin1();
    Statement update(*connection_, sql.constData());
    update.Bind(1, numero);
    for (int i = 0; i < 3; ++i)
        if (*fields[i].second)
            update.Bind(i + 2, **fields[i].second);
    update.Step();
}

StoredCard SqliteCollection::Update(const StoredCard& asRead, const CardFields& changes) {
    return Written([&] {
        const std::optional<StoredCard> stored = ReadCard(asRead.numero);
        if (!stored)
            throw StoreError::EditConflict(asRead.numero, true);
        if (!SameFields(*stored, asRead))
            throw StoreError::EditConflict(asRead.numero, false);
        Rewrite(asRead.numero, changes);
        return WithChanges(*stored, changes);
    });
}

// Into an empty collection the indexes are made once, from the whole table, after the cards.
Imported SqliteCollection::Import(const CardSource& source) {
    return ImportCards(source, TextIndexes::Made);
}

qint64 SqliteCollection::ImportCopy(const CardSource& source, const TrashSource& trash) {
    const Imported imported = ImportCards(source, TextIndexes::Left, trash);
    // The next write makes the indexes left out.
    connection_->ForgetWritesPrepared();
    return imported.cards;
}

Imported SqliteCollection::ImportCards(const CardSource& source, TextIndexes textIndexes,
                                       const TrashSource& trash) {
    return Written([&] {
        // Room for a large import's changes: 16 MiB imports as fast as 256 MiB did (a converted
        // Jet file). A copy appends its cards and sorts one index after them, which a small cache
        // serves as well; the sort takes as much memory again as the cache.
        const LargerCache cache(*connection_, textIndexes == TextIndexes::Made ? 16384 : 1024);
        const std::optional<qint64> highest = Highest();
        Imported imported{0, !highest};
        if (imported.numbersKept)
            Schema::DropIndexes(*connection_);
        StoredCard card;
        while (source(card)) {
            const qint64 numero =
                imported.numbersKept ? card.numero : NumberAfter(highest, imported.cards + 1);
            try {
                Insert(numero, card);
            } catch (const StoreError&) {
                if (imported.numbersKept && ReadCard(numero))
                    throw StoreError::NumberGivenTwice(numero);
                throw;
            }
            imported.Took(numero);
        }
        if (trash)
            InsertTrashed(trash);
        if (textIndexes == TextIndexes::Left)
            Schema::EnsureCategoryIndex(*connection_);
        else if (imported.numbersKept)
            Schema::EnsureIndexes(*connection_);
        return imported;
    });
}

bool SqliteCollection::IsTrashed(qint64 numero) {
    Statement trashed(*connection_, Sql::kIsTrashed);
    trashed.Bind(1, numero);
    return trashed.Step() && trashed.Int64(0) > 0;
}

void SqliteCollection::MoveToTrash(qint64 numero) {
    Written([&] {
        if (IsTrashed(numero))
            throw StoreError::NotToTrash(numero, true);
        {
            Statement trash(*connection_, Sql::kTrashCard);
            trash.Bind(1, numero).Bind(2, TimeText(Clock::Now()));
            trash.Step();
        }
        if (connection_->Changes() == 0)
            throw StoreError::NotToTrash(numero, false);
        Statement remove(*connection_, Sql::kRemoveCard);
        remove.Bind(1, numero);
        remove.Step();
    });
}

std::vector<TrashEntry> SqliteCollection::Trash() {
    return InTransaction("BEGIN", [&] {
        std::vector<TrashEntry> entries;
        if (!Schema::HasTrash(*connection_))
            return entries;
        Statement list(*connection_, Sql::kTrashList);
        while (list.Step())
            entries.push_back({list.Int64(0), TextOrNull(list, 1), TimeOf(list.Text(2))});
        return entries;
    });
}

void SqliteCollection::EachTrashed(const std::function<void(const TrashedCard&)>& take) {
    InTransaction("BEGIN", [&] {
        if (!Schema::HasTrash(*connection_))
            return;
        Statement read(*connection_, Sql::kEveryTrashed);
        while (read.Step())
            take({CardOf(read), TimeOf(read.Text(4))});
    });
}

void SqliteCollection::PutBack(qint64 numero) {
    Written([&] {
        if (!IsTrashed(numero))
            throw StoreError::NotPutBack(numero, false);
        if (ReadCard(numero))
            throw StoreError::NotPutBack(numero, true);
        Statement back(*connection_, Sql::kPutBack);
        back.Bind(1, numero);
        back.Step();
        Statement remove(*connection_, Sql::kRemoveTrashed);
        remove.Bind(1, numero);
        remove.Step();
    });
}

qint64 SqliteCollection::EmptyTrash() {
    return Written([&] {
        connection_->Exec(Sql::kEmptyTrash);
        return connection_->Changes();
    });
}

void SqliteCollection::AddToTrash(const TrashSource& source) {
    Written([&] { InsertTrashed(source); });
}

void SqliteCollection::InsertTrashed(const TrashSource& source) {
    TrashedCard trashed;
    while (source(trashed)) {
        Statement add(*connection_, Sql::kAddTrashed);
        add.Bind(1, trashed.card.numero);
        BindText(add, 2, trashed.card.cate);
        BindText(add, 3, trashed.card.titre);
        BindText(add, 4, trashed.card.pivanes);
        add.Bind(5, TimeText(trashed.deleted));
        add.Step();
    }
}

qint64 SqliteCollection::SnapshotInto(const QString& target) {
    try {
        FileWriter file(target);
        const std::optional<qint64> cards = LocalFile::CopyInto(*connection_, file);
        if (!cards)
            throw CopyError(target, QStringLiteral("la copie relue diffère de l'original."));
        // The copy holds the live file's bytes: its cards are counted through the engine, which
        // walks every page of their table.
        if (LocalFile::VerifiedCardCount(file.TemporaryName(), Check::Cards) != *cards)
            throw CopyError(target, QStringLiteral("la copie ne contient pas toutes les fiches."));
        file.Commit();
        return *cards;
    } catch (const StoreError&) {
        throw;
    } catch (const UserError& error) {
        throw StoreError(StoreError::Kind::Failed, error.sentence(), error.reason());
    }
}

void SqliteCollection::ReplaceWith(const QString& source) {
    LocalFile::CopyPagesFrom(source, *connection_);
    // The file now holds another collection, which the next write makes ready again.
    connection_->ForgetWritesPrepared();
}

qint64 SqliteCollection::FileBytes() {
    return connection_->FirstText("PRAGMA page_count").toLongLong() *
           connection_->FirstText("PRAGMA page_size").toLongLong();
}

// SQLite's own VACUUM, in place and in one transaction: a program holding the file open and a
// crash at any moment both find either the old file or the compacted one.
Compacted SqliteCollection::Compact() {
    if (connection_->FirstText("PRAGMA quick_check") != QLatin1String("ok"))
        throw StoreError(
            StoreError::Kind::Damaged,
            QStringLiteral("Le fichier %1 est endommagé.").arg(LocalFile::Where(place_.name)));
    const qint64 before = FileBytes();
    Schema::PrepareForWrites(*connection_);
    connection_->Exec("VACUUM");
    return {before, FileBytes()};
}
