#include "store/ServerAddress.h"
#include "store/ServerEngine.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <dlfcn.h>
#include <variant>

namespace {

QStringList ModuleFolders() {
    const QString chosen = qEnvironmentVariable("PIVANES_MODULE_DIR");
    if (!chosen.isEmpty())
        return {chosen};
    const QDir program =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).dir();
    return {program.path(),
            QDir::cleanPath(program.filePath(QStringLiteral(PIVANES_MODULES_FROM_PROGRAM)))};
}

StoreError NotLoadable(const QString& path, const QString& reason) {
    if (reason.contains(QLatin1String("libpq")))
        return StoreError(StoreError::Kind::MissingFile,
                          QStringLiteral("Pivanes ne peut pas se connecter à un serveur : il y "
                                         "faut la bibliothèque cliente de PostgreSQL (libpq), "
                                         "qui n'est pas installée. Installez-la (sudo apt "
                                         "install libpq5) ; la collection locale reste "
                                         "utilisable sans elle."),
                          reason);
    return StoreError(StoreError::Kind::MissingFile,
                      QStringLiteral("Pivanes ne peut pas se connecter à un serveur : son module "
                                     "« %1 » ne se charge pas. Réinstallez Pivanes (sudo apt "
                                     "install --reinstall pivanes libpq5) ; la collection locale "
                                     "reste utilisable sans lui.")
                          .arg(path),
                      reason);
}

std::variant<const ServerEngine*, StoreError> Load() {
    const QStringList folders = ModuleFolders();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QLatin1String(kServerModuleFile));
        if (!QFileInfo::exists(path))
            continue;
        // Never closed: the collections it opens run its code until the program ends.
        void* module = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module)
            return NotLoadable(path, QString::fromLocal8Bit(dlerror()));
        const auto entry = reinterpret_cast<ServerEngineEntry>(dlsym(module, kServerEngineEntry));
        if (!entry)
            return NotLoadable(path, QString::fromLocal8Bit(dlerror()));
        return entry();
    }
    return StoreError(
        StoreError::Kind::MissingFile,
        QStringLiteral("Pivanes ne peut pas se connecter à un serveur : son module "
                       "%1 n'est pas dans « %2 ». Réinstallez Pivanes (sudo apt "
                       "install --reinstall pivanes libpq5) ; la collection locale "
                       "reste utilisable sans lui.")
            .arg(QLatin1String(kServerModuleFile), folders.join(QStringLiteral(" », « "))));
}

} // namespace

const ServerEngine& LoadedServerEngine() {
    static const std::variant<const ServerEngine*, StoreError> loaded = Load();
    if (const StoreError* failure = std::get_if<StoreError>(&loaded))
        throw *failure;
    return *std::get<const ServerEngine*>(loaded);
}

namespace ServerAddress {

std::optional<QString> Refusal(const QString& connection) {
    return LoadedServerEngine().refusal(connection);
}

} // namespace ServerAddress
