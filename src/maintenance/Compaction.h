#pragma once

#include <QString>

// Rewrites a card database compacted, in place, through the engine's own VACUUM: under its
// locks and its rollback journal, so that a program holding the file open and a crash at any
// moment both find either the old file or the compacted one. Throws StoreError with a French
// text (StoreError, whose kind says why); the database is then untouched.
void CompactDatabaseFile(const QString& fileName);
