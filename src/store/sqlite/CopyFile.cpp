#include "store/sqlite/CopyFile.h"

#include "platform/Clock.h"
#include "store/StoreError.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/LocalFile.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/Sql.h"
#include "store/sqlite/SqliteCollection.h"

namespace {

void BindText(Statement& statement, int index, const std::optional<QString>& text) {
    if (text)
        statement.Bind(index, *text);
    else
        statement.BindNull(index);
}

std::optional<QString> TextOrNull(const Statement& statement, int column) {
    if (statement.IsNull(column))
        return std::nullopt;
    return statement.Text(column);
}

CardFields FieldsOf(const Statement& read, int first) {
    return {TextOrNull(read, first), TextOrNull(read, first + 1), TextOrNull(read, first + 2)};
}

void BindFields(Statement& statement, int first, const CardFields& fields) {
    BindText(statement, first, fields.cate);
    BindText(statement, first + 1, fields.titre);
    BindText(statement, first + 2, fields.pivanes);
}

// As the collection's own writes: checked first for code another program put in the file, then
// with the file's triggers let run.
void Whole(Connection& connection, const QString& fileName, const std::function<void()>& work) {
    Schema::PrepareForWrites(connection);
    connection.Exec("BEGIN IMMEDIATE");
    try {
        LocalFile::CheckStructure(connection, fileName);
        const TrustedSchema ownTriggers(connection);
        work();
        connection.Exec("COMMIT");
    } catch (...) {
        connection.ExecQuietly("ROLLBACK");
        throw;
    }
}

void WriteMark(Connection& connection, const ChangeMark& mark) {
    Statement set(connection, Sql::kSetCopyMark);
    set.Bind(1, mark.epoch).Bind(2, mark.last).Bind(3, Clock::Now().toUTC().toString(Qt::ISODate));
    set.Step();
}

} // namespace

CopyFile::CopyFile(const QString& fileName) : cards_(std::make_unique<SqliteCollection>(fileName)) {
    if (connection().FirstText("SELECT count(*) FROM sqlite_schema WHERE name = 'Copie_Etat'") !=
        QLatin1String("1"))
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("Le fichier %1 n'est pas une copie d'une collection de "
                                        "serveur : il est laissé tel quel.")
                             .arg(LocalFile::Where(fileName)));
}

CopyFile::~CopyFile() = default;

Connection& CopyFile::connection() {
    return cards_->connection();
}

void CopyFile::Prepare(const QString& fileName, const ChangeMark& mark) {
    SqliteCollection cards(fileName);
    Connection& connection = cards.connection();
    Whole(connection, fileName, [&] {
        connection.Exec(Sql::kCreateCopyTables);
        WriteMark(connection, mark);
    });
}

ChangeMark CopyFile::Held() {
    Statement read(connection(), Sql::kCopyMark);
    if (!read.Step())
        return {};
    return {read.Int64(0), read.Int64(1)};
}

QDateTime CopyFile::ReadAt() {
    Statement read(connection(), Sql::kCopyMark);
    return read.Step() ? QDateTime::fromString(read.Text(2), Qt::ISODate).toUTC() : QDateTime();
}

// The number as the server holds it now, whatever the copy held under it, once the batch is
// written.
void CopyFile::Gather(const ChangedCard& changed) {
    Statement add(connection(), Sql::kAddArrival);
    add.Bind(1, changed.numero).Bind(2, qint64(changed.card.has_value()));
    if (changed.card)
        BindFields(add, 3, {changed.card->cate, changed.card->titre, changed.card->pivanes});
    else
        BindFields(add, 3, {});
    add.Bind(6, qint64(changed.trashed.has_value()));
    if (changed.trashed) {
        const StoredCard& card = changed.trashed->card;
        BindFields(add, 7, {card.cate, card.titre, card.pivanes});
        add.Bind(10, changed.trashed->deleted.toUTC().toString(Qt::ISODate));
    } else {
        BindFields(add, 7, {});
        add.BindNull(10);
    }
    add.Step();
}

void CopyFile::WriteGathered() {
    for (const char* write : Sql::kWriteArrivals)
        connection().Exec(write);
}

void CopyFile::Transaction(const std::function<void()>& work) {
    Whole(connection(), cards_->Place().name, work);
}

void CopyFile::Put(qint64 numero, const CardFields& card) {
    Statement insert(connection(), Sql::kInsertCard);
    insert.Bind(1, numero);
    BindFields(insert, 2, card);
    insert.Step();
}

bool CopyFile::CatchUp(ServerChanges& server) {
    const ChangeMark held = Held();
    bool caughtUp = false;
    // Each changed card writes pages of the indexes all over the file: they stay in memory until
    // the end rather than go out (each time after a wait for the disk) and come back.
    const LargerCache cache(connection(), 65536);
    Whole(connection(), cards_->Place().name, [&] {
        Schema::SetIndexMemory(connection(), Schema::IndexMemory::Large);
        connection().Exec(Sql::kCreateArrivals);
        int gathered = 0;
        const ChangeMark now = server.ChangesAfter(held, [&](const ChangedCard& changed) {
            Gather(changed);
            if (++gathered % Sql::kArrivalsBatch == 0)
                WriteGathered();
        });
        WriteGathered();
        // A new epoch comes without changes: nothing was written.
        caughtUp = now.epoch == held.epoch;
        if (caughtUp)
            WriteMark(connection(), now);
        Schema::SetIndexMemory(connection(), Schema::IndexMemory::Usual);
    });
    return caughtUp;
}

std::optional<QueuedChange> CopyFile::FirstQueued() {
    Statement read(connection(), Sql::kFirstQueued);
    if (!read.Step())
        return std::nullopt;
    return QueuedChange{read.Text(0), QueuedChange::Kind(read.Int64(1)), read.Int64(2),
                        FieldsOf(read, 3), FieldsOf(read, 6)};
}

void CopyFile::Queue(const QueuedChange& change) {
    Statement queue(connection(), Sql::kQueueChange);
    queue.Bind(1, change.id).Bind(2, qint64(change.kind)).Bind(3, change.numero);
    BindFields(queue, 4, change.before);
    BindFields(queue, 7, change.after);
    queue.Step();
}

void CopyFile::Sent(const ReturnedChange& returned) {
    Whole(connection(), cards_->Place().name, [&] {
        Statement unqueue(connection(), Sql::kUnqueue);
        unqueue.Bind(1, returned.change.id);
        unqueue.Step();
        if (returned.outcome == ReturnedChange::Outcome::Numbered)
            for (const char* renumber :
                 {Sql::kRenumberCard, Sql::kRenumberTrashed, Sql::kRenumberQueued}) {
                Statement statement(connection(), renumber);
                statement.Bind(1, returned.change.numero).Bind(2, returned.numero);
                statement.Step();
            }
    });
}
