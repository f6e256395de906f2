#pragma once

#include <QString>
#include <QStringList>
#include <map>

// What the campaign counted, and each fault it met with what is needed to replay it.
struct Figures {
    // Kills
    int kills = 0;
    int killsDuringOperation = 0;
    std::map<QString, int> killsByOperation;
    qint64 cardsChecked = 0;
    qint64 smallFilesChecked = 0;
    // Bad files
    int filesOpened = 0;
    int filesRefused = 0;
    int filesChangedByOpening = 0;
    int filesWithoutFrenchMessage = 0;
    int sideFilesLeft = 0;
    std::map<QString, int> filesByKind;
    // Two processes
    int rounds = 0;
    int savesDone = 0;
    int savesChecked = 0;
    int savesRefused = 0;
    int otherCommandsDone = 0;
    int otherCommandsRefused = 0;
    // Returns of a local copy to its server
    int returnRounds = 0;
    int returnKills = 0;
    int returnKillsDuring = 0; // before the child said it had finished
    // Faults, from every part
    int crashes = 0;
    int hangs = 0;
    int sanitizerReports = 0;
    int damagedDatabases = 0; // integrity_check failed or the file was no database
    int cardsLost = 0;
    int cardsChanged = 0;      // a card with other bytes than written, or a card from nowhere
    int smallFilesPartial = 0; // a marker or page-state file neither old nor new
    int savesLost = 0;         // a save reported done that is not there

    QStringList findings;

    int DataLost() const {
        return damagedDatabases + cardsLost + cardsChanged + smallFilesPartial + savesLost;
    }
    void Find(const QString& part, const QString& what, const QString& replay);
};

// Whether a message the user sees speaks French first; an engine's English text may only follow.
bool SaysItInFrench(const QString& message);
