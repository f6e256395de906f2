#include "store/postgres/PgConnection.h"

#include <QtEndian>
#include <cstdlib>
#include <libpq-fe.h>

namespace {

// The server's own numbers for the two types the program sends.
constexpr unsigned kBigint = 20;
constexpr unsigned kText = 25;
constexpr int kBinary = 1;
constexpr qsizetype kCopyChunk = 1 << 20;
// COPY's binary form: no flags, no header extension; a field of length -1 is NULL; a row of -1
// fields ends the data.
constexpr qint32 kNoFlags = 0;
constexpr qint32 kNoExtension = 0;
constexpr qint32 kNullField = -1;
constexpr qint16 kEndOfData = -1;

QString Trimmed(const char* text) {
    return QString::fromUtf8(text).simplified();
}

// The server's notices ("already exists, skipping") are not the user's business.
void IgnoreNotice(void* /*unused*/, const char* /*message*/) {}

// Asks the server to stop the statement running on the connection, so that what is left of its
// answer is short to read.
void CancelRunning(PGconn* connection) {
    if (PGcancel* cancel = PQgetCancel(connection)) {
        char error[256];
        PQcancel(cancel, error, int(sizeof error));
        PQfreeCancel(cancel);
    }
}

void Drain(PGconn* connection) {
    while (PGresult* result = PQgetResult(connection))
        PQclear(result);
}

template <typename Number> void AppendBigEndian(QByteArray& buffer, Number value) {
    char bytes[sizeof(Number)];
    qToBigEndian(value, bytes);
    buffer.append(bytes, qsizetype(sizeof(Number)));
}

// Sends a COPY statement; the server must answer that the copy has begun in the given direction.
void StartCopy(PgConnection& connection, const char* sql, ExecStatusType started) {
    connection.EnsureConnected();
    PGresult* result = PQexec(connection.Handle(), sql);
    if (PQresultStatus(result) != started) {
        PgFailure failure = connection.FailureOf(result);
        PQclear(result);
        Drain(connection.Handle());
        throw failure;
    }
    PQclear(result);
}

} // namespace

PgFailure::PgFailure(Kind kind, QString reason, QString sqlState)
    : std::runtime_error(reason.toStdString()), kind_(kind), reason_(std::move(reason)),
      sqlState_(std::move(sqlState)) {}

void PgValues::Push(unsigned type, std::optional<QByteArray> bytes) {
    values_.push_back(std::move(bytes));
    types_.push_back(type);
    // The pointers go stale as values_ grows: all of them are taken again.
    pointers_.clear();
    lengths_.clear();
    for (const std::optional<QByteArray>& value : values_) {
        pointers_.push_back(value ? value->constData() : nullptr);
        lengths_.push_back(value ? int(value->size()) : 0);
    }
    formats_.assign(values_.size(), kBinary);
}

PgValues& PgValues::Add(qint64 number) {
    QByteArray bytes;
    AppendBigEndian(bytes, number);
    Push(kBigint, std::move(bytes));
    return *this;
}

PgValues& PgValues::Add(const QString& text) {
    Push(kText, text.toUtf8());
    return *this;
}

PgValues& PgValues::Add(const std::optional<QString>& text) {
    Push(kText, text ? std::optional<QByteArray>(text->toUtf8()) : std::nullopt);
    return *this;
}

PgValues& PgValues::AddUtf8(QByteArrayView text) {
    Push(kText, text.toByteArray());
    return *this;
}

void PgResult::Clear::operator()(pg_result* result) const {
    PQclear(result);
}

PgResult::PgResult(pg_result* result) : result_(result) {}

int PgResult::Rows() const {
    return PQntuples(result_.get());
}

bool PgResult::IsNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}

QByteArrayView PgResult::Bytes(int row, int column) const {
    return {PQgetvalue(result_.get(), row, column), PQgetlength(result_.get(), row, column)};
}

qint64 PgResult::Int64(int row, int column) const {
    return std::strtoll(PQgetvalue(result_.get(), row, column), nullptr, 10);
}

std::optional<QString> PgResult::Text(int row, int column) const {
    if (IsNull(row, column))
        return std::nullopt;
    return QString::fromUtf8(Bytes(row, column));
}

qint64 PgResult::Changed() const {
    return std::strtoll(PQcmdTuples(result_.get()), nullptr, 10);
}

