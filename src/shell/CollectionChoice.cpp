#include "shell/CollectionChoice.h"

#include "shell/Session.h"
#include "store/ServerAddress.h"
#include "store/StoreError.h"

namespace CollectionChoice {

QString WindowTitle(const Session& session) {
    if (!session.OnServer())
        return QStringLiteral("Pivanes — collection locale");
    const QString name = session.CollectionIsOpen()
                             ? session.collection().ServerName()
                             : QStringLiteral("« %1 »").arg(session.server());
    return QStringLiteral("Pivanes — équipe sur serveur %1").arg(name);
}

const std::vector<StartButton>& StartButtons() {
    static const std::vector<StartButton> buttons{
        {StartChoice::Retry, QStringLiteral("Réessayer"), "Reessayer"},
        {StartChoice::Local, QStringLiteral("Collection locale"), "CollectionLocale"},
        {StartChoice::Quit, QStringLiteral("Quitter"), "Quitter"},
    };
    return buttons;
}

QString UnreachableText(const StoreError& failure) {
    return failure.text() +
           QStringLiteral("\n\n« Réessayer » se connecte de nouveau. « Collection locale » ouvre "
                          "la collection du dossier de données pour cette fois : le serveur reste "
                          "retenu pour le prochain lancement (« Collection partagée… » dans le "
                          "menu le change ou l'oublie). « Quitter » ferme Pivanes.");
}

Reached ReachServer(const QString& server,
                    const std::function<StartChoice(const StoreError&)>& ask) {
    for (;;) {
        try {
            Collection::Open(CollectionPlace::Server(server));
            return {server};
        } catch (const StoreError& failure) {
            switch (ask(failure)) {
            case StartChoice::Retry:
                break;
            case StartChoice::Local:
                return {};
            case StartChoice::Quit:
                return {std::nullopt, true};
            }
        }
    }
}

Probe ProbeServer(const QString& connection) {
    try {
        if (const std::optional<QString> refusal = ServerAddress::Refusal(connection))
            return {false, *refusal};
        const std::unique_ptr<Collection> collection =
            Collection::Open(CollectionPlace::Server(connection));
        const qint64 cards = collection->Count(Selection::AllCards()).cards;
        return {true, QStringLiteral("Le serveur répond : la collection %1 compte %2.")
                          .arg(collection->ServerName(), (cards > 1 ? QStringLiteral("%1 fiches")
                                                                    : QStringLiteral("%1 fiche"))
                                                             .arg(cards))};
    } catch (const StoreError& failure) {
        return {false, failure.text()};
    }
}

} // namespace CollectionChoice
