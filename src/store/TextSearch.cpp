#include "store/TextSearch.h"

#include "store/Collection.h"

#include <algorithm>
#include <array>
#include <map>

namespace TextFolding {

// Ǡ and ǡ: the accents of these two alone are left by the index's own folding.
const std::vector<Expansion> kExpansions = {
    {"ß", "ss"}, {"ẞ", "ss"}, {"œ", "oe"}, {"Œ", "oe"},  {"æ", "ae"},  {"Æ", "ae"},
    {"ﬀ", "ff"}, {"ﬁ", "fi"}, {"ﬂ", "fl"}, {"ﬃ", "ffi"}, {"ﬄ", "ffl"}, {"ﬅ", "st"},
    {"ﬆ", "st"}, {"ı", "i"},  {"İ", "i"},  {"Ǡ", "a"},   {"ǡ", "a"},
};

} // namespace TextFolding

namespace {

enum class Kind { Letter, Mark, Separator };

// The Latin letters with diacritics, folded to their base letter, and the marks that make them:
// those marks, written apart after a letter, are dropped too.
struct LatinTable {
    static constexpr char32_t kBlocks[][2] = {{0x80, 0x250}, {0x1E00, 0x1F00}};
    static constexpr char32_t kMarksFirst = 0x300, kMarksEnd = 0x370;

    std::array<char16_t, 0x250 - 0x80 + 0x100> folded{};
    std::array<bool, kMarksEnd - kMarksFirst> droppedMark{};

    LatinTable() {
        std::size_t slot = 0;
        for (const auto& [first, end] : kBlocks)
            for (char32_t c = first; c < end; ++c, ++slot) {
                const char32_t lower = QChar::toCaseFolded(c);
                const QString parts =
                    QString(QChar(lower)).normalized(QString::NormalizationForm_D);
                const bool accented = parts.size() > 1 && parts[0].unicode() < 0x80 &&
                                      std::all_of(parts.begin() + 1, parts.end(), [](QChar part) {
                                          return part.category() == QChar::Mark_NonSpacing;
                                      });
                folded[slot] = accented ? parts[0].unicode() : char16_t(lower);
                for (qsizetype i = 1; accented && i < parts.size(); ++i)
                    droppedMark[parts[i].unicode() - kMarksFirst] = true;
            }
    }

    // The slot of c, or -1 outside the two blocks.
    static int Slot(char32_t c) {
        if (c >= kBlocks[0][0] && c < kBlocks[0][1])
            return int(c - kBlocks[0][0]);
        if (c >= kBlocks[1][0] && c < kBlocks[1][1])
            return int(c - kBlocks[1][0] + (kBlocks[0][1] - kBlocks[0][0]));
        return -1;
    }
};

const LatinTable& Latin() {
    static const LatinTable table;
    return table;
}

const std::map<char32_t, QString>& Expansions() {
    static const std::map<char32_t, QString> expansions = [] {
        std::map<char32_t, QString> map;
        for (const auto& [from, to] : TextFolding::kExpansions)
            map[QString::fromUtf8(from).toUcs4().front()] = QString::fromLatin1(to);
        return map;
    }();
    return expansions;
}

// Characters that Unicode 6.1 did not have yet stay inside words as they are: indexes built on
// tables of that time do the same, and a plain reading of the cards must agree with them.
bool IsNewerThanIndexes(char32_t c) {
    const QChar::UnicodeVersion version = QChar::unicodeVersion(c);
    return version == QChar::Unicode_Unassigned || version > QChar::Unicode_6_1 ||
           QChar::isNonCharacter(c);
}

Kind KindOf(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                   ? Kind::Letter
                   : Kind::Separator;
    // A lone surrogate, U+FFFE and U+FFFF reach an index as U+FFFD, a symbol.
    if (QChar::isSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
        return Kind::Separator;
    if (c >= LatinTable::kMarksFirst && c < LatinTable::kMarksEnd &&
        Latin().droppedMark[c - LatinTable::kMarksFirst])
        return Kind::Mark;
    if (IsNewerThanIndexes(c))
        return Kind::Letter;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
    case QChar::Other_PrivateUse:
        return Kind::Letter;
    default:
        return Kind::Separator;
    }
}

void Append(char32_t c, QString& out) {
    if (QChar::requiresSurrogates(c)) {
        out.append(QChar(QChar::highSurrogate(c)));
        out.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.append(QChar(char16_t(c)));
    }
}

void AppendFolded(char32_t c, QString& out) {
    if (c < 0x80) {
        out.append(QChar(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
        return;
    }
    if (const auto expansion = Expansions().find(c); expansion != Expansions().end()) {
        out.append(expansion->second);
        return;
    }
    if (IsNewerThanIndexes(c)) {
        Append(c, out);
        return;
    }
    // The case folded first: the sign Å is the letter Å.
    const char32_t folded = QChar::toCaseFolded(c);
    if (const int slot = LatinTable::Slot(folded); slot >= 0) {
        out.append(QChar(Latin().folded[std::size_t(slot)]));
        return;
    }
    Append(folded, out);
}

// Walks the words of text, folding each into out; take(start, end, foldedStart) hears of each
// word once its last character is folded.
template <typename Take> void Walk(QStringView text, QString& out, const Take& take) {
    qsizetype start = -1;
    qsizetype foldedStart = 0;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            width = 2;
        }
        const Kind kind = KindOf(c);
        if (kind == Kind::Letter) {
            if (start < 0) {
                start = i;
                foldedStart = out.size();
            }
            AppendFolded(c, out);
        } else if (kind == Kind::Separator && start >= 0) {
            take(start, i, foldedStart);
            start = -1;
        }
        i += width;
    }
    if (start >= 0)
        take(start, text.size(), foldedStart);
}

// How many characters of a word its first foldedLength folded characters come from, with the
// marks that follow them.
qsizetype OriginalLength(QStringView word, qsizetype foldedLength) {
    QString folded;
    qsizetype length = 0;
    while (length < word.size() && folded.size() < foldedLength) {
        folded.clear();
        ++length;
        Walk(word.first(length), folded, [](qsizetype, qsizetype, qsizetype) {});
    }
    while (length < word.size() && KindOf(word[length].unicode()) == Kind::Mark)
        ++length;
    return length;
}

} // namespace

