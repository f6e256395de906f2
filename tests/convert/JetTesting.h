#pragma once

#include "JetWriter.h"

#include <QList>
#include <QString>

// Cards that put the conversion to the test: accents, line ends, NULLs and empty texts, memo
// texts inline, on one page and over many pages (one beyond 64 KB). Characters outside the
// Windows code page go only into Jet 4 files, whose texts are Unicode.
QList<JetCard> SampleCards(int count, JetWriter::Version version);
void WriteJet(const QString& file, JetWriter::Version version, const QList<JetCard>& cards);

QList<JetCard> ByNumber(QList<JetCard> cards);

// The cards of a card database as stored, NULLs kept, in ascending number.
QList<JetCard> StoredJetCards(const QString& file);

bool operator==(const JetCard& a, const JetCard& b);
char* toString(const JetCard& card);

// The names in a folder, sorted.
QStringList FolderNames(const QString& folder);
