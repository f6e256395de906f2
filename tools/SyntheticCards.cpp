#include "SyntheticCards.h"

#include "store/CategoryCatalogue.h"

#include <QStringList>

namespace {

const char* const kVerbs[] = {"RÉGLER",   "NETTOYER",  "SAUVEGARDER", "ACCÉLÉRER",
                              "IMPRIMER", "RETROUVER", "PROTÉGER",    "PARTAGER"};
const char* const kThings[] = {"LE DISQUE DUR",         "UN FICHIER", "LE MOT DE PASSE",
                               "LA MISE EN PAGE",       "UN TABLEAU", "LES RACCOURCIS",
                               "LA BOÎTE DE RÉCEPTION", "UNE IMAGE",  "LE RÉSEAU WI-FI",
                               "UNE PRÉSENTATION"};
const char* const kEndings[] = {"", " SANS RIEN PERDRE", " EN DEUX MINUTES", " AU CLAVIER",
                                " AVEC LE MENU CONTEXTUEL"};
const char* const kSentences[] = {
    "Ouvrez le menu Fichier puis choisissez Options pour retrouver ce réglage.",
    "Un clic droit sur l'élément affiche les commandes les plus utiles.",
    "Enregistrez votre travail avant de modifier ce paramètre.",
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one sentence on two lines.
    "Le raccourci clavier fait gagner beaucoup de temps une fois pris en main, surtout quand la "
    "même opération revient plusieurs fois dans la journée.",
    "Vérifiez le résultat sur une copie avant de l'appliquer aux originaux.",
    "Redémarrez le programme pour que le changement soit pris en compte."};

template <class T, std::size_t N> const T& Pick(const T (&items)[N], quint32 seed) {
    return items[seed % N];
}

quint32 Mix(quint32 value) {
    value ^= value >> 16;
    value *= 0x7feb352dU;
    value ^= value >> 15;
    value *= 0x846ca68bU;
    value ^= value >> 16;
    return value;
}

} // namespace

Card SyntheticCard(qint32 numero) {
    const quint32 seed = Mix(quint32(numero));
    const auto categories = CategoryCatalogue::All();
    Card card;
    card.Numero = numero;
    card.Cate = QString::fromLatin1(categories[std::size_t(numero) % categories.size()].code);
    card.Titre = QString::fromUtf8(Pick(kVerbs, seed)) + QLatin1Char(' ') +
                 QString::fromUtf8(Pick(kThings, seed >> 4)) +
                 QString::fromUtf8(Pick(kEndings, seed >> 8)) + QStringLiteral(" N°%1").arg(numero);
    QStringList lines;
    const int lineCount = 2 + int((seed >> 12) % 4);
    for (int line = 0; line < lineCount; ++line)
        lines << QString::fromUtf8(Pick(kSentences, seed >> (14 + line)));
    card.Pivanes = lines.join(QStringLiteral("\r\n"));
    return card;
}
