target_sources(pivanes_store PRIVATE
    src/store/CardRows.cpp
    src/store/CardStore.cpp
    src/store/CategoryCatalogue.cpp
    src/store/CollectionWriter.cpp
    src/store/Connection.cpp
    src/store/Database.cpp
    src/store/Donnees.cpp
    src/store/Recordset.cpp
    src/store/StoreError.cpp
    src/store/TitleIndex.cpp
)
