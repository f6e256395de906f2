#include "shell/CommandLine.h"

#include "shell/Version.h"
#include "store/ServerAddress.h"
#include "store/StoreError.h"

#include <QCommandLineParser>

namespace {

constexpr int kUsageError = 2;

const QCommandLineOption kFolder({QStringLiteral("d"), QStringLiteral("dossier")},
                                 QStringLiteral("travailler dans DOSSIER (de même : pivanes "
                                                "DOSSIER)"),
                                 QStringLiteral("DOSSIER"));
const QCommandLineOption
    kConvert(QStringLiteral("convertir"),
             QStringLiteral("convertir une ancienne collection Jet, sans écran"),
             QStringLiteral("FICHIER.mdb"));
const QCommandLineOption
    kServer(QStringLiteral("serveur"),
            QStringLiteral("travailler sur la collection partagée d'un serveur PostgreSQL"),
            QStringLiteral("CONNEXION"));
const QCommandLineOption
    kLocal(QStringLiteral("local"),
           QStringLiteral("oublier le serveur et revenir à la collection du dossier"));
const QCommandLineOption kImport(QStringLiteral("importer"),
                                 QStringLiteral("copier dans la collection les fiches d'un "
                                                "fichier, sans écran"),
                                 QStringLiteral("FICHIER"));
const QCommandLineOption kDuplicates(QStringLiteral("doublons"),
                                     QStringLiteral("avec --importer : ajouter aussi les fiches "
                                                    "identiques à une fiche déjà là"));
const QCommandLineOption kExport(QStringLiteral("exporter"),
                                 QStringLiteral("écrire la collection dans un nouveau fichier, "
                                                "sans écran"),
                                 QStringLiteral("FICHIER"));
const QCommandLineOption kSearch(QStringLiteral("chercher"),
                                 QStringLiteral("afficher les fiches dont le titre ou le texte "
                                                "contient les MOTS, sans écran"),
                                 QStringLiteral("MOTS"));
const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("afficher cette aide et s'arrêter"));
const QCommandLineOption kVersion({QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("afficher la version et s'arrêter"));

QList<QCommandLineOption> Options() {
    return {kFolder, kServer, kLocal,   kImport, kDuplicates,
            kExport, kSearch, kConvert, kHelp,   kVersion};
}

QString OptionColumn(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString column = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        column += QLatin1Char(' ') + option.valueName();
    return column;
}

QString HelpText() {
    QString text = QStringLiteral(
        "Utilisation : pivanes [OPTION]... [DOSSIER]\n\n"
        "Pivanes garde vos astuces informatiques, les fiches, dans le fichier Pivane.mdb de son\n"
        "dossier de données.\n\n"
        "Options :\n");
    for (const QCommandLineOption& option : Options())
        text +=
            QStringLiteral("  %1  %2\n").arg(OptionColumn(option), -24).arg(option.description());
    text += QStringLiteral(
        "\nSans dossier, Pivanes travaille dans $XDG_DATA_HOME/pivanes (d'ordinaire\n"
        "~/.local/share/pivanes), qu'il crée au premier lancement. Un seul Pivanes à la fois\n"
        "travaille dans un dossier.\n\n"
        "Avec --serveur, les fiches sont celles d'une base PostgreSQL que tous partagent ;\n"
        "CONNEXION est une chaîne de connexion de libpq : postgresql://equipe@serveur/pivanes\n"
        "ou service=pivanes. Pivanes la retient dans $XDG_CONFIG_HOME/pivanes/pivanes.conf\n"
        "(d'ordinaire ~/.config/pivanes/pivanes.conf) pour les lancements suivants, depuis\n"
        "le menu aussi ; --local l'oublie. Le mot de passe n'est jamais dans CONNEXION :\n"
        "mettez-le dans ~/.pgpass, dans un fichier de service ou dans PGPASSWORD.\n\n"
        "--chercher, --importer et --exporter travaillent sur le serveur de --serveur,\n"
        "sinon sur la collection du dossier de données, et ne retiennent rien. --chercher\n"
        "trouve chaque mot au début d'un mot du titre ou du texte, sans égard aux accents\n"
        "ni aux majuscules, et une suite de mots entre guillemets telle quelle.\n"
        "--importer garde les numéros des fiches dans une collection vide ; dans une\n"
        "collection qui en a, il les numérote après la dernière (le fichier peut alors\n"
        "n'en donner aucun) et laisse de côté celles qui sont identiques (catégorie, titre\n"
        "et texte) à une fiche déjà là, sauf avec --doublons. --exporter n'écrit jamais sur\n"
        "un fichier qui existe.\n"
        "Le format suit le nom de FICHIER : .mdb (une collection de Pivanes ; à importer,\n"
        "aussi une ancienne collection Jet), .csv, .json, .html (à exporter seulement) ou\n"
        "un dossier de fichiers Markdown (un nom qui finit par /). Code de sortie :\n"
        "0 quand c'est fait, 1 sinon, 2 pour une ligne de commande fausse.\n");
    return text;
}

QString VersionText() {
    return QStringLiteral("Pivanes %1\n").arg(QLatin1String(Version::kText));
}

CommandLine Answer(CommandLine::Action action, const QString& text, int exitCode = 0) {
    CommandLine line;
    line.action = action;
    line.text = text;
    line.exitCode = exitCode;
    return line;
}

CommandLine Refusal(const QString& why) {
    return Answer(CommandLine::Action::Refuse,
                  why + QStringLiteral("\n« pivanes --help » donne les options.\n"), kUsageError);
}

QString Spelled(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

CommandLine Refusal(const QCommandLineParser& parser, const QStringList& arguments) {
    if (!parser.unknownOptionNames().isEmpty())
        return Refusal(QStringLiteral("Option inconnue : %1.")
                           .arg(Spelled(parser.unknownOptionNames().front())));
    // A value can only be missing after the last argument.
    for (const QCommandLineOption& option : Options())
        for (const QString& name : option.names())
            if (!option.valueName().isEmpty() && arguments.last() == Spelled(name))
                return Refusal(QStringLiteral("L'option %1 attend une valeur : pivanes %1 %2.")
                                   .arg(Spelled(name), option.valueName()));
    return Refusal(
        QStringLiteral("La ligne de commande n'a pas pu être lue (%1).").arg(parser.errorText()));
}

} // namespace

CommandLine ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions(Options());
    parser.addPositionalArgument(QStringLiteral("DOSSIER"), QString());
    if (!parser.parse(arguments))
        return Refusal(parser, arguments);
    if (parser.isSet(kHelp))
        return Answer(CommandLine::Action::Help, HelpText());
    if (parser.isSet(kVersion))
        return Answer(CommandLine::Action::Version, VersionText());

    QStringList folders = parser.positionalArguments() + parser.values(kFolder);
    folders.removeDuplicates();
    if (parser.isSet(kConvert)) {
        if (!folders.isEmpty() || parser.values(kConvert).size() > 1 || parser.isSet(kServer) ||
            parser.isSet(kLocal) || parser.isSet(kImport) || parser.isSet(kExport) ||
            parser.isSet(kSearch))
            return Refusal(QStringLiteral("La conversion prend un seul fichier et aucun dossier : "
                                          "pivanes --convertir FICHIER.mdb."));
        CommandLine convert;
        convert.action = CommandLine::Action::Convert;
        convert.jetFile = parser.value(kConvert);
        return convert;
    }
    if (folders.size() > 1)
        return Refusal(QStringLiteral("Un seul dossier de données à la fois : « %1 ».")
                           .arg(folders.join(QStringLiteral(" », « "))));
    if (!folders.isEmpty() && folders.front().isEmpty())
        return Refusal(QStringLiteral("Le nom du dossier de données est vide."));
    CommandLine line;
    line.folder = folders.value(0);
    if (parser.isSet(kServer)) {
        if (parser.values(kServer).size() > 1)
            return Refusal(QStringLiteral("Un seul serveur à la fois : pivanes --serveur "
                                          "CONNEXION."));
        try {
            if (const std::optional<QString> refusal =
                    ServerAddress::Refusal(parser.value(kServer)))
                return Refusal(*refusal);
        } catch (const StoreError& unavailable) {
            // Not the command line's fault: this installation lacks what servers need.
            return Answer(CommandLine::Action::Refuse, unavailable.text() + QLatin1Char('\n'), 1);
        }
        line.server = parser.value(kServer);
    }
    line.local = parser.isSet(kLocal);
    const QStringList exchanges =
        parser.values(kImport) + parser.values(kExport) + parser.values(kSearch);
    if (parser.isSet(kSearch)) {
        if (exchanges.size() > 1 || line.local)
            return Refusal(QStringLiteral("Une seule recherche à la fois, sans importation, "
                                          "exportation ni --local : pivanes [--serveur "
                                          "CONNEXION] --chercher MOTS."));
        line.action = CommandLine::Action::Search;
        line.keyword = parser.value(kSearch);
    } else if (!exchanges.isEmpty()) {
        if (exchanges.size() > 1 || line.local)
            return Refusal(QStringLiteral("Une seule importation ou exportation à la fois, sans "
                                          "--local : pivanes [--serveur CONNEXION] --importer "
                                          "FICHIER."));
        if (exchanges.front().isEmpty())
            return Refusal(QStringLiteral("Le nom du fichier à importer ou exporter est vide."));
        line.action =
            parser.isSet(kImport) ? CommandLine::Action::Import : CommandLine::Action::Export;
        line.exchangeFile = exchanges.front();
    }
    line.duplicates = parser.isSet(kDuplicates);
    if (line.duplicates && line.action != CommandLine::Action::Import)
        return Refusal(QStringLiteral("--doublons ne va qu'avec --importer : pivanes --importer "
                                      "FICHIER --doublons."));
    if (line.local && !line.server.isEmpty())
        return Refusal(QStringLiteral("--serveur et --local se contredisent : choisissez l'un "
                                      "des deux."));
    return line;
}
