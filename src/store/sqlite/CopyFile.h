#pragma once

#include "store/ServerChanges.h"

#include <QDateTime>
#include <functional>
#include <memory>

class Connection;
class SqliteCollection;

// A local copy of a server collection: a collection file of the server's cards and trash, where
// the server stood when it was last read, and the queue of changes made on it away from the
// server. Every write to it is one transaction: a change and its place in the queue, a catch-up
// and its mark, a change sent and its leaving the queue.
class CopyFile {
public:
    // Opens a copy that Prepare made; anything else is refused and left as it is.
    explicit CopyFile(const QString& fileName);
    CopyFile(const CopyFile&) = delete;
    CopyFile& operator=(const CopyFile&) = delete;
    ~CopyFile();

    // Makes a collection file just written from the server into a copy of it as it stood at mark:
    // the copy's own tables, and the indexes its searches read.
    static void Prepare(const QString& fileName, const ChangeMark& mark);

    ChangeMark Held();
    // When the server was last read into it.
    QDateTime ReadAt();
    // Applies what changed on the server since the copy's mark, with the new mark, in one
    // transaction; false, writing nothing, when the server's epoch moved on (a restore).
    bool CatchUp(ServerChanges& server);

    // The first change of the queue; none when it is empty.
    std::optional<QueuedChange> FirstQueued();
    // Adds a change to the queue, within the caller's transaction.
    void Queue(const QueuedChange& change);
    // The change went to the server: it leaves the queue, and a card added away takes the number
    // the server gave it, in the copy and in the changes after it.
    void Sent(const ReturnedChange& returned);

    // The work in one transaction of the copy, whole or absent.
    void Transaction(const std::function<void()>& work);
    // Writes a card under its number, within the caller's transaction.
    void Put(qint64 numero, const CardFields& card);

    SqliteCollection& Cards() { return *cards_; }
    Connection& connection();

private:
    // A catch-up's cards, gathered for a batch, then written.
    void Gather(const ChangedCard& changed);
    void WriteGathered();

    std::unique_ptr<SqliteCollection> cards_;
};
