#include "shell/WriteAccess.h"

#include "shell/Session.h"

#include <algorithm>

namespace {

// "Ajouter Une Fiche" and "Modif une fiche" (whose names the design crossed), the compaction,
// the trash's "Remettre" and "Vider la corbeille", the backup window's "Restoration" and the
// editor's "Supprimer".
constexpr const char* kWritingCommands[] = {"Modif", "Ajout",       "Compacte", "Remettre",
                                            "Vider", "Restoration", "Supprimer"};

} // namespace

WriteAccess WriteAccess::Of(const Session& session) {
    if (!session.CollectionIsOpen())
        return WriteAccess(std::nullopt);
    return WriteAccess(session.collection().WhyReadOnly());
}

bool WriteAccess::Writes(QStringView command) {
    return std::any_of(std::begin(kWritingCommands), std::end(kWritingCommands),
                       [command](const char* name) { return command == QLatin1String(name); });
}

QString WriteAccess::WhyOff(QStringView command) const {
    return Allows(command) ? QString() : *whyReadOnly_;
}

QString WriteAccess::Title(const QString& title) const {
    return whyReadOnly_ ? title + QStringLiteral(" (lecture seule)") : title;
}
