#include "store/postgres/PgCollection.h"

#include "platform/Clock.h"
#include "platform/FileWriter.h"
#include "store/ListedRows.h"
#include "store/TextSearch.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgRows.h"
#include "store/postgres/PgSql.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr qint64 kHighestCardNumber = std::numeric_limits<qint32>::max();
// Rows of counts beyond which the collection sums them up when it is opened.
constexpr qint64 kCountRowsKept = 1000;

const QString kUniqueViolation = QStringLiteral("23505");
const QString kInsufficientPrivilege = QStringLiteral("42501");
const QString kUndefinedFunction = QStringLiteral("42883");
const QString kDuplicateFunction = QStringLiteral("42723");
const QString kReadOnlyTransaction = QStringLiteral("25006");

// A keyword expected in one card in twenty or more is searched by the server's workers together.
constexpr double kManyFoundShare = 0.05;

// The items of an array as the server writes it out ({a,b,"null"}): folded words need no
// unquoting beyond the quotes around a word that reads as NULL.
QStringList ArrayItems(QStringView array) {
    QStringList items = array.mid(1, array.size() - 2).toString().split(QLatin1Char(','));
    for (QString& item : items)
        if (item.startsWith(QLatin1Char('"')))
            item = item.mid(1, item.size() - 2);
    return items;
}

std::vector<double> Numbers(const QStringList& items) {
    std::vector<double> numbers;
    numbers.reserve(size_t(items.size()));
    for (const QString& item : items)
        numbers.push_back(item.toDouble());
    return numbers;
}

// What tells one state of a card's fields from another, to check a copy card by card without
// keeping the cards.
std::size_t Digest(const StoredCard& card) {
    std::size_t digest = qHash(card.numero);
    for (const std::optional<QString>* field : {&card.cate, &card.titre, &card.pivanes})
        digest = qHashMulti(digest, field->has_value(), field->value_or(QString()));
    return digest;
}

bool SameFields(const StoredCard& a, const StoredCard& b) {
    return a.numero == b.numero && a.cate == b.cate && a.titre == b.titre && a.pivanes == b.pivanes;
}

StoredCard CopiedCardOf(const PgCopyOut& row) {
    return {row.Int64(0), row.Text(1), row.Text(2), row.Text(3), row.Int64(4)};
}

struct CopiedCard {
    qint64 numero;
    std::size_t digest;
    bool operator<(const CopiedCard& other) const { return numero < other.numero; }
};

StoreError NotCopiedAlike(qint64 numero) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("La fiche N° %1 n'a pas été recopiée à l'identique sur le "
                                     "serveur : rien n'a été copié.")
                          .arg(numero));
}

// The server keeps no NUL character in a text: the card is named rather than the server's
// reason.
void CheckStorable(const StoredCard& card) {
    for (const std::optional<QString>* field : {&card.cate, &card.titre, &card.pivanes})
        if (*field && (*field)->contains(QChar(0)))
            throw StoreError(StoreError::Kind::Failed,
                             QStringLiteral("La fiche N° %1 contient un caractère nul, que le "
                                            "serveur ne peut pas garder : rien n'a été copié.")
                                 .arg(card.numero));
}

std::optional<qint64> Duplicate(std::vector<CopiedCard> cards) {
    std::sort(cards.begin(), cards.end());
    const auto twin = std::adjacent_find(
        cards.begin(), cards.end(),
        [](const CopiedCard& a, const CopiedCard& b) { return a.numero == b.numero; });
    if (twin == cards.end())
        return std::nullopt;
    return twin->numero;
}

QString TimeText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

TrashedCard TrashedCardOf(const PgResult& row) {
    return {StoredCardOf(row, 0), QDateTime::fromString(*row.Text(0, 5), Qt::ISODate).toUTC()};
}

ChangedCard ChangedCardOf(const PgResult& row) {
    ChangedCard changed{row.Int64(0, 0), std::nullopt, std::nullopt};
    if (row.Bytes(0, 10) == "t")
        changed.card = StoredCard{changed.numero, row.Text(0, 1), row.Text(0, 2), row.Text(0, 3),
                                  row.Int64(0, 4)};
    if (!row.IsNull(0, 5))
        changed.trashed = TrashedCard{
            StoredCard{changed.numero, row.Text(0, 6), row.Text(0, 7), row.Text(0, 8), 0},
            QDateTime::fromString(*row.Text(0, 9), Qt::ISODate).toUTC()};
    return changed;
}

