#pragma once

#include "store/Collection.h"

#include <QString>
#include <memory>
#include <optional>

// What the server engine's module gives the store. The module is loaded only when a server is
// named, so that a local session never maps libpq and the libraries it pulls in.
struct ServerEngine {
    std::unique_ptr<Collection> (*open)(const QString& connection);
    // ServerAddress::Refusal, as the module's libpq reads the connection.
    std::optional<QString> (*refusal)(const QString& connection);
};

// The module's one entry point, found by this name: it answers the engine, which lives as long as
// the module stays loaded, that is for the whole run.
using ServerEngineEntry = const ServerEngine* (*)();
inline constexpr char kServerEngineEntry[] = "pivanes_server_engine";
// The module's file, looked for in PIVANES_MODULE_DIR when it is set, else beside the program and
// where an install puts it.
inline constexpr char kServerModuleFile[] = "pivanes-postgres.so";

// The store's side: the engine of the module, loaded on first need and kept for the whole run.
// Throws StoreError, saying what is missing and how to install it, when the module cannot be
// loaded; the local collection goes on working without it.
const ServerEngine& LoadedServerEngine();
