#pragma once

#include <QString>

// Rewrites a card database compacted, under its own name. The compacted copy is written to
// temporaryName, checked (whole, same number of cards), flushed to the disk and renamed over
// the database in one step: at every moment a complete database bears the name. Throws
// UserError with a French text; the database is then untouched.
void CompactDatabaseFile(const QString& fileName, const QString& temporaryName);