// The title of an edit kept aside as a new card: the card's title cut at its end so that the
// mark fits within the 100 characters of a title.
QString TitleCopiedAside(const std::optional<QString>& title) {
    constexpr int kTitleLimit = 100;
    const QString mark = QStringLiteral(" (copie hors connexion)");
    return title.value_or(QString()).left(kTitleLimit - mark.size()) + mark;
}

bool Holds(const StoredCard& card, const CardFields& fields) {
    return card.cate == fields.cate && card.titre == fields.titre && card.pivanes == fields.pivanes;
}

} // namespace

template <typename Work> auto PgCollection::Guarded(Doing doing, const Work& work) {
    return PgServer{connection_, place_.name}.Guarded(
        doing == Doing::Writing ? PgDoing::Writing : PgDoing::Reading, work);
}

PgCollection::PgCollection(const QString& connection)
    : place_{CollectionPlace::Kind::Server, connection} {
    try {
        connection_ = std::make_shared<PgConnection>(connection);
    } catch (const PgFailure& failure) {
        throw NotReached(connection, failure.reason());
    }
    Guarded(Doing::Writing, [&] { MakeOrCheck(); });
    whyReadOnly_ = Guarded(Doing::Reading, [&] { return AskWriteRights(); });
}

PgCollection::~PgCollection() {
    connection_->Close();
}

void PgCollection::MakeOrCheck() {
    const QString encoding = *connection_->Run(PgSql::kServerEncoding).Text(0, 0);
    if (encoding != QLatin1String("UTF8"))
        throw StoreError(
            StoreError::Kind::NotADatabase,
            QStringLiteral("La base du serveur « %1 » est codée en %2, non en UTF-8 "
                           ": Pivanes n'y garde pas de fiches, qui y perdraient des "
                           "caractères. Créez une base en UTF-8 (createdb -E UTF8, "
                           "voir « Une collection partagée sur un serveur » dans le guide de "
                           "Pivanes, « Lisez Moi », et « man pivanes »).")
                .arg(place_.name, encoding));
    const auto has = [this](const char* query) {
        return connection_->Run(query).Bytes(0, 0) == "t";
    };
    const auto hasTable = [&] { return has(PgSql::kHasCardTable) && has(PgSql::kHasTrash); };
    if (!hasTable())
        UnderMakingLock([&] {
            if (!hasTable())
                connection_->InTransaction([&] {
                    if (!has(PgSql::kHasCardTable))
                        connection_->Exec(PgSql::kCreateCollection);
                    connection_->Exec(PgSql::kCreateTrash);
                });
        });
    const PgResult shape = connection_->Run(PgSql::kShape);
    QStringList found;
    for (int row = 0; row < shape.Rows(); ++row)
        found << *shape.Text(row, 0);
    QStringList expected;
    for (const char* part : PgSql::kExpectedShape)
        expected << QString::fromLatin1(part);
    if (found != expected)
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("La base du serveur « %1 » a déjà une table trucpivane, "
                                        "mais d'une autre forme que celle de Pivanes : elle est "
                                        "laissée telle quelle. Choisissez une autre base, ou une "
                                        "base vide, où Pivanes crée la sienne.")
                             .arg(place_.name),
                         found.join(QStringLiteral(" ; ")));
    MakeTracking();
    if (connection_->Run(PgSql::kCountRows).Int64(0, 0) > kCountRowsKept)
        FoldCounts();
    DropRestoreCount();
    epoch_ = Epoch();
}

// Two programs starting on the same empty database make it once. The lock is the session's, so
// that a check after it runs in a transaction of its own, which sees what the other program
// made before it let go.
template <typename Work> void PgCollection::UnderMakingLock(const Work& work) {
    const PgValues key = PgValues().Add(PgSql::kNumberingKey);
    connection_->Run(PgSql::kSessionLock, key);
    try {
        work();
    } catch (...) {
        connection_->Run(PgSql::kSessionUnlock, key);
        throw;
    }
    connection_->Run(PgSql::kSessionUnlock, key);
}

// The epoch tells of restores now; a role that may not drop the count of before leaves it.
void PgCollection::DropRestoreCount() {
    if (!tracked_ || connection_->Run(PgSql::kHasRestoreCount).Bytes(0, 0) != "t")
        return;
    UnderMakingLock([&] {
        try {
            connection_->InTransaction([&] { connection_->Exec(PgSql::kDropRestoreCount); });
        } catch (const PgFailure& failure) {
            if (failure.sqlState() != kInsufficientPrivilege)
                throw;
        }
    });
}

