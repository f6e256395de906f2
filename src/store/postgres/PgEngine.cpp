#include "store/ServerEngine.h"
#include "store/postgres/PgCollection.h"

#include <libpq-fe.h>
#include <memory>

namespace {

std::unique_ptr<Collection> Open(const QString& connection) {
    return std::make_unique<PgCollection>(connection);
}

std::optional<QString> Refusal(const QString& connection) {
    if (connection.trimmed().isEmpty())
        return QStringLiteral("La connexion au serveur est vide : donnez-la comme "
                              "« postgresql://rôle@serveur/base » ou « service=nom ».");
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(connection.toUtf8().constData(), &error), &PQconninfoFree);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).simplified() : QString();
        PQfreemem(error);
        return QStringLiteral("La connexion « %1 » ne peut pas être lue (%2) : donnez-la comme "
                              "« postgresql://rôle@serveur/base » ou « service=nom ».")
            .arg(connection, reason);
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option)
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            return QStringLiteral(
                "La connexion contient un mot de passe : Pivanes la garderait en clair dans ses "
                "réglages et d'autres la verraient dans la liste des processus. Retirez-le de la "
                "connexion et mettez-le dans ~/.pgpass (ou le fichier que nomme PGPASSFILE), "
                "dans un fichier de service (~/.pg_service.conf) ou dans la variable "
                "PGPASSWORD.");
    return std::nullopt;
}

} // namespace

extern "C" Q_DECL_EXPORT const ServerEngine* pivanes_server_engine() {
    static const ServerEngine engine{&Open, &Refusal};
    return &engine;
}
