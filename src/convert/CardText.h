#pragma once

#include "store/Collection.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

class FileWriter;

// What the exchange formats share: how a value is written and read back, and what a card must be
// to come in.
namespace CardText {

// The longest title the card forms take, and so the longest an import lets in.
inline constexpr int kTitleLimit = 100;

// The category's name as the main window's menu shows it; empty for a code not in the catalogue.
QString CategoryName(const std::optional<QString>& code);
// A JSON string literal (null for no value), every control character escaped.
QByteArray Json(const std::optional<QString>& value);
// The text held by bytes of UTF-8; none when they are not valid UTF-8.
std::optional<QString> FromUtf8(QByteArrayView bytes);

// A card that an import cannot take: nothing is imported, and the message says where and why.
[[noreturn]] void Refuse(const QString& where, const QString& why);

// Cards written out as they come, in ascending number.
class Writer {
public:
    Writer() = default;
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    virtual ~Writer() = default;

    virtual void Add(const StoredCard& card) = 0;
    // Writes what the format puts after the last card, and everything still held.
    virtual void Finish() = 0;
};

// A Writer into one file, a large piece at a time.
class FileCardWriter : public Writer {
public:
    explicit FileCardWriter(FileWriter& file) : file_(file) {}
    void Finish() override;

protected:
    void Put(QByteArrayView bytes);

private:
    FileWriter& file_;
    QByteArray held_;
};

// Cards read from a file or folder one at a time. A card that cannot be read is refused (Refuse)
// with its place.
class Reader {
public:
    virtual ~Reader() = default;
    // False when there are no more cards. A card that the file gives no number gets 0.
    virtual bool Next(StoredCard& card) = 0;
    // Where the last card given was read: "ligne 12 de « fiches.csv »".
    virtual QString Where() const = 0;
    // How much of the input is read, from 0 to 100.
    virtual int Percent() const = 0;
};

// Refuses a card whose category or title the program cannot hold, or, when the collection keeps
// the cards' numbers, whose number it cannot (0 when the file gives none), at the place where
// `from` read it (made only then: a million cards would otherwise make a million places).
void Check(const StoredCard& card, const Reader& from, bool numbersKept);

} // namespace CardText
