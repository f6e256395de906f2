target_sources(pivanes_store PRIVATE
    src/store/CardCursor.cpp
    src/store/CategoryCatalogue.cpp
    src/store/Collection.cpp
    src/store/ListedRows.cpp
    src/store/ServerChanges.cpp
    src/store/ServerCopy.cpp
    src/store/ServerModule.cpp
    src/store/StoreError.cpp
    src/store/TextSearch.cpp
    src/store/TitleCase.cpp
    # The SQLite engine: the only sources that name SQLite.
    src/store/sqlite/Connection.cpp
    src/store/sqlite/CopyFile.cpp
    src/store/sqlite/LocalFile.cpp
    src/store/sqlite/OfflineCollection.cpp
    src/store/sqlite/SqliteCollection.cpp
    src/store/sqlite/Schema.cpp
    src/store/sqlite/SqliteRows.cpp
)

# The PostgreSQL engine, the only sources that name libpq: a module of its own, loaded only when a
# server is named, so that a local session maps neither libpq nor the libraries it pulls in. It
# uses the store and platform_core of the program that loads it, which exports them; its objects
# are also linked alone with those layers (pivanes_postgres_alone) to check that it needs nothing
# else.
add_library(pivanes_postgres_engine OBJECT
    src/store/postgres/PgCollection.cpp
    src/store/postgres/PgConnection.cpp
    src/store/postgres/PgEngine.cpp
    src/store/postgres/PgRows.cpp
)
set_target_properties(pivanes_postgres_engine PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
target_include_directories(pivanes_postgres_engine PRIVATE
    $<TARGET_PROPERTY:pivanes_store,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:pivanes_platform_core,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(pivanes_postgres_engine PUBLIC Qt6::Core PkgConfig::LIBPQ)

add_library(pivanes_postgres MODULE)
# Installed in a folder of the program's own, which the program finds from its own folder.
include(GNUInstallDirs)
set(PIVANES_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/pivanes)
file(RELATIVE_PATH PIVANES_MODULES_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/pivanes)
set_property(SOURCE src/store/ServerModule.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             PIVANES_MODULES_FROM_PROGRAM="${PIVANES_MODULES_FROM_PROGRAM}")
target_link_libraries(pivanes_postgres PRIVATE pivanes_postgres_engine)
# Beside the program in the build folder, where the program finds it as once installed.
set_target_properties(pivanes_postgres PROPERTIES PREFIX "" OUTPUT_NAME pivanes-postgres
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Whatever links the store may open a server: it is built with the store, and the program that
# links the store hands the module its symbols.
add_dependencies(pivanes_store pivanes_postgres)
target_link_options(pivanes_store INTERFACE LINKER:--export-dynamic)
target_link_libraries(pivanes_store PRIVATE ${CMAKE_DL_LIBS})