std::optional<qint64> PgCollection::Epoch() {
    if (!tracked_)
        return std::nullopt;
    try {
        return connection_->Run(PgSql::kEpoch).Int64(0, 0);
    } catch (const PgFailure&) {
        return std::nullopt;
    }
}

QString PgCollection::ServerName() const {
    const QString host = connection_->Host();
    // A socket's folder says nothing to the user: the server is on this machine.
    if (host.isEmpty() || host.startsWith(QLatin1Char('/')))
        return QStringLiteral("%1 (ce poste)").arg(connection_->Database());
    return QStringLiteral("%1@%2").arg(connection_->Database(), host);
}

bool PgCollection::RestoredElsewhere() {
    // A broken connection is made again by the action itself, not once more before it.
    if (!connection_->Connected())
        return false;
    const std::optional<qint64> now = Epoch();
    const bool restored = epoch_ && now && now != epoch_;
    if (now)
        epoch_ = now;
    return restored;
}

std::optional<QString> PgCollection::AskWriteRights() {
    const PgResult rights = connection_->Run(PgSql::kWriteRights);
    if (rights.Bytes(0, 2) == "t")
        return QStringLiteral("Le serveur « %1 » n'accepte que des lectures (serveur de secours, "
                              "ou base en lecture seule) : Pivanes y lit les fiches, mais ne "
                              "peut rien y enregistrer.")
            .arg(place_.name);
    if (rights.Bytes(0, 1) != "t")
        return QStringLiteral("Le rôle « %1 » peut lire les fiches du serveur « %2 », mais n'a "
                              "pas le droit de les modifier (INSERT, UPDATE et DELETE sur "
                              "trucpivane, INSERT et DELETE sur trucpivane_corbeille) : "
                              "demandez ces droits à l'administrateur du serveur.")
            .arg(*rights.Text(0, 0), place_.name);
    return std::nullopt;
}

// A collection made before is given what copies need at its owner's next start; another role
// works on without it, and its copies are refused (Mark).
void PgCollection::MakeTracking() {
    const auto made = [this] { return connection_->Run(PgSql::kHasTracking).Bytes(0, 0) == "t"; };
    if (!made())
        UnderMakingLock([&] {
            try {
                if (!made())
                    connection_->InTransaction([this] {
                        connection_->Exec(PgSql::kCreateTracking);
                        for (const char* table : PgSql::kTrackedTables)
                            connection_->Exec(QString::fromLatin1(PgSql::kTrackTable)
                                                  .arg(QLatin1String(table))
                                                  .toLatin1()
                                                  .constData());
                    });
            } catch (const PgFailure& failure) {
                if (failure.sqlState() != kInsufficientPrivilege)
                    throw;
            }
        });
    tracked_ = made();
}

// Only spares the counts some rows: a role that may not change them counts the rows as they are.
void PgCollection::FoldCounts() {
    try {
        connection_->Run(PgSql::kFoldCounts);
    } catch (const PgFailure&) {
        // The next command says it if the server went away.
    }
}

SelectionCount PgCollection::Count(const Selection& selection) {
    return Guarded(Doing::Reading, [&] {
        PgValues values;
        if (!selection.IsAllCards())
            values.Add(selection.Code());
        const PgResult count = connection_->Run(
            selection.IsAllCards() ? PgSql::kCountAll : PgSql::kCountCategory, values);
        return SelectionCount{count.Int64(0, 0),
                              count.IsNull(0, 1) ? SelectionCount::kNone : count.Int64(0, 1)};
    });
}

std::unique_ptr<CardRows> PgCollection::Rows(const Selection& selection) {
    return std::make_unique<PgSelectionRows>(PgServer{connection_, place_.name}, selection);
}

std::optional<StoredCard> PgCollection::ReadCard(qint64 numero) {
    return Guarded(Doing::Reading, [&]() -> std::optional<StoredCard> {
        const PgResult read = connection_->Run(PgSql::kReadCard, PgValues().Add(numero));
        if (read.Rows() == 0)
            return std::nullopt;
        return StoredCardOf(read, 0);
    });
}

void PgCollection::EachCard(const std::function<void(const StoredCard&)>& take) {
    Guarded(Doing::Reading, [&] {
        connection_->InTransaction(PgSql::kSnapshot, [&] {
            PgCopyOut rows(*connection_, PgSql::kCopyEveryCard);
            while (rows.Next())
                take(CopiedCardOf(rows));
        });
    });
}

FoundCards PgCollection::SearchTitles(const Selection& selection, QByteArrayView keyword,
                                      qint64 upTo) {
    auto found =
        std::make_unique<PgFoundRows>(PgServer{connection_, place_.name}, selection, keyword, upTo);
    const auto [count, last] = found->Count();
    return {std::move(found), count, last};
}

