#include "store/CardStore.h"

#include "store/Queries.h"
#include "store/StoreError.h"

CardStore& CardStore::Instance() {
    static CardStore store;
    return store;
}

void CardStore::OpenDatabase(const QString& fileName) {
    collection_.reset();
    collection_ = Collection::Open(server_.isEmpty() ? CollectionPlace::LocalFile(fileName)
                                                     : CollectionPlace::Server(server_));
}

Collection& CardStore::collection() const {
    if (!collection_)
        throw StoreError::CollectionClosed();
    return *collection_;
}

Recordset& CardStore::OpenAll() {
    return MakeCurrent(Selection::AllCards());
}

Recordset& CardStore::OpenCategory(const QString& code) {
    return MakeCurrent(Selection::Category(code));
}

Recordset& CardStore::OpenRecordset(const QString& sql) {
    if (sql == Queries::AllCards())
        return OpenAll();
    if (const std::optional<QString> code = Queries::CategoryCode(sql))
        return OpenCategory(*code);
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("Requête non reconnue : %1").arg(sql));
}

Recordset& CardStore::MakeCurrent(Selection selection) {
    collection();
    current_ = std::make_unique<Recordset>(collection_, std::move(selection));
    return *current_;
}

Recordset& CardStore::Current() {
    if (!current_)
        throw StoreError(StoreError::Kind::NoRecordset,
                         QStringLiteral("Aucune sélection de fiches n'est ouverte : "
                                        "choisissez d'abord une catégorie."));
    return *current_;
}

void CardStore::Reset() {
    current_.reset();
    collection_.reset();
    server_.clear();
}
