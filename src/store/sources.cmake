target_sources(pivanes_store PRIVATE
    src/store/CardStore.cpp
    src/store/CategoryCatalogue.cpp
    src/store/Collection.cpp
    src/store/Donnees.cpp
    src/store/ListedRows.cpp
    src/store/Recordset.cpp
    src/store/StoreError.cpp
    src/store/TextSearch.cpp
    # The SQLite engine: the only sources that name SQLite.
    src/store/sqlite/Connection.cpp
    src/store/sqlite/LocalFile.cpp
    src/store/sqlite/Schema.cpp
    src/store/sqlite/SqliteCollection.cpp
    src/store/sqlite/SqliteRows.cpp
    # The PostgreSQL engine: the only sources that name libpq.
    src/store/postgres/PgCollection.cpp
    src/store/postgres/PgConnection.cpp
    src/store/postgres/PgRows.cpp
    src/store/postgres/ServerAddress.cpp
)
