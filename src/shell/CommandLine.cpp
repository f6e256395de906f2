#include "shell/CommandLine.h"

#include "shell/Version.h"

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
const QCommandLineOption kHelp({QStringLiteral("h"), QStringLiteral("help")},
                               QStringLiteral("afficher cette aide et s'arrêter"));
const QCommandLineOption kVersion({QStringLiteral("v"), QStringLiteral("version")},
                                  QStringLiteral("afficher la version et s'arrêter"));

QList<QCommandLineOption> Options() {
    return {kFolder, kConvert, kHelp, kVersion};
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
        "travaille dans un dossier.\n");
    return text;
}

QString VersionText() {
    return QStringLiteral("Pivanes %1\n").arg(QLatin1String(Version::kText));
}

CommandLine Refusal(const QString& why) {
    return {CommandLine::Action::Refuse,
            {},
            {},
            why + QStringLiteral("\n« pivanes --help » donne les options.\n"),
            kUsageError};
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
        return {CommandLine::Action::Help, {}, {}, HelpText(), 0};
    if (parser.isSet(kVersion))
        return {CommandLine::Action::Version, {}, {}, VersionText(), 0};

    QStringList folders = parser.positionalArguments() + parser.values(kFolder);
    folders.removeDuplicates();
    if (parser.isSet(kConvert)) {
        if (!folders.isEmpty() || parser.values(kConvert).size() > 1)
            return Refusal(QStringLiteral("La conversion prend un seul fichier et aucun dossier : "
                                          "pivanes --convertir FICHIER.mdb."));
        return {CommandLine::Action::Convert, {}, parser.value(kConvert), {}, 0};
    }
    if (folders.size() > 1)
        return Refusal(QStringLiteral("Un seul dossier de données à la fois : « %1 ».")
                           .arg(folders.join(QStringLiteral(" », « "))));
    if (!folders.isEmpty() && folders.front().isEmpty())
        return Refusal(QStringLiteral("Le nom du dossier de données est vide."));
    return {CommandLine::Action::Run, folders.value(0), {}, {}, 0};
}
