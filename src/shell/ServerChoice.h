#pragma once

#include <QString>
#include <optional>

// The server whose shared collection the program starts on, remembered between starts in the
// settings file; none for the data folder's own collection. Failures throw UserError with the
// system's reason; the settings file is then as it was.
namespace ServerChoice {

// $XDG_CONFIG_HOME/pivanes/pivanes.conf, or ~/.config/pivanes/pivanes.conf.
QString SettingsFile();

// The server that `pivanes --serveur` or « Collection partagée… » named last, once it answered.
std::optional<QString> Remembered();
void Remember(const QString& connection);
// What `pivanes --local` and « Revenir à la collection locale » do.
void Forget();

} // namespace ServerChoice