void PgCollection::RefreshWords() {
    // A batch of cards of a few kilobytes each; one of megabytes is rare.
    constexpr qint64 kBatch = 500;
    if (connection_->Run(PgSql::kHasStaleCards).Bytes(0, 0) != "t")
        return;
    connection_->Exec(PgSql::kCreateFoldedBatch);
    qint64 after = std::numeric_limits<qint64>::min();
    for (;;) {
        const PgResult stale =
            connection_->Run(PgSql::kStaleCards, PgValues().Add(kBatch).Add(after));
        if (stale.Rows() == 0)
            return;
        after = stale.Int64(stale.Rows() - 1, 0);
        PgCopyIn copy(*connection_, PgSql::kCopyFoldedBatch);
        for (int row = 0; row < stale.Rows(); ++row) {
            const FoldedWords folded = FoldedWordsOf(stale.Text(row, 1), stale.Text(row, 2));
            copy.BeginRow(3);
            copy.Field(stale.Int64(row, 0));
            copy.Field(std::optional(folded.words));
            copy.Field(folded.lexemes);
        }
        copy.Finish();
        connection_->Exec(PgSql::kWriteFoldedBatch);
        connection_->Exec(PgSql::kClearFoldedBatch);
    }
}

template <typename Work> bool PgCollection::IfAllowed(const Work& work) {
    connection_->Exec("SAVEPOINT permis");
    bool allowed = true;
    try {
        work();
    } catch (const PgFailure& failure) {
        if (failure.sqlState() != kInsufficientPrivilege)
            throw;
        connection_->Exec("ROLLBACK TO SAVEPOINT permis");
        allowed = false;
    }
    connection_->Exec("RELEASE SAVEPOINT permis");
    return allowed;
}

// The next search by a role that may write the words catches up with them.
void PgCollection::RefreshWordsIfAllowed() {
    IfAllowed([&] { RefreshWords(); });
}

FoundCards PgCollection::ScannedTexts(const Selection& selection, const TextQuery& query,
                                      qint64 upTo) {
    const PgServer server{connection_, place_.name};
    return ListedRows::Found(ScannedMatches(*this, selection, query, upTo), [server](
                                                                                qint64 numero) {
        return server.Guarded(PgDoing::Reading, [&]() -> std::optional<QByteArray> {
            const PgResult read = server.connection->Run(PgSql::kTitleOf, PgValues().Add(numero));
            if (read.Rows() == 0)
                return std::nullopt;
            return read.Bytes(0, 0).toByteArray();
        });
    });
}

FoundCards PgCollection::SearchTexts(const Selection& selection, const TextQuery& query,
                                     qint64 upTo) {
    if (query.IsEmpty())
        return ScannedTexts(selection, query, upTo); // finds none, reading nothing
    auto found =
        std::make_unique<PgTextRows>(PgServer{connection_, place_.name}, selection, query, upTo);
    const bool manyFound = Guarded(
        Doing::Reading, [&] { return WordSharesNow().MostFoundBy(query) >= kManyFoundShare; });
    PgTextRows::Found answer = found->Search(manyFound);
    if (answer.stale) {
        // Another program's writes wait for their words: they are caught up with first.
        try {
            connection_->InTransaction([&] { RefreshWords(); });
        } catch (const PgFailure& failure) {
            if (failure.kind() != PgFailure::Kind::Refused)
                throw PgServer{connection_, place_.name}.Translated(failure, PgDoing::Reading);
            return ScannedTexts(selection, query, upTo);
        }
        answer = found->Search(manyFound);
    }
    return {std::move(found), answer.count, answer.last};
}

// Read at the first search of the session; a role that may not make the function, or a server
// that takes no writes, searches every keyword alike.
const WordShares& PgCollection::WordSharesNow() {
    if (wordShares_)
        return *wordShares_;
    const auto read = [this] {
        const PgResult shares = connection_->Run(PgSql::kWordShares);
        if (shares.Rows() == 0 || shares.IsNull(0, 0))
            return WordShares();
        return WordShares(ArrayItems(*shares.Text(0, 0)), Numbers(ArrayItems(*shares.Text(0, 1))));
    };
    try {
        wordShares_ = read();
    } catch (const PgFailure& failure) {
        if (failure.sqlState() != kUndefinedFunction)
            throw;
        wordShares_ = WordShares();
        UnderMakingLock([&] {
            try {
                connection_->InTransaction([&] { connection_->Exec(PgSql::kCreateWordShares); });
            } catch (const PgFailure& refused) {
                if (refused.sqlState() == kInsufficientPrivilege ||
                    refused.sqlState() == kReadOnlyTransaction)
                    return;
                if (refused.sqlState() != kDuplicateFunction)
                    throw;
            }
            wordShares_ = read();
        });
    }
    return *wordShares_;
}

