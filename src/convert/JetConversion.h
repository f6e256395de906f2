#pragma once

#include <QString>
#include <functional>

// Brings a collection of the old program (a Jet file) over to the program's own format under the
// same name. The new file is written beside, checked card for card against the Jet file, flushed,
// and only then put in place; the Jet file itself is never written to and stays beside under a
// name that says what it is. A failure, or a kill at any moment, leaves the Jet file under its
// name. Failures throw StoreError with a French sentence.
namespace JetConversion {

struct Outcome {
    qint64 cards = 0;
    QString keptAs; // the name the Jet file now also bears
};

// done counts the cards written, then the cards checked: it reaches 2 × cards.
using Progress = std::function<void(qint64 done, qint64 total)>;

// The number of cards of a Jet collection; refuses what it cannot convert.
qint64 CountCards(const QString& jetFile);
// In a process of its own, ended when it outlives a time that grows with the file's size.
Outcome Convert(const QString& jetFile, const Progress& progress = {});
// The conversion itself, in the calling process: what Convert's child runs.
Outcome ConvertInThisProcess(const QString& jetFile, const Progress& progress = {});
// Writes the cards of a Jet file into target, a new collection file of the program's own format,
// checked card by card against the Jet file; the Jet file is only read. Answers the number of
// cards.
qint64 CopyInto(const QString& jetFile, const QString& target);

// "Pivane-jet.mdb", or "Pivane-jet-2.mdb" and so on when that name is taken.
QString KeptName(const QString& jetFile);

} // namespace JetConversion
