#include "maintenance/Marker.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// Three paths and a date; a file longer than this is not a marker.
constexpr qint64 kLongest = qint64{64} * 1024;

} // namespace

namespace Marker {

std::optional<MarkerLines> Read(const QString& fileName) {
    std::optional<QByteArray> bytes;
    try {
        bytes = ReadRegularFile(fileName, kLongest);
    } catch (const UserError&) {
        return std::nullopt;
    }
    if (!bytes)
        return std::nullopt;
    QString lines[3];
    qsizetype at = 0;
    for (QString& line : lines) {
        if (at >= bytes->size())
            return std::nullopt;
        const qsizetype newline = bytes->indexOf('\n', at);
        const qsizetype end = newline < 0 ? bytes->size() : newline + 1;
        line = QString::fromLocal8Bit(bytes->mid(at, end - at));
        at = end;
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return MarkerLines{lines[0], lines[1], lines[2]};
}

void Write(const MarkerLines& lines, const QString& fileName) {
    QByteArray bytes;
    for (const QString& line : {lines.backupFolder, lines.programFolder, lines.date})
        bytes += line.toLocal8Bit() + "\r\n";
    WriteFileWhole(fileName, bytes);
}

QString FileFor(const QString& server) {
    if (server.isEmpty())
        return kFileName;
    const QByteArray digest =
        QCryptographicHash::hash(server.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("Sauve-%1.serveur").arg(QString::fromLatin1(digest));
}

QString BackupDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

Snapshot::Snapshot(const QString& fileName) : fileName_(fileName) {
    try {
        bytes_ = ReadRegularFile(fileName, kLongest);
    } catch (const UserError&) {
        // What cannot be read is not touched again.
        known_ = false;
    }
}

bool Snapshot::PutBack() const {
    if (!known_)
        return false;
    if (!bytes_)
        return !QFile::exists(fileName_) || QFile::remove(fileName_);
    try {
        WriteFileWhole(fileName_, *bytes_);
        return true;
    } catch (const UserError&) {
        return false;
    }
}

} // namespace Marker