qint64 PgCollection::Add(const CardFields& fields) {
    return Guarded(Doing::Writing, [&] {
        return connection_->InTransaction([&] {
            connection_->Exec(PgSql::kAddWaitsAtMost);
            connection_->Run(PgSql::kNumberingLock, PgValues().Add(PgSql::kNumberingKey));
            const PgResult added = connection_->Run(
                PgSql::kAddCard, PgValues().Add(fields.cate).Add(fields.titre).Add(fields.pivanes));
            if (added.Rows() == 0)
                throw StoreError::NumbersExhausted();
            RefreshWordsIfAllowed();
            return added.Int64(0, 0);
        });
    });
}

StoredCard PgCollection::Update(const StoredCard& asRead, const CardFields& changes) {
    const std::pair<const char*, const std::optional<QString>*> fields[] = {
        {"cate", &changes.cate}, {"titre", &changes.titre}, {"pivanes", &changes.pivanes}};
    PgValues values;
    values.Add(asRead.numero).Add(asRead.version);
    QStringList assignments;
    for (const auto& [column, value] : fields)
        if (*value) {
            values.Add(*value);
            assignments
                << QStringLiteral("%1 = $%2").arg(QLatin1String(column)).arg(values.Count());
        }
    if (assignments.isEmpty()) {
        const std::optional<StoredCard> stored = ReadCard(asRead.numero);
        if (!stored || stored->version != asRead.version)
            throw StoreError::EditConflict(asRead.numero, !stored);
        return *stored;
    }
    const QByteArray sql = QString::fromLatin1(PgSql::kUpdateCard)
                               .arg(assignments.join(QStringLiteral(", ")))
                               .toLatin1();
    return Guarded(Doing::Writing, [&] {
        return connection_->InTransaction([&] {
            const PgResult updated = connection_->Run(sql.constData(), values);
            if (updated.Rows() == 0) {
                const bool removed =
                    connection_->Run(PgSql::kVersionOf, PgValues().Add(asRead.numero)).Rows() == 0;
                throw StoreError::EditConflict(asRead.numero, removed);
            }
            RefreshWordsIfAllowed();
            return StoredCardOf(updated, 0);
        });
    });
}

void PgCollection::MoveToTrash(qint64 numero) {
    Guarded(Doing::Writing, [&] {
        connection_->InTransaction([&] {
            const PgValues number = PgValues().Add(numero);
            if (connection_->Run(PgSql::kIsTrashed, number).Rows() > 0)
                throw StoreError::NotToTrash(numero, true);
            const PgValues values = PgValues().Add(numero).Add(TimeText(Clock::Now()));
            if (connection_->Run(PgSql::kTrashCard, values).Rows() == 0)
                throw StoreError::NotToTrash(numero, false);
        });
    });
}

std::vector<TrashEntry> PgCollection::Trash() {
    return Guarded(Doing::Reading, [&] {
        std::vector<TrashEntry> entries;
        PgRowStream rows(*connection_, PgSql::kTrashList);
        while (rows.Next())
            entries.push_back({rows.Row().Int64(0, 0), rows.Row().Text(0, 1),
                               QDateTime::fromString(*rows.Row().Text(0, 2), Qt::ISODate).toUTC()});
        return entries;
    });
}

void PgCollection::EachTrashed(const std::function<void(const TrashedCard&)>& take) {
    Guarded(Doing::Reading, [&] {
        connection_->InTransaction(PgSql::kSnapshot, [&] {
            PgRowStream rows(*connection_, PgSql::kEveryTrashed);
            while (rows.Next())
                take(TrashedCardOf(rows.Row()));
        });
    });
}

void PgCollection::PutBack(qint64 numero) {
    Guarded(Doing::Writing, [&] {
        connection_->InTransaction([&] {
            const PgValues number = PgValues().Add(numero);
            if (connection_->Run(PgSql::kIsTrashed, number).Rows() == 0)
                throw StoreError::NotPutBack(numero, false);
            if (connection_->Run(PgSql::kHasCard, number).Rows() > 0)
                throw StoreError::NotPutBack(numero, true);
            if (connection_->Run(PgSql::kPutBack, number).Rows() == 0)
                throw StoreError::NotPutBack(numero, false);
        });
    });
}

