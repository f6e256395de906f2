#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One row of the card table, byte for byte as stored; nothing for a NULL.
struct RawCard {
    qint64 numero = 0;
    std::optional<QByteArray> cate;
    std::optional<QByteArray> titre;
    std::optional<QByteArray> pivanes;
    bool operator==(const RawCard&) const = default;
};
using CardList = std::vector<RawCard>; // ascending number

// A generator that the same seed always starts the same way.
inline QRandomGenerator Seeded(quint64 seed) {
    const quint32 words[2] = {quint32(seed), quint32(seed >> 32)};
    return QRandomGenerator(words);
}

// The seed of one run of a campaign part, far from its neighbours'.
quint64 RunSeed(quint64 campaignSeed, int run);

// Made-up cards of the kinds a collection holds: accents and other non-ASCII letters, CR LF
// lines, now and then a text long enough to spill over several database pages. Valid UTF-8
// only, so that what the program is given is what it stores.
RawCard RandomCard(QRandomGenerator& random, qint64 numero, const QByteArray& titlePrefix);
CardList RandomCards(QRandomGenerator& random, int count, qint64 firstNumero,
                     const QByteArray& titlePrefix);

// A new card database file in the program's format. freePages leaves that many pages unused
// inside the file, as deleted data does, so that compaction has work to do.
struct DatabaseShape {
    int freePages = 0;
    bool categoryIndex = true;
};
void WriteDatabase(const QString& file, const CardList& cards, DatabaseShape shape = {});

struct Inspection {
    QString problem; // empty for a whole database
    CardList cards;
    qint64 freePages = 0;
};
// Opens the file as the next start of the program would (a journal left by a killed write is
// rolled back first), runs the full integrity check and reads every card as stored.
Inspection Inspect(const QString& file);

// Compares two lists card for card; adds what differs, in words, to differences.
struct CardComparison {
    int lost = 0;
    int changed = 0;
    int unexpected = 0;
    QStringList differences;
    bool Same() const { return lost == 0 && changed == 0 && unexpected == 0; }
};
CardComparison CompareCards(const CardList& expected, const CardList& found);

QByteArray FileBytes(const QString& file);
void PutFile(const QString& file, const QByteArray& bytes);
// Removes every file of a folder and the folder itself, FIFOs and sub-folders included.
void RemoveTree(const QString& folder);
