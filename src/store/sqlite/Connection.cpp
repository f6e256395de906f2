#include "store/sqlite/Connection.h"

#include <cerrno>
#include <sqlite3.h>

namespace {

// Another program that changes the file's structure (a restore, a compaction) while a statement
// is being prepared makes the engine give up with SQLITE_SCHEMA before the statement has read or
// written anything; the statement is then simply run again.
constexpr int kSchemaChangeRetries = 20;

template <typename Call> int RetriedOnSchemaChange(const Call& call) {
    int rc = call();
    for (int retry = 0; rc == SQLITE_SCHEMA && retry < kSchemaChangeRetries; ++retry)
        rc = call();
    return rc;
}

} // namespace

Connection::~Connection() {
    Close();
}

void Connection::Open(const QString& fileName, int flags) {
    Close();
    const QByteArray path = fileName.toUtf8();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const StoreError error = EngineError(db, rc);
        sqlite3_close(db);
        throw error;
    }
    db_ = db;
    writesPrepared_ = false;
    // "File replaced" is an extended code: folded into "read-only" it would mislead.
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    // A file is data: what another program put in its structure may not reach beyond it.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
}

TrustedSchema::TrustedSchema(Connection& connection) : connection_(connection) {
    sqlite3_db_config(connection_.Handle(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 1, nullptr);
}

TrustedSchema::~TrustedSchema() {
    if (connection_.IsOpen())
        sqlite3_db_config(connection_.Handle(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
}

void Connection::Close() {
    for (auto& entry : statements_)
        sqlite3_finalize(entry.second);
    statements_.clear();
    if (db_) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

sqlite3* Connection::Handle() const {
    if (!db_)
        throw StoreError::CollectionClosed();
    return db_;
}

sqlite3_stmt* Connection::Prepare(const char* sql) {
    sqlite3* db = Handle();
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        sqlite3_reset(found->second);
        sqlite3_clear_bindings(found->second);
        return found->second;
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = RetriedOnSchemaChange(
        [&] { return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr); });
    if (rc != SQLITE_OK)
        Fail(rc);
    statements_.emplace(sql, stmt);
    return stmt;
}

void Connection::Exec(const char* sql) {
    sqlite3* db = Handle();
    const int rc =
        RetriedOnSchemaChange([&] { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); });
    if (rc != SQLITE_OK)
        Fail(rc);
}

LargerCache::LargerCache(Connection& connection, int kib)
    : connection_(connection), usual_(connection.FirstText("PRAGMA cache_size").toUtf8()) {
    connection_.Exec(("PRAGMA cache_size = -" + QByteArray::number(kib)).constData());
}

LargerCache::~LargerCache() {
    connection_.ExecQuietly(("PRAGMA cache_size = " + usual_).constData());
}

bool Connection::InTransaction() const {
    return sqlite3_get_autocommit(Handle()) == 0;
}

void Connection::ExecQuietly(const char* sql) {
    if (db_)
        sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

QString Connection::FirstText(const char* sql) {
    Statement statement(*this, sql);
    return statement.Step() ? statement.Text(0) : QString();
}

void Connection::Fail(int code) const {
    throw EngineError(db_, code);
}

StoreError EngineError(sqlite3* db, int code) {
    // The engine reports a disk's read error as damage; the file's last system error tells
    // them apart.
    int systemError = 0;
    if (db && ((code & 0xff) == SQLITE_CORRUPT || (code & 0xff) == SQLITE_IOERR) &&
        sqlite3_file_control(db, "main", SQLITE_FCNTL_LAST_ERRNO, &systemError) == SQLITE_OK &&
        systemError == EIO)
        code = SQLITE_IOERR_READ;
    return StoreError(EngineErrorKind(code), EngineMessage(code),
                      db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString());
}

StoreError::Kind EngineErrorKind(int code) {
    if (code == SQLITE_READONLY_DBMOVED)
        return StoreError::Kind::Replaced;
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return StoreError::Kind::NotADatabase;
    case SQLITE_CORRUPT:
        return StoreError::Kind::Damaged;
    case SQLITE_READONLY:
        return StoreError::Kind::ReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_SCHEMA:
        return StoreError::Kind::Busy;
    case SQLITE_IOERR:
        return StoreError::Kind::DiskError;
    default:
        return StoreError::Kind::Failed;
    }
}

// A failed statement is rolled back whole by the engine: the file keeps what it held before.
QString EngineMessage(int code) {
    QString text;
    if (code == SQLITE_READONLY_DBMOVED) {
        text = QStringLiteral("Le fichier de la base de données a été remplacé par un autre "
                              "programme depuis son ouverture : rien n'a été enregistré. Quittez "
                              "Pivanes et relancez-le pour travailler sur le fichier en place.");
    } else {
        switch (code & 0xff) {
        case SQLITE_READONLY:
            text = QStringLiteral("La base de données est en lecture seule : rien n'a été "
                                  "enregistré, les fiches déjà enregistrées sont inchangées.");
            break;
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            text = QStringLiteral("Le fichier de la base de données ne peut pas être ouvert "
                                  "(droits d'accès ou dossier en lecture seule) : il n'a pas été "
                                  "modifié.");
            break;
        case SQLITE_FULL:
            text = QStringLiteral("Le disque est plein : rien n'a été enregistré, les fiches "
                                  "déjà enregistrées sont inchangées.");
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_SCHEMA:
            text = QStringLiteral("La base de données est occupée par un autre programme : rien "
                                  "n'a été fait. Réessayez dans un instant.");
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            text = QStringLiteral("La base de données est endommagée : l'opération n'a pas été "
                                  "faite et le fichier n'a pas été modifié.");
            break;
        case SQLITE_IOERR:
            text = QStringLiteral("Le disque a signalé une erreur de lecture ou d'écriture : "
                                  "l'opération n'a pas été faite, la base garde son dernier état "
                                  "enregistré.");
            break;
        default:
            text = QStringLiteral("La base de données a refusé l'opération : rien n'a été "
                                  "enregistré, les fiches déjà enregistrées sont inchangées.");
            break;
        }
    }
    return text;
}

qint64 Connection::Changes() const {
    return sqlite3_changes64(Handle());
}

Statement::Statement(Connection& connection, const char* sql)
    : connection_(connection), stmt_(connection.Prepare(sql)) {}

Statement::~Statement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

Statement& Statement::Bind(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::Bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

bool Statement::Step() {
    // Only a first step can meet a changed structure, before any row was read or written.
    const int rc = started_ ? sqlite3_step(stmt_) : RetriedOnSchemaChange([&] {
        sqlite3_reset(stmt_);
        return sqlite3_step(stmt_);
    });
    started_ = true;
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    connection_.Fail(rc);
}

qint64 Statement::Int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

QString Statement::Text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column));
}

QByteArrayView Statement::View(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QByteArrayView(bytes, sqlite3_column_bytes(stmt_, column));
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}