qint64 PgCollection::EmptyTrash() {
    return Guarded(Doing::Writing, [&] {
        return connection_->InTransaction(
            [&] { return connection_->Run(PgSql::kEmptyTrash).Int64(0, 0); });
    });
}

// Within the caller's transaction.
void PgCollection::AddTrashed(const TrashedCard& trashed) {
    connection_->Run(PgSql::kAddTrashed, PgValues()
                                             .Add(trashed.card.numero)
                                             .Add(trashed.card.cate)
                                             .Add(trashed.card.titre)
                                             .Add(trashed.card.pivanes)
                                             .Add(TimeText(trashed.deleted)));
}

void PgCollection::AddToTrash(const TrashSource& source) {
    Guarded(Doing::Writing, [&] {
        connection_->InTransaction([&] {
            TrashedCard trashed;
            while (source(trashed)) {
                CheckStorable(trashed.card);
                AddTrashed(trashed);
            }
        });
    });
}

// Sends the cards of the feed in one COPY, numbered after numberAfter when given, then reads
// them back and compares them one by one with what was sent. Within the caller's transaction.
qint64 PgCollection::CopyChecked(const CardFeed& feed, std::optional<qint64> numberAfter) {
    std::vector<CopiedCard> copied;
    try {
        PgCopyIn copy(*connection_, PgSql::kCopyCards);
        feed([&](const StoredCard& source) {
            StoredCard card = source;
            if (numberAfter) {
                card.numero = *numberAfter + qint64(copied.size()) + 1;
                if (card.numero > kHighestCardNumber)
                    throw StoreError::NumbersExhausted();
            }
            CheckStorable(card);
            copy.BeginRow(4);
            copy.Field(card.numero);
            copy.Field(card.cate);
            copy.Field(card.titre);
            copy.Field(card.pivanes);
            copied.push_back({card.numero, Digest(card)});
        });
        copy.Finish();
    } catch (const PgFailure& failure) {
        if (failure.sqlState() == kUniqueViolation)
            if (const std::optional<qint64> twin = Duplicate(copied))
                throw StoreError::NumberGivenTwice(*twin);
        throw;
    }
    if (copied.empty())
        return 0;
    std::sort(copied.begin(), copied.end());
    PgRowStream rows(*connection_, PgSql::kCardsFrom, PgValues().Add(copied.front().numero));
    std::size_t index = 0;
    while (rows.Next()) {
        const StoredCard stored = StoredCardOf(rows.Row(), 0);
        if (index == copied.size() || copied[index].numero != stored.numero ||
            copied[index].digest != Digest(stored))
            throw NotCopiedAlike(stored.numero);
        ++index;
    }
    if (index != copied.size())
        throw NotCopiedAlike(copied[index].numero);
    return qint64(copied.size());
}

Imported PgCollection::Import(const CardSource& source) {
    const Imported imported = Guarded(Doing::Writing, [&] {
        return connection_->InTransaction([&] {
            connection_->Run(PgSql::kNumberingLock, PgValues().Add(PgSql::kNumberingKey));
            const PgResult highest = connection_->Run(PgSql::kHighest);
            const std::optional<qint64> after =
                highest.IsNull(0, 0) ? std::nullopt : std::optional(highest.Int64(0, 0));
            Imported copied{0, !after};
            CopyChecked(
                [&](const auto& put) {
                    StoredCard card;
                    while (source(card)) {
                        put(card);
                        copied.Took(after ? *after + copied.cards + 1 : card.numero);
                    }
                },
                after);
            RefreshWordsIfAllowed();
            return copied;
        });
    });
    FoldCounts();
    return imported;
}

qint64 PgCollection::SnapshotInto(const QString& target) {
    try {
        FileWriter file(target);
        qint64 cards = 0;
        Guarded(Doing::Reading, [&] {
            connection_->InTransaction(PgSql::kSnapshot, [&] {
                cards = CopyInto(file.TemporaryName());
                CheckCopy(*Collection::OpenLocal(file.TemporaryName()), target);
            });
        });
        if (Collection::VerifiedCardCount(file.TemporaryName()) != cards)
            throw StoreError(StoreError::Kind::Failed,
                             QStringLiteral("La copie vers « %1 » ne se relit pas entière : "
                                            "elle n'a pas été gardée.")
                                 .arg(QDir::toNativeSeparators(target)));
        file.Commit();
        return cards;
    } catch (const StoreError&) {
        throw;
    } catch (const UserError& error) {
        throw StoreError(StoreError::Kind::Failed, error.sentence(), error.reason());
    }
}