PgConnection::PgConnection(const QString& connection) {
    const QByteArray given = connection.toUtf8();
    // The given string is expanded in the place of dbname: what it says overrides the defaults
    // before it, and the client encoding after it stays UTF-8 whatever it says.
    std::vector<const char*> keys;
    std::vector<const char*> values;
    if (qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT")) {
        keys.push_back("connect_timeout");
        values.push_back("10");
    }
    // A server that stops answering in the middle of a session, over TCP, is given up on after
    // about a minute instead of the system's two hours.
    keys.insert(keys.end(),
                {"keepalives_idle", "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                 "fallback_application_name", "dbname", "client_encoding", nullptr});
    values.insert(values.end(),
                  {"30", "10", "3", "60000", "pivanes", given.constData(), "UTF8", nullptr});
    connection_ = PQconnectdbParams(keys.data(), values.data(), 1);
    if (PQstatus(connection_) != CONNECTION_OK) {
        const QString reason = Trimmed(PQerrorMessage(connection_));
        PQfinish(connection_);
        connection_ = nullptr;
        throw PgFailure(PgFailure::Kind::NotConnected, reason);
    }
    PQsetNoticeProcessor(connection_, IgnoreNotice, nullptr);
    RaiseQueryMemory();
}

// The text search counts its cards through a bitmap of the pages that hold them: in the server's
// default 4 MB, a word in one card in ten of a million overflowed it, and every card of the pages
// left out was read and checked again (16 s instead of 0.7 s). A setting of the session, so that
// a connection pooler passes it; never lowered, and only speed is lost if the server refuses it.
void PgConnection::RaiseQueryMemory() {
    PQclear(PQexec(connection_,
                   "SELECT set_config('work_mem', '64MB', false) "
                   "WHERE pg_size_bytes(current_setting('work_mem')) < 64 * 1024 * 1024"));
}

PgConnection::~PgConnection() {
    PQfinish(connection_);
}

void PgConnection::Close() {
    PQfinish(connection_);
    connection_ = nullptr;
}

QString PgConnection::Role() const {
    return connection_ ? QString::fromUtf8(PQuser(connection_)) : QString();
}

bool PgConnection::Connected() const {
    return connection_ && PQstatus(connection_) == CONNECTION_OK;
}

QString PgConnection::Database() const {
    return connection_ ? QString::fromUtf8(PQdb(connection_)) : QString();
}

QString PgConnection::Host() const {
    return connection_ ? QString::fromUtf8(PQhost(connection_)) : QString();
}

void PgConnection::EnsureConnected() {
    if (!connection_)
        throw PgFailure(PgFailure::Kind::Closed, QString());
    if (inTransaction_ || PQstatus(connection_) == CONNECTION_OK)
        return;
    prepared_.clear();
    PQreset(connection_);
    if (PQstatus(connection_) != CONNECTION_OK)
        throw PgFailure(PgFailure::Kind::NotConnected, Trimmed(PQerrorMessage(connection_)));
    RaiseQueryMemory();
}

PgFailure PgConnection::FailureOf(const pg_result* result) const {
    if (PQstatus(connection_) != CONNECTION_OK)
        return {PgFailure::Kind::ConnectionLost, Trimmed(PQerrorMessage(connection_))};
    if (!result)
        return {PgFailure::Kind::Refused, Trimmed(PQerrorMessage(connection_))};
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    return {PgFailure::Kind::Refused, Trimmed(PQresultErrorMessage(result)),
            QString::fromLatin1(state ? state : "")};
}

PgResult PgConnection::Checked(pg_result* result) const {
    PgResult owned(result);
    const ExecStatusType status = PQresultStatus(result);
    if (result && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK))
        return owned;
    throw FailureOf(result);
}

PgResult PgConnection::Run(const char* sql, const PgValues& values) {
    EnsureConnected();
    auto found = prepared_.find(sql);
    if (found == prepared_.end()) {
        const std::string name = "pivanes_" + std::to_string(prepared_.size());
        Checked(PQprepare(connection_, name.c_str(), sql, values.Count(), values.Types()));
        found = prepared_.emplace(sql, name).first;
    }
    return Checked(PQexecPrepared(connection_, found->second.c_str(), values.Count(),
                                  values.Pointers(), values.Lengths(), values.Formats(), 0));
}

PgResult PgConnection::RunPlanned(const char* sql, const PgValues& values) {
    EnsureConnected();
    return Checked(PQexecParams(connection_, sql, values.Count(), values.Types(), values.Pointers(),
                                values.Lengths(), values.Formats(), 0));
}

void PgConnection::Exec(const char* sql) {
    EnsureConnected();
    Checked(PQexec(connection_, sql));
}

void PgConnection::Commit() {
    inTransaction_ = false;
    PGresult* result = PQexec(connection_, "COMMIT");
    const bool committed =
        PQresultStatus(result) == PGRES_COMMAND_OK && qstrcmp(PQcmdStatus(result), "COMMIT") == 0;
    if (committed) {
        PQclear(result);
        return;
    }
    if (PQstatus(connection_) != CONNECTION_OK) {
        PQclear(result);
        throw PgFailure(PgFailure::Kind::CommitUnknown, Trimmed(PQerrorMessage(connection_)));
    }
    // A transaction that had failed answers its COMMIT with a ROLLBACK.
    PgFailure failure = FailureOf(result);
    PQclear(result);
    throw failure;
}

void PgConnection::RollBackQuietly() {
    inTransaction_ = false;
    if (PQstatus(connection_) == CONNECTION_OK && PQtransactionStatus(connection_) != PQTRANS_IDLE)
        PQclear(PQexec(connection_, "ROLLBACK"));
}

PgRowStream::PgRowStream(PgConnection& connection, const char* sql, const PgValues& values)
    : connection_(connection) {
    connection.EnsureConnected();
    PGconn* handle = connection.Handle();
    if (!PQsendQueryParams(handle, sql, values.Count(), values.Types(), values.Pointers(),
                           values.Lengths(), values.Formats(), 0)) {
        finished_ = true;
        throw connection.FailureOf(nullptr);
    }
    PQsetSingleRowMode(handle);
}

PgRowStream::~PgRowStream() {
    if (finished_)
        return;
    row_.reset();
    PGconn* handle = connection_.Handle();
    CancelRunning(handle);
    Drain(handle);
}

bool PgRowStream::Next() {
    if (finished_)
        return false;
    row_.reset();
    PGconn* handle = connection_.Handle();
    PGresult* result = PQgetResult(handle);
    const ExecStatusType status = PQresultStatus(result);
    if (result && status == PGRES_SINGLE_TUPLE) {
        row_.emplace(result);
        return true;
    }
    finished_ = true;
    if (result && status == PGRES_TUPLES_OK) {
        PQclear(result);
        Drain(handle);
        return false;
    }
    PgFailure failure = connection_.FailureOf(result);
    PQclear(result);
    Drain(handle);
    throw failure;
}

PgCopyIn::PgCopyIn(PgConnection& connection, const char* sql) : connection_(connection) {
    StartCopy(connection, sql, PGRES_COPY_IN);
    buffer_.append("PGCOPY\n\377\r\n\0", 11);
    AppendBigEndian(buffer_, kNoFlags);
    AppendBigEndian(buffer_, kNoExtension);
}

PgCopyIn::~PgCopyIn() {
    if (finished_)
        return;
    PQputCopyEnd(connection_.Handle(), "abandon");
    Drain(connection_.Handle());
}

void PgCopyIn::BeginRow(qint16 fields) {
    if (buffer_.size() >= kCopyChunk)
        Send();
    AppendBigEndian(buffer_, fields);
}

void PgCopyIn::Field(qint64 number) {
    AppendBigEndian(buffer_, qint32(sizeof number));
    AppendBigEndian(buffer_, number);
}

void PgCopyIn::Field(const std::optional<QString>& text) {
    if (!text) {
        AppendBigEndian(buffer_, kNullField);
        return;
    }
    const QByteArray bytes = text->toUtf8();
    AppendBigEndian(buffer_, qint32(bytes.size()));
    buffer_.append(bytes);
}

void PgCopyIn::Send() {
    if (PQputCopyData(connection_.Handle(), buffer_.constData(), int(buffer_.size())) != 1) {
        finished_ = true;
        throw connection_.FailureOf(nullptr);
    }
    buffer_.clear();
}

void PgCopyIn::Finish() {
    AppendBigEndian(buffer_, kEndOfData);
    Send();
    PGconn* handle = connection_.Handle();
    finished_ = true;
    if (PQputCopyEnd(handle, nullptr) != 1)
        throw connection_.FailureOf(nullptr);
    PGresult* result = PQgetResult(handle);
    const bool copied = PQresultStatus(result) == PGRES_COMMAND_OK;
    std::optional<PgFailure> failure;
    if (!copied)
        failure = connection_.FailureOf(result);
    PQclear(result);
    Drain(handle);
    if (failure)
        throw *failure;
}

namespace {

constexpr char kCopySignature[] = "PGCOPY\n\377\r\n";
constexpr qsizetype kCopyHeaderFixed = 11 + 4 + 4; // signature, flags, length of the extension

template <typename Number> Number BigEndianAt(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<Number>(bytes.constData() + at);
}

// What is left of a copy once its reader stops: the rest of its data, then its results.
void DrainCopyOut(PGconn* connection) {
    char* data = nullptr;
    while (PQgetCopyData(connection, &data, 0) > 0)
        PQfreemem(data);
    Drain(connection);
}

} // namespace

PgCopyOut::PgCopyOut(PgConnection& connection, const char* sql) : connection_(connection) {
    StartCopy(connection, sql, PGRES_COPY_OUT);
}

PgCopyOut::~PgCopyOut() {
    if (finished_)
        return;
    PGconn* handle = connection_.Handle();
    CancelRunning(handle);
    DrainCopyOut(handle);
}

void PgCopyOut::Fail(const QString& reason) {
    finished_ = true;
    DrainCopyOut(connection_.Handle());
    throw PgFailure(PgFailure::Kind::Refused, reason);
}

bool PgCopyOut::Receive() {
    PGconn* handle = connection_.Handle();
    char* data = nullptr;
    const int length = PQgetCopyData(handle, &data, 0);
    if (length > 0) {
        // What was read is dropped before more comes: pending_ holds about one row.
        pending_.remove(0, at_);
        at_ = 0;
        pending_.append(data, length);
        PQfreemem(data);
        return true;
    }
    finished_ = true;
    PGresult* result = length == -1 ? PQgetResult(handle) : nullptr;
    const bool copied = result && PQresultStatus(result) == PGRES_COMMAND_OK;
    std::optional<PgFailure> failure;
    if (!copied)
        failure = connection_.FailureOf(result);
    PQclear(result);
    Drain(handle);
    if (failure)
        throw *failure;
    return false;
}

// One row from at_, when pending_ holds all of it.
bool PgCopyOut::ParseRow() {
    const qsizetype size = pending_.size();
    if (size - at_ < 2)
        return false;
    const qint16 count = BigEndianAt<qint16>(pending_, at_);
    if (count == kEndOfData) {
        at_ += 2;
        fields_.clear();
        return true;
    }
    std::vector<std::pair<qsizetype, qint32>> fields;
    fields.reserve(std::size_t(std::max<qint16>(count, 0)));
    qsizetype at = at_ + 2;
    for (qint16 i = 0; i < count; ++i) {
        if (size - at < 4)
            return false;
        const qint32 length = BigEndianAt<qint32>(pending_, at);
        at += 4;
        if (length > 0 && size - at < length)
            return false;
        fields.emplace_back(at, length);
        at += std::max(length, 0);
    }
    at_ = at;
    fields_ = std::move(fields);
    return true;
}

bool PgCopyOut::Next() {
    if (finished_)
        return false;
    if (!headerRead_) {
        while (pending_.size() < kCopyHeaderFixed)
            if (!Receive())
                return false;
        if (!pending_.startsWith(QByteArrayView(kCopySignature, 11)))
            Fail(QStringLiteral("la copie reçue du serveur n'est pas dans la forme attendue."));
        const qint32 extension = BigEndianAt<qint32>(pending_, 15);
        while (pending_.size() < kCopyHeaderFixed + extension)
            if (!Receive())
                return false;
        at_ = kCopyHeaderFixed + extension;
        headerRead_ = true;
    }
    while (!ParseRow())
        if (!Receive())
            return false;
    if (!fields_.empty())
        return true;
    // The end of the data: the server's answer to the copy follows.
    while (Receive()) {
    }
    return false;
}

QByteArrayView PgCopyOut::Field(int field) const {
    const auto [at, length] = fields_.at(std::size_t(field));
    return {pending_.constData() + at, std::max<qsizetype>(length, 0)};
}

qint64 PgCopyOut::Int64(int field) const {
    const QByteArrayView bytes = Field(field);
    if (bytes.size() != qsizetype(sizeof(qint64)))
        throw PgFailure(
            PgFailure::Kind::Refused,
            QStringLiteral("la copie reçue du serveur n'est pas dans la forme attendue."));
    return qFromBigEndian<qint64>(bytes.data());
}

std::optional<QString> PgCopyOut::Text(int field) const {
    if (IsNull(field))
        return std::nullopt;
    return QString::fromUtf8(Field(field));
}
