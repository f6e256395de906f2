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
                                 "l'a retirée depuis son affichage. Rien n'a été enregistré.")
                : QStringLiteral("La fiche N° %1 a été modifiée par un autre programme depuis son "
                                 "affichage. Rien n'a été enregistré.");
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

StoreError StoreError::NotToTrash(qint64 numero, bool alreadyInTrash) {
    const QString text =
        alreadyInTrash
            ? QStringLiteral("La corbeille contient déjà une fiche N° %1, qu'un autre programme a "
                             "numérotée comme celle-ci : la fiche n'a pas été supprimée. Videz la "
                             "corbeille ou remettez l'autre fiche d'abord.")
            : QStringLiteral("La fiche N° %1 n'existe plus dans la base : un autre programme l'a "
                             "retirée depuis son affichage. Rien n'a été supprimé.");
    return StoreError(Kind::EditConflict, text.arg(numero));
}

StoreError StoreError::NotPutBack(qint64 numero, bool numberTaken) {
    const QString text =
        numberTaken
            ? QStringLiteral("Une autre fiche porte déjà le numéro %1 (un autre programme l'a "
                             "ajoutée sous ce numéro) : la fiche reste dans la corbeille.")
            : QStringLiteral("La fiche N° %1 n'est plus dans la corbeille : un autre programme "
                             "l'a remise ou a vidé la corbeille. Rien n'a été changé.");
    return StoreError(Kind::EditConflict, text.arg(numero));
}
