#pragma once

#include "store/Collection.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// Where a server collection stands for a local copy of it: its epoch, which a restore (or a
// TRUNCATE) moves on, and the last change number of that epoch. A copy holding an older epoch
// reads everything again.
struct ChangeMark {
    qint64 epoch = 0;
    qint64 last = 0;
    bool operator==(const ChangeMark&) const = default;
};

// A card number that changed after a mark, as it now stands: among the cards, in the trash, in
// both (another program may put it in both), or in neither (it left for good).
struct ChangedCard {
    qint64 numero = 0;
    std::optional<StoredCard> card;
    std::optional<TrashedCard> trashed;
};

// A change made on a copy while away from the server, waiting to be sent: its own identifier,
// which the server records so that a change sent twice is applied once.
struct QueuedChange {
    enum class Kind { Add, Edit, Trash, PutBack };
    QString id;
    Kind kind = Kind::Add;
    qint64 numero = 0; // provisional (below zero) for a card added away
    CardFields before; // the card as the copy held it before an edit or a trash
    CardFields after;  // the card as an add, an edit or a put back leaves it
};

// What the server made of a change, by the rules of the return.
struct ReturnedChange {
    enum class Outcome {
        Applied,       // written as it was made
        Numbered,      // a card added away, under the server's next number
        CopiedAside,   // the card changed meanwhile: the server's version stays, the change is a
                       // new card titled « … (copie hors connexion) »
        BackFromTrash, // the card was trashed meanwhile: back with the change
        NewCard,       // the card left for good meanwhile: the change is a new card
        KeptEdited,    // a trash of a card edited meanwhile: the edit wins, the card stays
        Gone,          // nothing left to do: the card already went or came back
    };
    QueuedChange change;
    Outcome outcome = Outcome::Applied;
    qint64 numero = 0; // the card's number on the server: the new card's, for those that add one
};

// The report of a return, for the user: what did not go as made.
struct ReturnReport {
    std::vector<ReturnedChange> changes;
    bool restored = false; // the server's collection was restored while the changes waited
    // One French sentence per change that needs saying, in the order sent.
    QStringList Lines() const;
};

// What a server collection gives its local copies, beside the Collection it is. Defined whole
// here: the server engine's module, which implements it, takes from the program only what the
// program itself uses.
class ServerChanges {
public:
    virtual ~ServerChanges() = default;

    // Where the collection stands now.
    virtual ChangeMark Mark() = 0;
    // In one moment of the server: where it stands, and, when the epoch is still held's, each
    // card number changed after held.last, in ascending number.
    virtual ChangeMark ChangesAfter(const ChangeMark& held,
                                    const std::function<void(const ChangedCard&)>& take) = 0;
    // Applies the change by the rules of the return, in one transaction that records its
    // identifier; a change already applied answers what it gave then, writing nothing.
    virtual ReturnedChange Apply(const QueuedChange& change) = 0;
};
