#include "store/TitleCase.h"

#include <QChar>
#include <map>

namespace {

// SQLite reads these noncharacters as the replacement character.
constexpr char32_t kReplacement = 0xFFFD;
// Above this no character has a case.
constexpr char32_t kLastCased = 0x1FFFF;

bool KnownToIndex(char32_t c) {
    return QChar::unicodeVersion(c) <= QChar::Unicode_6_1;
}

// The character that starts at bytes[at], and where the next one starts; a byte that starts none
// becomes a code of its own among the surrogates, which no text holds.
char32_t Decoded(QByteArrayView bytes, qsizetype& at) {
    const auto lead = uchar(bytes[at++]);
    if (lead < 0x80)
        return lead;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (more == 0 || at + more > bytes.size())
        return 0xDC00 | lead;
    char32_t c = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        const auto next = uchar(bytes[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0xDC00 | lead;
        c = c << 6 | (next & 0x3F);
    }
    at += more;
    return c;
}

void AppendFolded(std::u32string& into, QByteArrayView utf8) {
    for (qsizetype at = 0; at < utf8.size();)
        into.push_back(TitleCase::Folded(Decoded(utf8, at)));
}

} // namespace

namespace TitleCase {

char32_t Folded(char32_t c) {
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    if (c == 0xFFFE || c == 0xFFFF)
        return kReplacement;
    const char32_t folded = QChar::toCaseFolded(c);
    return folded != c && KnownToIndex(c) && KnownToIndex(folded) ? folded : c;
}

std::u32string Variants(char32_t c) {
    static const auto classes = [] {
        std::map<char32_t, std::u32string> byFolded;
        for (char32_t each = 0; each <= kLastCased; ++each)
            if (Folded(each) != each)
                byFolded[Folded(each)].push_back(each);
        for (auto& [folded, members] : byFolded)
            members.insert(members.begin(), folded);
        return byFolded;
    }();
    const auto found = classes.find(Folded(c));
    return found == classes.end() ? std::u32string(1, c) : found->second;
}

std::u32string Characters(QByteArrayView utf8) {
    std::u32string characters;
    for (qsizetype at = 0; at < utf8.size();)
        characters.push_back(Decoded(utf8, at));
    return characters;
}

Matcher::Matcher(QByteArrayView keyword) {
    AppendFolded(keyword_, keyword);
}

bool Matcher::Holds(QByteArrayView title) const {
    if (title.isEmpty())
        return false;
    title_.clear();
    AppendFolded(title_, title);
    return title_.find(keyword_) != std::u32string::npos;
}

} // namespace TitleCase
