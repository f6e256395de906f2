#include "store/CardStore.h"

#include "store/StoreError.h"

CardStore& CardStore::Instance() {
    static CardStore store;
    return store;
}

Recordset& CardStore::OpenAll() {
    return MakeCurrent(database_.OpenAll());
}

Recordset& CardStore::OpenCategory(const QString& code) {
    return MakeCurrent(database_.OpenCategory(code));
}

Recordset& CardStore::OpenRecordset(const QString& sql) {
    return MakeCurrent(database_.OpenRecordset(sql));
}

Recordset& CardStore::MakeCurrent(std::unique_ptr<Recordset> recordset) {
    current_ = std::move(recordset);
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
    database_.Close();
}
