#pragma once

#include "platform/TextSpan.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>
#include <vector>

class Collection;
class Selection;

// Finding cards by the words of their titles and texts, the same way whatever engine holds them.
// Titles, texts and keywords go through one folding: case and accents do not count, ligatures and
// ß are written out (œ → oe, ß → ss), and a text becomes a run of words, everything else (blanks,
// punctuation, apostrophes) only separating them.
namespace TextFolding {

// Characters written out as several letters, in either case: the folding of an engine's index
// applies these itself, before its own folding of case and accents.
struct Expansion {
    const char* from; // UTF-8
    const char* to;
};
extern const std::vector<Expansion> kExpansions;

// The folded words of a text, each preceded and followed by one blank: "L'Été 2024" gives
// " l ete 2024 ".
QString Words(QStringView text);

// Where the words of a text stand in it, with their folded form.
struct Word {
    qsizetype start = 0;
    qsizetype length = 0;
    QString folded;
};
std::vector<Word> EachWord(QStringView text);

} // namespace TextFolding

// What the user asks for: words, each matching the beginning of a word of the card, and phrases in
// double quotes, matching whole words in that order. A card matches when each of them occurs in
// its title or in its text. Nothing else in the keyword is syntax: a lone quote, *, -, :, ^,
// parentheses, AND, OR, NOT and NEAR are text like any other.
class TextQuery {
public:
    struct Term {
        QStringList words;   // folded
        bool prefix = false; // one word, matched at the beginning of a word
        bool operator==(const Term&) const = default;
    };

    static TextQuery Parse(QStringView keyword);

    // True when the keyword holds no word at all: nothing is found.
    bool IsEmpty() const { return terms_.empty(); }
    const std::vector<Term>& Terms() const { return terms_; }

    bool Matches(QStringView title, QStringView text) const;
    // The same, on titles and texts already folded (TextFolding::Words).
    bool MatchesWords(QStringView titleWords, QStringView textWords) const;
    // Every occurrence of the query's words in a text, in order and without overlap: the part of
    // a word that a beginning matches, a phrase from its first word to its last.
    QList<TextSpan> Occurrences(QStringView text) const;

private:
    std::vector<Term> terms_;
    QStringList needles_; // each term as it occurs in folded words
};

// The share of cards holding each of the commonest words, as an engine's statistics have it, and
// from it what share of the cards a query may find at most: a word outside the list is taken as
// rare, a beginning of a word as common as all the listed words it begins, together.
class WordShares {
public:
    WordShares() = default;
    WordShares(const QStringList& words, const std::vector<double>& shares);

    double MostFoundBy(const TextQuery& query) const;

private:
    double Of(const QString& word, bool prefix) const;

    std::vector<std::pair<QString, double>> shares_; // by word
};

// The numbers of the cards of the selection, numbered up to upTo, that the query finds, in
// ascending number: every card read and folded. Engines answer with it where no index of theirs
// answers for the cards.
std::vector<qint64> ScannedMatches(Collection& collection, const Selection& selection,
                                   const TextQuery& query, qint64 upTo);
