#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class MainWindow;
class BackupWindow;

// Every card of a database file, one line each: number, category, title and text.
QStringList StoredRows(const QString& file = QStringLiteral("Pivane.mdb"));
// The file's identity on its volume: it stays the same as long as the file is written in place,
// and changes when another file is renamed over it.
quint64 FileIdentity(const QString& file = QStringLiteral("Pivane.mdb"));
// Changes the title of one card through the card store.
void RetitleCard(qint32 numero, const QString& title);

// A clock that moves on by step at each reading, so that the pauses between files end.
void UseAdvancingClock(const QDateTime& start, int stepMsecs = 100);
inline const QDate kToday(2026, 3, 9);

// The main window, then the backup window opened from its "Sauvegarde" command.
MainWindow& OpenMainWindow();
BackupWindow& OpenBackupWindow();