// Within the snapshot's transaction. The copy is a file kept aside, not searched: its full-text
// indexes, which would take longer to make than the copy itself, wait for a write to it.
qint64 PgCollection::CopyInto(const QString& copyFile) {
    PgCopyOut rows(*connection_, PgSql::kCopyEveryCard);
    // The trash is read once the cards' COPY has ended: one query at a time on the connection.
    std::optional<PgRowStream> trash;
    return Collection::CreateLocalCopy(
        copyFile,
        [&](StoredCard& card) {
            if (!rows.Next())
                return false;
            card = CopiedCardOf(rows);
            return true;
        },
        [&](TrashedCard& trashed) {
            if (!trash)
                trash.emplace(*connection_, PgSql::kEveryTrashed);
            if (!trash->Next())
                return false;
            trashed = TrashedCardOf(trash->Row());
            return true;
        });
}

// Compares the copy with a second read of the same snapshot, card by card: nothing is kept of
// the first read, whatever the size of the collection.
void PgCollection::CheckCopy(Collection& copy, const QString& target) {
    PgCopyOut rows(*connection_, PgSql::kCopyEveryCard);
    copy.EachCard([&](const StoredCard& card) {
        if (!rows.Next() || !SameFields(CopiedCardOf(rows), card))
            throw NotCopiedAlike(card.numero);
    });
    if (rows.Next())
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("La copie vers « %1 » ne contient pas toutes "
                                        "les fiches : elle n'a pas été gardée.")
                             .arg(QDir::toNativeSeparators(target)));
}

void PgCollection::ReplaceWith(const QString& source) {
    const qint64 expected = Collection::VerifiedCardCount(source);
    const std::unique_ptr<Collection> restored = Collection::OpenLocal(source);
    Guarded(Doing::Writing, [&] {
        std::optional<qint64> epoch;
        connection_->InTransaction([&] {
            connection_->Run(PgSql::kNumberingLock, PgValues().Add(PgSql::kNumberingKey));
            connection_->Run(PgSql::kRestoring);
            connection_->Exec(PgSql::kHoldWriters);
            connection_->Exec(PgSql::kRemoveEveryCard);
            connection_->Exec(PgSql::kRemoveEveryTrashed);
            restored->EachTrashed([&](const TrashedCard& trashed) {
                CheckStorable(trashed.card);
                AddTrashed(trashed);
            });
            if (CopyChecked([&](const auto& put) { restored->EachCard(put); }, std::nullopt) !=
                expected)
                throw StoreError(StoreError::Kind::Failed,
                                 QStringLiteral("La sauvegarde « %1 » n'a pas pu être relue "
                                                "entière : la collection du serveur n'a pas été "
                                                "remplacée.")
                                     .arg(QDir::toNativeSeparators(source)));
            RefreshWordsIfAllowed();
            if (epoch_)
                epoch = connection_->Run(PgSql::kEpoch).Int64(0, 0);
        });
        // This program's own restore is not news to it.
        if (epoch)
            epoch_ = epoch;
        FoldCounts();
    });
}

Compacted PgCollection::Compact() {
    return Guarded(Doing::Writing, [&] {
        if (connection_->Run(PgSql::kOwnsTables).Bytes(0, 0) != "t")
            throw StoreError(StoreError::Kind::ReadOnly,
                             QStringLiteral("Seul le propriétaire des tables de la collection "
                                            "peut faire compacter le serveur « %1 », et le rôle "
                                            "« %2 » ne l'est pas : rien n'a été fait.")
                                 .arg(place_.name, connection_->Role()));
        const qint64 before = connection_->Run(PgSql::kBytes).Int64(0, 0);
        FoldCounts();
        for (const char* vacuum : PgSql::kVacuum)
            connection_->Exec(vacuum);
        return Compacted{before, connection_->Run(PgSql::kBytes).Int64(0, 0)};
    });
}

ChangeMark PgCollection::MarkNow() {
    if (!tracked_)
        throw StoreError(StoreError::Kind::ReadOnly,
                         QStringLiteral("La collection du serveur « %1 » date d'une version de "
                                        "Pivanes qui ne gardait pas ce que demande une copie "
                                        "locale : il faut que le propriétaire de ses tables "
                                        "l'ouvre une fois avec celle-ci. Aucune copie n'a été "
                                        "faite.")
                             .arg(place_.name));
    const PgResult mark = connection_->Run(PgSql::kMark);
    return {mark.Int64(0, 0), mark.Int64(0, 1)};
}

