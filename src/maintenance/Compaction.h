#pragma once

#include <QString>
#include <functional>

// Rewrites a card database compacted, in place, through the engine's own VACUUM: under its
// locks and its rollback journal, so that a program holding the file open and a crash at any
// moment both find either the old file or the compacted one. Throws StoreError with a French
// text (StoreError, whose kind says why); the database is then untouched.
void CompactDatabaseFile(const QString& fileName);

class Session;

// What a compaction of the session's collection leaves to tell the user, in this order.
struct CompactionReport {
    QString done;    // empty when nothing was done
    QString failure; // empty when nothing failed
};
// Compacts the session's collection on its worker; `ended` hears the report on the GUI thread.
// A collection on a server gets the server's own maintenance. A local file is closed, compacted
// in place and opened again; when it cannot be compacted it is opened again as it was, and what
// kept it from being compacted, which also keeps it from opening, is said once. False, and
// nothing done, while the worker runs another task.
bool StartCompaction(Session& session, const std::function<void(const CompactionReport&)>& ended);
