#pragma once

#include "store/Collection.h"
#include "store/Recordset.h"

#include <memory>

// The one open collection and the one current record set of the process. Every query of any
// window replaces the current record set.
class CardStore {
public:
    static CardStore& Instance();

    // The collection the program works on: the server's chosen at start (UseServer), else the
    // local collection file. A failure leaves none open.
    void OpenDatabase(const QString& fileName);
    void UseServer(const QString& connection) { server_ = connection; }
    // The connection string of the server chosen at start; empty for a local collection.
    const QString& Server() const { return server_; }
    void CloseDatabase() { collection_.reset(); }
    bool IsOpen() const { return collection_ != nullptr; }
    // The open collection; throws when there is none.
    Collection& collection() const;

    // Each replaces the current record set: all cards, one category's, or one of the program's
    // two query texts (Queries), opened as the call it stands for.
    Recordset& OpenAll();
    Recordset& OpenCategory(const QString& code);
    Recordset& OpenRecordset(const QString& sql);
    Recordset& Current();

    // Drops the record set and closes the collection, local again, as at start.
    void Reset();

private:
    Recordset& MakeCurrent(Selection selection);

    std::shared_ptr<Collection> collection_;
    std::unique_ptr<Recordset> current_;
    QString server_;
};

inline CardStore& Store() {
    return CardStore::Instance();
}
