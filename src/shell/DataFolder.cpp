#include "shell/DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace DataFolder {

QString UserBase(const char* variable, const QString& underHome) {
    QString base = qEnvironmentVariable(variable);
    // The base-directory rules ignore a relative value.
    if (base.isEmpty() || QDir::isRelativePath(base))
        return QDir::homePath() + QLatin1Char('/') + underHome;
    return base;
}

QString Default() {
    return QDir::cleanPath(UserBase("XDG_DATA_HOME", QStringLiteral(".local/share")) +
                           QStringLiteral("/pivanes"));
}

Choice Choose(const QString& named) {
    if (!named.isEmpty()) {
        const QFileInfo folder(named);
        if (!folder.exists())
            return {{},
                    QStringLiteral("Le dossier « %1 » n'existe pas : Pivanes ne s'ouvre pas et ne "
                                   "crée rien.")
                        .arg(named)};
        if (!folder.isDir())
            return {{},
                    QStringLiteral("« %1 » n'est pas un dossier : Pivanes ne s'ouvre pas et ne "
                                   "crée rien.")
                        .arg(named)};
        return {folder.absoluteFilePath(), {}};
    }
    return {Default(), {}};
}

QString Make(const QString& path) {
    if (QDir().mkpath(path))
        return {};
    return QStringLiteral("Le dossier de données « %1 » n'a pas pu être créé : Pivanes ne "
                          "s'ouvre pas. Indiquez un autre dossier : pivanes DOSSIER.")
        .arg(path);
}

} // namespace DataFolder
