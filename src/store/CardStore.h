#pragma once

#include "store/Database.h"
#include "store/Recordset.h"

#include <memory>

// The one open database and the one current record set of the process. Every query of any
// window replaces the current record set.
class CardStore {
public:
    static CardStore& Instance();

    Database& database() { return database_; }
    void OpenDatabase(const QString& fileName) { database_.Open(fileName); }
    void CloseDatabase() { database_.Close(); }

    // Each replaces the current record set: see Database.
    Recordset& OpenAll();
    Recordset& OpenCategory(const QString& code);
    Recordset& OpenRecordset(const QString& sql);
    bool HasCurrent() const { return current_ != nullptr; }
    Recordset& Current();

    // Drops the record set and closes the database, as at start.
    void Reset();

private:
    Recordset& MakeCurrent(std::unique_ptr<Recordset> recordset);

    Database database_;
    std::unique_ptr<Recordset> current_;
};

inline CardStore& Store() {
    return CardStore::Instance();
}
