#pragma once

#include "platform/Worker.h"
#include "store/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>
#include <optional>

// What the windows share while the program runs: the shell owns it and hands it to the first
// window, and each window to the windows it opens.
class Session {
public:
    // The collection file, in the data folder.
    QString databaseFile = QStringLiteral("Pivane.mdb");
    // The cards last counted: their selection, how many, and the number of the last of them then
    // when it is known. A grid pages over exactly these.
    Selection countedSelection = Selection::AllCards();
    qint32 cardCount = 0;
    std::optional<qint64> countedLast;

    // Counts the selection's cards, which become the cards last counted. A count that fails
    // leaves none counted.
    qint32 CountCards(const Selection& selection);
    // The collection the cards were last counted in; throws once it was closed, even when it has
    // been opened again since: a count from before does not stand for what is there now. Both
    // it and collection() throw while the worker runs a task.
    Collection& countedCollection() const;

    // The server chosen at start or from the main window; a session without one works on the
    // local collection file.
    void UseServer(const QString& connection) { server_ = connection; }
    void UseLocal() { server_.clear(); }
    // The connection string of that server; empty for a local collection.
    const QString& server() const { return server_; }
    bool OnServer() const { return !server_.isEmpty(); }

    // Opens the collection the program works on, in place of any open one. A failure throws and
    // leaves none open.
    void OpenCollection();
    void CloseCollection() { collection_.reset(); }
    bool CollectionIsOpen() const { return collection_ != nullptr; }
    // Whether another program restored a backup into the open collection since this one last
    // looked (Collection::RestoredElsewhere).
    bool CollectionRestoredElsewhere() const {
        return collection_ && !worker_->Busy() && collection_->RestoredElsewhere();
    }
    // The open collection; throws when there is none, and while the worker runs a task: the
    // task may be using it, and one connection serves one thread at a time.
    Collection& collection() const;

    // Runs the long work of every window, one task at a time.
    Worker& worker() const { return *worker_; }
    // What a cursor holds on to: it fails cleanly once the collection is closed.
    std::weak_ptr<Collection> sharedCollection() const { return collection_; }

private:
    void RefuseWhileBusy() const;

    std::shared_ptr<Collection> collection_;
    std::weak_ptr<Collection> countedIn_;
    QString server_;
    // Last, so that a task still running ends before the collection closes.
    std::unique_ptr<Worker> worker_ = std::make_unique<Worker>();
};
