#pragma once

#include <QString>

struct Figures;

// One process saving cards in a loop while another compacts the collection or restores a
// backup over it, as a second copy of the program or a script would.
struct TwoProcessSettings {
    int rounds = 20; // half compacting, half restoring
    quint64 seed = 1;
    QString work;
    int only = -1; // replays one round
};
void RunTwoProcesses(const TwoProcessSettings& settings, Figures& figures);

// The children, in the data folder (the current directory).
// Saves card after card until its input closes: "saved K NUMERO TIME" or "refused K MESSAGE".
int RunSaver(quint64 seed);
// "begin TIME" before each command, then "compacted TIME" / "restored TIME" or "refused MESSAGE".
int RunCompactor(int count, int& argc, char** argv);
int RunRestorer(const QString& backup, int count, int& argc, char** argv);
