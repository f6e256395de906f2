#include "store/ServerChanges.h"

namespace {

QString Line(const ReturnedChange& returned) {
    using Outcome = ReturnedChange::Outcome;
    const qint64 numero = returned.change.numero;
    switch (returned.outcome) {
    case Outcome::Numbered:
        return QStringLiteral("La fiche provisoire %1 est devenue la fiche N° %2.")
            .arg(-numero)
            .arg(returned.numero);
    case Outcome::CopiedAside:
        return QStringLiteral(
                   "La fiche N° %1 a été modifiée sur le serveur pendant votre absence : "
                   "sa version du serveur reste, et la vôtre est la fiche N° %2, "
                   "« (copie hors connexion) ».")
            .arg(numero)
            .arg(returned.numero);
    case Outcome::BackFromTrash:
        return QStringLiteral("La fiche N° %1 avait été mise à la corbeille pendant votre "
                              "absence : elle en est revenue avec votre texte.")
            .arg(numero);
    case Outcome::NewCard:
        return QStringLiteral("La fiche N° %1 n'était plus sur le serveur : votre texte est la "
                              "fiche N° %2.")
            .arg(numero)
            .arg(returned.numero);
    case Outcome::KeptEdited:
        return QStringLiteral("La fiche N° %1 a été modifiée sur le serveur pendant votre "
                              "absence : elle n'a pas été mise à la corbeille.")
            .arg(numero);
    case Outcome::Applied:
    case Outcome::Gone:
        break;
    }
    return QString();
}

} // namespace

QStringList ReturnReport::Lines() const {
    QStringList lines;
    if (restored)
        lines << QStringLiteral("La collection du serveur a été restaurée pendant votre absence : "
                                "vos changements lui ont été envoyés.");
    for (const ReturnedChange& returned : changes)
        if (const QString line = Line(returned); !line.isEmpty())
            lines << line;
    return lines;
}
