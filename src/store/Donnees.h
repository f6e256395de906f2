#pragma once

#include <QString>
#include <QtGlobal>

// The process-wide variables through which the windows hand each other the chosen category,
// the current card and the paging, printing and backup state. A few are written where other
// windows could look, though none reads them; each says so.
struct SharedState {
    QString DatabaseFileName;
    QString StartDirectory;
    QString CurrentCategoryCode;
    // A foreign file may number cards beyond 32 bits: they are shown and kept as stored.
    qint64 CurrentCardNumber = 0;
    qint32 CardCount = 0;
    qint32 LoopIndex = 0;     // the printout's copy loop and the backup's file loop run on it
    QString ScratchText;      // the justified line's left part while a blank is inserted
    qint32 ScratchNumber = 0; // the backup's pause mark; kept for the record, no window reads it

    // Paged card grid.
    qint32 GridTotal = 0;
    qint32 GridPageMark = 0;
    qint32 GridPageStep = 0; // the last page's step; kept for the record, no window reads it
    qint32 GridRowIndex = 0; // the backup's file count; kept for the record, no window reads it

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
    QString LastBackupDate; // the marker's date; kept for the record, no window reads it
    QString CopyTarget;     // the file being written by the backup or the restore
};

extern SharedState Donnees;
