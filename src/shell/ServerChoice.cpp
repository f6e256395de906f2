#include "shell/ServerChoice.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"
#include "shell/DataFolder.h"

#include <QDir>
#include <QFile>

namespace {

const QByteArray kServerKey = "serveur=";
// Far more than any connection string: a settings file beyond it is not one of ours.
constexpr qint64 kLargestSettings = 1 << 16;

QByteArray Settings(const std::optional<QString>& connection) {
    QByteArray text = "# Réglages de Pivanes. « pivanes --serveur CONNEXION » écrit la ligne "
                      "serveur=, « pivanes --local » l'enlève.\n";
    if (connection)
        text += kServerKey + connection->toUtf8() + '\n';
    return text;
}

void Write(const std::optional<QString>& connection) {
    const QString file = ServerChoice::SettingsFile();
    if (!QDir().mkpath(QFileInfo(file).path()))
        throw UserError(QStringLiteral("Le dossier des réglages « %1 » n'a pas pu être créé.")
                            .arg(QDir::toNativeSeparators(QFileInfo(file).path())));
    WriteFileWhole(file, Settings(connection));
}

} // namespace

namespace ServerChoice {

QString SettingsFile() {
    return QDir::cleanPath(DataFolder::UserBase("XDG_CONFIG_HOME", QStringLiteral(".config")) +
                           QStringLiteral("/pivanes/pivanes.conf"));
}

std::optional<QString> Remembered() {
    const std::optional<QByteArray> text = ReadRegularFile(SettingsFile(), kLargestSettings);
    if (!text)
        return std::nullopt;
    for (const QByteArray& line : text->split('\n'))
        if (line.startsWith(kServerKey))
            return QString::fromUtf8(line.mid(kServerKey.size())).trimmed();
    return std::nullopt;
}

void Remember(const QString& connection) {
    Write(connection);
}

void Forget() {
    if (QFileInfo::exists(SettingsFile()))
        Write(std::nullopt);
}

} // namespace ServerChoice
