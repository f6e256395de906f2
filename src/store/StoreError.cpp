#include "store/StoreError.h"

StoreError::StoreError(Kind kind, const QString& sentence, const QString& reason)
    : UserError(sentence, reason), kind_(kind) {}

StoreError StoreError::CollectionClosed() {
    return StoreError(Kind::Closed,
                      QStringLiteral("La base de données des fiches n'est pas ouverte, ou a été "
                                     "refermée depuis : choisissez de nouveau une catégorie, ou "
                                     "« Retour » dans le menu pour la rouvrir."));
}

StoreError StoreError::EditConflict(qint64 numero, bool removed) {
    const QString text =
        removed ? QStringLiteral("La fiche N° %1 n'existe plus dans la base : un autre programme "
                                 "l'a retirée depuis son affichage. Rien n'a été enregistré : "
                                 "copiez vos changements, puis ajoutez-les comme une nouvelle "
                                 "fiche (« Ajouter Une Fiche »).")
                : QStringLiteral("La fiche N° %1 a été modifiée par un autre programme depuis son "
                                 "affichage. Rien n'a été enregistré : copiez vos changements, "
                                 "rouvrez la fiche pour voir ce qu'elle contient maintenant, puis "
                                 "refaites-les.");
    return StoreError(Kind::EditConflict, text.arg(numero));
}

StoreError StoreError::NumbersExhausted() {
    return StoreError(Kind::Failed, QStringLiteral("Le plus grand numéro de fiche possible est "
                                                   "atteint : aucune fiche ne peut plus être "
                                                   "ajoutée."));
}

StoreError StoreError::NumberGivenTwice(qint64 numero) {
    return StoreError(
        Kind::Failed,
        QStringLiteral("Deux fiches à importer portent le numéro %1 : rien n'a été importé.")
            .arg(numero));
}
