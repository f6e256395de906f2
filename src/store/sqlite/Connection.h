#pragma once

#include "store/StoreError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// One open SQLite connection with a cache of prepared statements. Rows read a page at a time keep
// a shared pointer to it, so that rows outliving the close of their collection fail cleanly.
class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    void Open(const QString& fileName, int flags);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    sqlite3* Handle() const;
    // A reset statement from the cache; valid until Close.
    sqlite3_stmt* Prepare(const char* sql);
    void Exec(const char* sql);
    // Runs sql and leaves its failure unsaid: the undoing of a write that already failed.
    void ExecQuietly(const char* sql);
    // The first column of the first row of sql, as text; empty when there is no row.
    QString FirstText(const char* sql);
    // Whether a transaction is open on this connection.
    bool InTransaction() const;
    // The rows that the last insert, update or delete of this connection changed.
    qint64 Changes() const;

    [[noreturn]] void Fail(int code) const;

    // Whether this connection has made the file ready for its first write (indexes, journal).
    bool WritesPrepared() const { return writesPrepared_; }
    void SetWritesPrepared() { writesPrepared_ = true; }
    void ForgetWritesPrepared() { writesPrepared_ = false; }

private:
    sqlite3* db_ = nullptr;
    bool writesPrepared_ = false;
    std::map<std::string, sqlite3_stmt*> statements_;
};

// The page cache for the length of a large write (an import, a copy's catch-up), in KiB; the
// connection's usual cache comes back after.
class LargerCache {
public:
    LargerCache(Connection& connection, int kib);
    LargerCache(const LargerCache&) = delete;
    LargerCache& operator=(const LargerCache&) = delete;
    ~LargerCache();

private:
    Connection& connection_;
    QByteArray usual_;
};

// For its lifetime, lets the triggers stored in the file run, as SQLite refuses them otherwise
// (trusted_schema off): only once the file is checked to hold no code but the program's own, under
// the lock that keeps every other writer out until the transaction ends.
class TrustedSchema {
public:
    explicit TrustedSchema(Connection& connection);
    TrustedSchema(const TrustedSchema&) = delete;
    TrustedSchema& operator=(const TrustedSchema&) = delete;
    ~TrustedSchema();

private:
    Connection& connection_;
};

// The error for an SQLite result code of the connection db (null when none could be made).
StoreError EngineError(sqlite3* db, int code);
// The French sentence for an SQLite result code: what happened and what was kept.
QString EngineMessage(int code);
StoreError::Kind EngineErrorKind(int code);

// Binds and steps through a cached statement; resets it when it goes out of scope.
class Statement {
public:
    Statement(Connection& connection, const char* sql);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& Bind(int index, qint64 value);
    Statement& Bind(int index, const QString& text);
    Statement& BindNull(int index);
    bool Step(); // true while a row is ready
    qint64 Int64(int column) const;
    QString Text(int column) const;
    // The UTF-8 text as stored, valid until the next step.
    QByteArrayView View(int column) const;
    bool IsNull(int column) const;

private:
    Connection& connection_;
    sqlite3_stmt* stmt_;
    bool started_ = false;
};
