#include "Figures.h"

#include <QRegularExpression>
#include <cstdio>

void Figures::Find(const QString& part, const QString& what, const QString& replay) {
    QString line = part + QStringLiteral(": ") + what;
    if (!replay.isEmpty())
        line += QStringLiteral(" (replay: ") + replay + QLatin1Char(')');
    findings << line;
    std::fprintf(stderr, "FINDING %s\n", qPrintable(line));
}

bool SaysItInFrench(const QString& message) {
    // The engine's own text comes in brackets or after a colon at the end; what stands before
    // must be a French sentence.
    static const QRegularExpression french(
        QStringLiteral("\\b(le|la|les|du|des|est|été|une?|pas|ne|n'|fichier|base|fiches?|"
                       "dossier|disque|sauvegarde|erreur)\\b"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression english(
        QStringLiteral("^\\W*(the|a|an|no|not|unable|cannot|error|database|disk|file|unique|"
                       "constraint|malformed)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    QString text = message;
    const qsizetype titleEnd = text.indexOf(QStringLiteral(" | "));
    if (titleEnd >= 0 && text.mid(titleEnd + 3).trimmed().size() > 0)
        text = text.mid(titleEnd + 3); // the body says what happened; the title may be a word
    const QString opening = text.left(text.indexOf(QLatin1Char('('))).left(200);
    return !english.match(opening).hasMatch() && french.match(opening).hasMatch();
}
