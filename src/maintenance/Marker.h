#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

// The backup marker "Sauve.kor": where and when the last backup was written. Three lines, each
// ended by CR LF, always rewritten whole.
struct MarkerLines {
    QString backupFolder;
    QString programFolder;
    QString date; // empty before the first backup
    bool operator==(const MarkerLines&) const = default;
};

namespace Marker {

inline const QString kFileName = QStringLiteral("Sauve.kor");
// The data folder's marker of a collection: "Sauve.kor" for the local one; for a server's
// (connection given), a file named for that server, which the backups of the data folder's
// files (*.kor, *.mdb) leave out, so that neither collection ever shows the other's date.
QString FileFor(const QString& server);

// Nothing when the file is missing, unreadable, not a regular file or shorter than three lines.
std::optional<MarkerLines> Read(const QString& fileName = kFileName);
// Throws UserError when the file cannot be written; the old file then stays as it was.
void Write(const MarkerLines& lines, const QString& fileName = kFileName);

// The date as backups record it: dd/mm/yyyy.
QString BackupDate(const QDate& date);

// The file's content as it was, to be put back after a failed backup.
class Snapshot {
public:
    explicit Snapshot(const QString& fileName = kFileName);
    // False when the old content could not be put back.
    bool PutBack() const;

private:
    QString fileName_;
    bool known_ = true;
    std::optional<QByteArray> bytes_;
};

} // namespace Marker
