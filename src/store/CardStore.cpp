#include "store/CardStore.h"

#include "store/StoreError.h"

CardStore& CardStore::Instance() {
    static CardStore store;
    return store;
}

Recordset& CardStore::OpenRecordset(const QString& sql) {
    current_ = database_.OpenRecordset(sql);
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
