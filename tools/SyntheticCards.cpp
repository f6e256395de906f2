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

// Common words first: the texts take them more often than those further down.
const char* const kTextWords[] = {
    "le",         "la",           "les",         "de",         "des",          "un",
    "une",        "et",           "à",           "pour",       "dans",         "sur",
    "avec",       "est",          "vous",        "votre",      "qui",          "que",
    "pas",        "plus",         "ce",          "cette",      "il",           "elle",
    "par",        "en",           "au",          "fichier",    "dossier",      "écran",
    "clavier",    "souris",       "réglage",     "paramètre",  "menu",         "fenêtre",
    "bouton",     "système",      "disque",      "copie",      "données",      "réseau",
    "connexion",  "serveur",      "accès",       "problème",   "solution",     "étape",
    "démarrage",  "arrêt",        "mise",        "jour",       "pilote",       "carte",
    "imprimer",   "ouvrir",       "fermer",      "créer",      "supprimer",    "déplacer",
    "vérifier",   "redémarrer",   "télécharger", "installer",  "désinstaller", "activer",
    "désactiver", "sélectionner", "cliquer",     "déjà",       "très",         "où",
    "là",         "après",        "avant",       "même",       "déroulant",    "élément",
    "propriétés", "préférences",  "général",     "avancé",     "sûr",          "rapidité",
    "qualité",    "façon",        "reçu",        "aperçu",     "tâche",        "fenêtres",
    "boîte",      "dialogue",     "rôle",        "contrôle",   "panneau",      "icône",
    "bureau",     "navigateur",   "onglet",      "adresse",    "courriel",     "pièce",
    "jointe",     "mot",          "passe",       "compte",     "utilisateur",  "administrateur",
    "droits",     "partage",      "imprimante",  "scanner",    "câble",        "batterie",
    "énergie",    "veille",       "luminosité",  "résolution", "police",       "caractère",
    "accent",     "clé",          "registre",    "base",       "requête",      "tableau",
    "cellule",    "formule",      "colonne",     "ligne",      "page",         "marge",
    "en-tête",    "pied",         "numéro",      "diaporama",  "transition",   "modèle",
    "thème"};
// Syllables of rarer made-up words, which give the texts a vocabulary as wide as real ones.
const char* const kSyllables[] = {"ré",  "pa",  "tion", "é",   "ma", "gé",  "ra",  "ço",
                                  "li",  "ver", "ban",  "pon", "té", "ste", "nou", "cha",
                                  "fê",  "lo",  "dé",   "bri", "vo", "lu",  "ga",  "tè",
                                  "zon", "fa",  "ni",   "gra", "û"};

quint32 Next(quint32& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

QString TextWord(quint32& state) {
    if (Next(state) % 5 == 0) {
        QString word;
        for (quint32 syllables = 2 + Next(state) % 3; syllables > 0; --syllables)
            word += QString::fromUtf8(kSyllables[Next(state) % std::size(kSyllables)]);
        return word;
    }
    // The product of two draws favours the first words of the list.
    const auto count = quint32(std::size(kTextWords));
    return QString::fromUtf8(kTextWords[(Next(state) % count) * (Next(state) % count) / count]);
}

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

Card SyntheticCardWithText(qint32 numero) {
    Card card = SyntheticCard(numero);
    quint32 state = Mix(quint32(numero) ^ 0x9e3779b9U) | 1U;
    const qsizetype length = 200 + qsizetype(Next(state) % 5801);
    QStringList markers;
    if (numero % 1000 == 0)
        markers << QString::fromUtf8(SyntheticText::kInOneCardInAThousand);
    if (numero % 10 == 1)
        markers << QString::fromUtf8(SyntheticText::kInOneCardInTen);
    if (numero % 7 == 0)
        markers << QString::fromUtf8(SyntheticText::kInOneCardInSeven);
    QString text;
    text.reserve(length + 40);
    int wordsInSentence = 0;
    int sentencesInLine = 0;
    while (text.size() < length) {
        QString word =
            markers.isEmpty() || Next(state) % 40 != 0 ? TextWord(state) : markers.takeFirst();
        if (wordsInSentence == 0) {
            word[0] = word[0].toUpper();
        } else {
            text += QLatin1Char(' ');
        }
        text += word;
        if (++wordsInSentence > 6 && Next(state) % 8 == 0) {
            text += QLatin1Char('.');
            wordsInSentence = 0;
            text += ++sentencesInLine % 4 == 0 ? QStringLiteral("\r\n") : QStringLiteral(" ");
        }
    }
    for (const QString& marker : markers)
        text += QLatin1Char(' ') + marker;
    card.Pivanes = text + QLatin1Char('.');
    return card;
}
