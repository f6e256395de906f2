#pragma once

#include "Collections.h"

#include <QString>
#include <vector>

struct Figures;

// Kills at random moments of one of the program's writing commands, each run from a state of
// its own whose old and new contents differ.
enum class Operation { Add, Edit, Compact, Backup, Restore, PageState };
inline constexpr Operation kOperations[] = {Operation::Add,     Operation::Edit,
                                            Operation::Compact, Operation::Backup,
                                            Operation::Restore, Operation::PageState};
QString NameOf(Operation operation);
std::optional<Operation> OperationNamed(const QString& name);

// Everything a run starts from and writes, drawn from its seed: parent and child draw the same.
struct RunPlan {
    Operation operation;
    quint64 seed;
    CardList live;   // Pivane.mdb of the data folder
    CardList backup; // PIVANE.MDB of the backup folder, for a backup or a restore
    int freePages = 0;
    std::vector<RawCard> writes;             // cards added (with their coming numbers) or edited
    std::vector<std::pair<int, int>> states; // page states: the old one, then those written
};
RunPlan PlanRun(Operation operation, quint64 seed);

// The folders of a run under root: root/data (the data folder), root/backup.
struct RunFolders {
    QString data;
    QString backup;
    explicit RunFolders(const QString& root);
};
// Writes the state the plan starts from, after removing whatever an earlier run left.
void PrepareRun(const RunPlan& plan, const RunFolders& folders);

// The child side: runs the plan's operation in the data folder (the current directory),
// saying "ready" before it starts, "done N" after each write and "finished MICROSECONDS" at
// the end, then waits to be killed.
int RunPlannedOperation(const RunPlan& plan, const RunFolders& folders);

struct KillSettings {
    int kills = 1050;
    quint64 seed = 1;
    QString work;
    // Replays one run: its operation, seed and delay.
    std::optional<Operation> replayOperation;
    quint64 replaySeed = 0;
    qint64 replayDelayMicros = -1;
};
void RunKills(const KillSettings& settings, Figures& figures);