namespace TextFolding {

QString Words(QStringView text) {
    QString words;
    words.reserve(text.size() + 2);
    words.append(QLatin1Char(' '));
    Walk(text, words,
         [&words](qsizetype, qsizetype, qsizetype) { words.append(QLatin1Char(' ')); });
    return words;
}

std::vector<Word> EachWord(QStringView text) {
    std::vector<Word> words;
    QString folded;
    Walk(text, folded, [&](qsizetype start, qsizetype end, qsizetype foldedStart) {
        words.push_back({start, end - start, folded.sliced(foldedStart)});
    });
    return words;
}

} // namespace TextFolding

TextQuery TextQuery::Parse(QStringView keyword) {
    TextQuery query;
    const QList<QStringView> parts = keyword.split(QLatin1Char('"'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // An even number of parts means an odd number of quotes: the last one quotes nothing.
        const bool quoted = i % 2 == 1 && !(i == parts.size() - 1 && parts.size() % 2 == 0);
        QStringList words;
        for (TextFolding::Word& word : TextFolding::EachWord(parts[i]))
            words << std::move(word.folded);
        if (quoted && !words.isEmpty()) {
            query.needles_ << QLatin1Char(' ') + words.join(QLatin1Char(' ')) + QLatin1Char(' ');
            query.terms_.push_back({words, false});
        }
        for (const QString& word : quoted ? QStringList() : words) {
            query.needles_ << QLatin1Char(' ') + word;
            query.terms_.push_back({{word}, true});
        }
    }
    return query;
}

bool TextQuery::MatchesWords(QStringView titleWords, QStringView textWords) const {
    return !needles_.isEmpty() &&
           std::all_of(needles_.begin(), needles_.end(), [&](const QString& needle) {
               return titleWords.contains(needle) || textWords.contains(needle);
           });
}

bool TextQuery::Matches(QStringView title, QStringView text) const {
    return MatchesWords(TextFolding::Words(title), TextFolding::Words(text));
}

QList<TextSpan> TextQuery::Occurrences(QStringView text) const {
    const std::vector<TextFolding::Word> words = TextFolding::EachWord(text);
    QList<TextSpan> spans;
    for (std::size_t i = 0; i < words.size();) {
        TextSpan longest;
        std::size_t wordsTaken = 1;
        for (const Term& term : terms_) {
            const auto count = std::size_t(term.words.size());
            if (i + count > words.size())
                continue;
            TextSpan span{words[i].start, 0};
            if (term.prefix && words[i].folded.startsWith(term.words.front())) {
                span.length = OriginalLength(text.sliced(words[i].start, words[i].length),
                                             term.words.front().size());
            } else if (!term.prefix &&
                       std::equal(term.words.begin(), term.words.end(),
                                  words.begin() + qsizetype(i),
                                  [](const QString& asked, const TextFolding::Word& word) {
                                      return asked == word.folded;
                                  })) {
                const TextFolding::Word& last = words[i + count - 1];
                span.length = last.start + last.length - span.start;
            }
            if (span.length > longest.length) {
                longest = span;
                wordsTaken = term.prefix ? 1 : count;
            }
        }
        if (longest.length > 0)
            spans << longest;
        i += wordsTaken;
    }
    return spans;
}

WordShares::WordShares(const QStringList& words, const std::vector<double>& shares) {
    const qsizetype listed = std::min(words.size(), qsizetype(shares.size()));
    shares_.reserve(size_t(listed));
    for (qsizetype i = 0; i < listed; ++i)
        shares_.emplace_back(words[i], shares[size_t(i)]);
    std::sort(shares_.begin(), shares_.end());
}

double WordShares::Of(const QString& word, bool prefix) const {
    auto at =
        std::lower_bound(shares_.begin(), shares_.end(), word,
                         [](const auto& listed, const QString& w) { return listed.first < w; });
    double share = 0;
    for (; at != shares_.end() && at->first.startsWith(word); ++at) {
        if (!prefix && at->first != word)
            break;
        share += at->second;
    }
    return std::min(share, 1.0);
}

double WordShares::MostFoundBy(const TextQuery& query) const {
    double most = query.IsEmpty() ? 0 : 1;
    for (const TextQuery::Term& term : query.Terms())
        for (const QString& word : term.words)
            most = std::min(most, Of(word, term.prefix));
    return most;
}

std::vector<qint64> ScannedMatches(Collection& collection, const Selection& selection,
                                   const TextQuery& query, qint64 upTo) {
    std::vector<qint64> numbers;
    if (query.IsEmpty())
        return numbers;
    collection.EachCard([&](const StoredCard& card) {
        if (card.numero <= upTo && (selection.IsAllCards() || card.cate == selection.Code()) &&
            query.Matches(card.titre.value_or(QString()), card.pivanes.value_or(QString())))
            numbers.push_back(card.numero);
    });
    return numbers;
}
