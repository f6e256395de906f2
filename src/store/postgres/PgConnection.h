#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

struct pg_conn;
struct pg_result;

// A failure of the server or of the way to it, as libpq told it. The collection turns it into the
// French sentence that fits what it was doing.
class PgFailure : public std::runtime_error {
public:
    enum class Kind {
        Refused,        // the server answered the statement with an error
        ConnectionLost, // no answer: the connection broke before or during the statement
        CommitUnknown,  // the connection broke while the COMMIT was on its way: saved or not
        NotConnected,   // no connection could be made
        Closed,         // the program closed the connection itself
    };
    PgFailure(Kind kind, QString reason, QString sqlState = QString());

    Kind kind() const { return kind_; }
    // libpq's own text, as it gave it.
    const QString& reason() const { return reason_; }
    // The five-character SQLSTATE of a refusal; empty otherwise.
    const QString& sqlState() const { return sqlState_; }

private:
    Kind kind_;
    QString reason_;
    QString sqlState_;
};

// Values for a statement's $1, $2…, always sent apart from its text, in binary: a text goes as
// its UTF-8 bytes, whatever they hold, and a number as eight bytes.
class PgValues {
public:
    PgValues& Add(qint64 number);
    PgValues& Add(const QString& text);
    PgValues& Add(const std::optional<QString>& text); // none is sent as NULL
    PgValues& AddUtf8(QByteArrayView text);

    int Count() const { return int(values_.size()); }
    const unsigned* Types() const { return types_.data(); }
    const char* const* Pointers() const { return pointers_.data(); }
    const int* Lengths() const { return lengths_.data(); }
    const int* Formats() const { return formats_.data(); }

private:
    void Push(unsigned type, std::optional<QByteArray> bytes);

    std::vector<std::optional<QByteArray>> values_;
    std::vector<unsigned> types_;
    std::vector<const char*> pointers_;
    std::vector<int> lengths_;
    std::vector<int> formats_;
};

// The rows of one statement, in text form.
class PgResult {
public:
    explicit PgResult(pg_result* result);

    int Rows() const;
    bool IsNull(int row, int column) const;
    QByteArrayView Bytes(int row, int column) const;
    qint64 Int64(int row, int column) const;
    // None for NULL.
    std::optional<QString> Text(int row, int column) const;
    // The rows an INSERT, UPDATE or DELETE changed.
    qint64 Changed() const;

private:
    struct Clear {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> result_;
};

// One connection to a server, made from a libpq connection string or URI, with the statements it
// has prepared. A connection found broken is made again before the next statement.
class PgConnection {
public:
    // Connects within the connect timeout (10 s unless the string or PGCONNECT_TIMEOUT says
    // otherwise); throws PgFailure::NotConnected with libpq's reason.
    explicit PgConnection(const QString& connection);
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection();

    // A statement prepared once on this connection; the server may keep one plan for all values.
    PgResult Run(const char* sql, const PgValues& values = PgValues());
    // A statement planned for these values, where the best plan depends on them.
    PgResult RunPlanned(const char* sql, const PgValues& values = PgValues());
    // A command without values (BEGIN, SET, VACUUM…).
    void Exec(const char* sql);

    // Runs work between BEGIN (or the given start) and COMMIT; rolls back when it throws. The
    // COMMIT's answer is awaited: a broken connection then is PgFailure::CommitUnknown.
    template <typename Work> auto InTransaction(const char* begin, const Work& work);
    template <typename Work> auto InTransaction(const Work& work) {
        return InTransaction("BEGIN", work);
    }

    // False once the connection is known to be broken (or closed), until it is made again.
    bool Connected() const;
    // Ends the connection: every statement after fails as PgFailure::Closed.
    void Close();
    // The role the server knows this connection by.
    QString Role() const;
    // The database and the host (or the socket's folder) the connection reached.
    QString Database() const;
    QString Host() const;
    pg_conn* Handle() const { return connection_; }
    // The failure that a statement's result (null when there was none) stands for.
    PgFailure FailureOf(const pg_result* result) const;
    // Makes the connection again when it broke since the last statement; never inside a
    // transaction, whose statements must all fail once it is gone.
    void EnsureConnected();

private:
    PgResult Checked(pg_result* result) const;
    void RaiseQueryMemory();
    void Commit();
    void RollBackQuietly();

    pg_conn* connection_ = nullptr;
    bool inTransaction_ = false;
    std::map<std::string, std::string> prepared_; // statement text -> its name on the server
};

template <typename Work> auto PgConnection::InTransaction(const char* begin, const Work& work) {
    Exec(begin);
    inTransaction_ = true;
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            Commit();
        } else {
            auto result = work();
            Commit();
            return result;
        }
    } catch (...) {
        RollBackQuietly();
        throw;
    }
}

// The rows of a query one at a time, however many and however long: memory holds one row.
// Leaving it early cancels the query.
class PgRowStream {
public:
    PgRowStream(PgConnection& connection, const char* sql, const PgValues& values = PgValues());
    PgRowStream(const PgRowStream&) = delete;
    PgRowStream& operator=(const PgRowStream&) = delete;
    ~PgRowStream();

    // Moves to the next row; false after the last.
    bool Next();
    const PgResult& Row() const { return *row_; }

private:
    PgConnection& connection_;
    std::optional<PgResult> row_;
    bool finished_ = false;
};

// Rows sent to the server in COPY's binary form: no text of theirs is ever read as SQL.
class PgCopyIn {
public:
    // sql is a "COPY table (columns) FROM STDIN (FORMAT binary)".
    PgCopyIn(PgConnection& connection, const char* sql);
    PgCopyIn(const PgCopyIn&) = delete;
    PgCopyIn& operator=(const PgCopyIn&) = delete;
    ~PgCopyIn(); // abandons a copy not finished: the server keeps none of its rows

    void BeginRow(qint16 fields);
    void Field(qint64 number);
    void Field(const std::optional<QString>& text);
    // Sends what is left and waits for the server's answer.
    void Finish();

private:
    void Send();

    PgConnection& connection_;
    QByteArray buffer_;
    bool finished_ = false;
};

// The rows of a query in COPY's binary form, one at a time, however many: no result is made for
// each row, which is most of what reading every card costs otherwise. Leaving it early cancels
// the copy.
class PgCopyOut {
public:
    // sql is a "COPY (query) TO STDOUT (FORMAT binary)".
    PgCopyOut(PgConnection& connection, const char* sql);
    PgCopyOut(const PgCopyOut&) = delete;
    PgCopyOut& operator=(const PgCopyOut&) = delete;
    ~PgCopyOut();

    // Moves to the next row; false after the last.
    bool Next();
    bool IsNull(int field) const { return fields_.at(std::size_t(field)).second < 0; }
    qint64 Int64(int field) const;
    // None for NULL.
    std::optional<QString> Text(int field) const;

private:
    QByteArrayView Field(int field) const;
    // Reads the server's next piece of the copy into pending_; false once the copy is over.
    bool Receive();
    bool ParseRow();
    void Fail(const QString& reason);

    PgConnection& connection_;
    QByteArray pending_;
    qsizetype at_ = 0;
    bool headerRead_ = false;
    bool finished_ = false;
    std::vector<std::pair<qsizetype, qint32>>
        fields_; // where each field starts in pending_, its length
};
