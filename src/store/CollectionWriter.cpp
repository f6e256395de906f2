#include "store/CollectionWriter.h"

#include "store/Connection.h"
#include "store/Database.h"

#include <sqlite3.h>

CollectionWriter::CollectionWriter(const QString& fileName)
    : connection_(std::make_unique<Connection>()) {
    Database::CreateEmpty(fileName, Database::Indexes::Later);
    connection_->Open(fileName, SQLITE_OPEN_READWRITE);
    // Room for a large collection's changes, so that they reach the file once, at the commit.
    connection_->Exec("PRAGMA cache_size = -262144");
    connection_->Exec("BEGIN");
}

CollectionWriter::~CollectionWriter() {
    if (!committed_ && connection_->IsOpen())
        sqlite3_exec(connection_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CollectionWriter::Add(const Card& card) {
    Statement insert(*connection_, "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                                   "VALUES (?1, ?2, ?3, ?4)");
    insert.Bind(1, card.Numero).Bind(2, card.Cate).Bind(3, card.Titre).Bind(4, card.Pivanes);
    insert.Step();
}

// The indexes are made from the whole table at once, in the same transaction as the cards.
void CollectionWriter::Commit() {
    Database::EnsureIndexes(*connection_);
    connection_->Exec("COMMIT");
    committed_ = true;
}
