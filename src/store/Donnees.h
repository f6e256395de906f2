#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide variables through which the windows hand each other the chosen category,
// the current card and the paging, printing and backup state.
struct SharedState {
    QString DatabaseFileName;
    QString StartDirectory;
    QString CurrentCategoryCode;
    qint32 CurrentCardNumber = 0;
    qint32 CardCount = 0;
    qint32 LoopIndex = 0;
    QString ScratchText;
    qint32 ScratchNumber = 0;

    // Paged card grid.
    qint32 GridTotal = 0;
    qint32 GridPageMark = 0;
    qint32 GridPageStep = 0;
    qint32 GridRowIndex = 0;
    QString TrimmedTitle;
    QString CandidateTitle;

    // Printout layout.
    QString PrintLine;
    qint32 PrintCharIndex = 0;
    qint32 PrintLineLength = 0;
    qint16 PrintLineWidth = 0;
    qint16 PrintGapPosition = 0;
    qint16 PrintPadCount = 0;
    qint32 PrintListIndex = 0;
    QString ScratchRest;

    // Backup and restore.
    QString BackupFolder;
    QString LastBackupDate;
    QString CopyTarget;
};

extern SharedState Donnees;
