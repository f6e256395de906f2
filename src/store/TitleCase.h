#pragma once

#include <QByteArrayView>
#include <string>

// Case in the title search, the same in every engine: Unicode's simple case folding, one
// character for one, of the characters that Unicode 6.1 knew. That is what the title index of a
// collection file (SQLite's trigram tokenizer, whose tables are those of Unicode 6.1) applies, so
// that the index finds exactly what reading every title finds. "É" is "é", "Œ" is "œ", "ẞ" is "ß",
// Greek and Cyrillic capitals their small letters, "Σ" and final "ς" are "σ"; "ß" is not "ss",
// "İ" is not "i" nor "ı" "I"; a letter given a case after Unicode 6.1 (Georgian Mtavruli, small
// Cherokee) keeps it. Accents are not case: "é" is not "e".
namespace TitleCase {

// Characters are UTF-8; a byte that begins no character stands for itself only.
char32_t Folded(char32_t c);
// Every character that folds as c does, c among them.
std::u32string Variants(char32_t c);
// Each character of a UTF-8 text, in turn.
std::u32string Characters(QByteArrayView utf8);

// Whether titles hold a keyword, whatever their case: the keyword is folded once.
class Matcher {
public:
    explicit Matcher(QByteArrayView keyword);
    // An empty keyword is found in every title that is not empty.
    bool Holds(QByteArrayView title) const;

private:
    std::u32string keyword_;
    mutable std::u32string title_; // kept from one title to the next
};

} // namespace TitleCase
