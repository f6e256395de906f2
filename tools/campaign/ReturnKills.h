#pragma once

#include <QString>

struct Figures;

// Kills during the return of a local copy to its server: changes made away (some over cards that
// another program changed meanwhile) are sent by a child killed at random moments and started
// again, until one run ends. Every change typed must then be on the server exactly once, and the
// copy must hold the server's cards and trash byte for byte.
struct ReturnSettings {
    int rounds = 30;
    int killsPerRound = 4;
    quint64 seed = 1;
    QString work;
    int only = -1; // replays that round alone
};
void RunReturnKills(const ReturnSettings& settings, Figures& figures);

// The child's side: sends the copy's changes to the server, saying "ready" once connected and
// "finished" at the end.
int RunReturner(const QString& connection, const QString& copyFile);