ChangeMark PgCollection::Mark() {
    return Guarded(Doing::Reading, [&] { return MarkNow(); });
}

ChangeMark PgCollection::ChangesAfter(const ChangeMark& held,
                                      const std::function<void(const ChangedCard&)>& take) {
    return Guarded(Doing::Reading, [&] {
        return connection_->InTransaction(PgSql::kSnapshot, [&] {
            const ChangeMark now = MarkNow();
            if (now.epoch == held.epoch) {
                PgRowStream rows(*connection_, PgSql::kChangesAfter, PgValues().Add(held.last));
                while (rows.Next())
                    take(ChangedCardOf(rows.Row()));
            }
            return now;
        });
    });
}

ReturnedChange PgCollection::Apply(const QueuedChange& change) {
    return Guarded(Doing::Writing, [&] {
        return connection_->InTransaction([&] {
            connection_->Run(PgSql::kReturnLocks,
                             PgValues().Add(PgSql::kNumberingKey).Add(PgSql::kChangesKey));
            const PgResult applied = connection_->Run(PgSql::kApplied, PgValues().Add(change.id));
            if (applied.Rows() > 0)
                return ReturnedChange{change, ReturnedChange::Outcome(applied.Int64(0, 1)),
                                      applied.Int64(0, 0)};
            ReturnedChange returned = Returned(change);
            connection_->Run(
                PgSql::kNoteApplied,
                PgValues().Add(change.id).Add(returned.numero).Add(qint64(returned.outcome)));
            RefreshWordsIfAllowed();
            return returned;
        });
    });
}

// The rules of the return, within Apply's transaction. An edit or a trash goes through only over
// the card as the copy held it, compared field by field: another program's plain UPDATE leaves
// the version as it was, and a restored collection numbers its versions afresh.
ReturnedChange PgCollection::Returned(const QueuedChange& change) {
    using Outcome = ReturnedChange::Outcome;
    const auto answer = [&change](Outcome outcome, qint64 numero) {
        return ReturnedChange{change, outcome, numero};
    };
    if (change.kind == QueuedChange::Kind::Add)
        return answer(Outcome::Numbered, AddForReturn(change.after));
    const PgValues number = PgValues().Add(change.numero);
    const PgResult locked = connection_->Run(PgSql::kLockCard, number);
    const std::optional<StoredCard> card =
        locked.Rows() > 0 ? std::optional(StoredCardOf(locked, 0)) : std::nullopt;
    const bool trashed = connection_->Run(PgSql::kIsTrashed, number).Rows() > 0;
    if (change.kind == QueuedChange::Kind::Edit) {
        if (card && Holds(*card, change.before)) {
            Rewrite(change.numero, change.after);
            return answer(Outcome::Applied, change.numero);
        }
        if (card)
            return answer(Outcome::CopiedAside,
                          AddForReturn({change.after.cate, TitleCopiedAside(change.after.titre),
                                        change.after.pivanes}));
        if (trashed) {
            connection_->Run(PgSql::kPutBack, number);
            Rewrite(change.numero, change.after);
            return answer(Outcome::BackFromTrash, change.numero);
        }
        return answer(Outcome::NewCard, AddForReturn(change.after));
    }
    if (change.kind == QueuedChange::Kind::Trash) {
        if (!card)
            return answer(Outcome::Gone, change.numero);
        if (!Holds(*card, change.before))
            return answer(Outcome::KeptEdited, change.numero);
        connection_->Run(PgSql::kTrashCard,
                         PgValues().Add(change.numero).Add(TimeText(Clock::Now())));
        return answer(Outcome::Applied, change.numero);
    }
    // A put back.
    if (card && Holds(*card, change.after))
        return answer(Outcome::Gone, change.numero);
    if (!card && trashed) {
        connection_->Run(PgSql::kPutBack, number);
        return answer(Outcome::Applied, change.numero);
    }
    return answer(Outcome::NewCard, AddForReturn(change.after));
}

qint64 PgCollection::AddForReturn(const CardFields& card) {
    const PgResult added = connection_->Run(
        PgSql::kAddCard, PgValues().Add(card.cate).Add(card.titre).Add(card.pivanes));
    if (added.Rows() == 0)
        throw StoreError::NumbersExhausted();
    return added.Int64(0, 0);
}

void PgCollection::Rewrite(qint64 numero, const CardFields& card) {
    connection_->Run(PgSql::kRewriteCard,
                     PgValues().Add(numero).Add(card.cate).Add(card.titre).Add(card.pivanes));
}
