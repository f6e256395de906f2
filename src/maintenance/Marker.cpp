#include "maintenance/Marker.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool WriteWhole(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

namespace Marker {

std::optional<MarkerLines> Read(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString lines[3];
    for (QString& line : lines) {
        if (file.atEnd())
            return std::nullopt;
        line = QString::fromLocal8Bit(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return MarkerLines{lines[0], lines[1], lines[2]};
}

bool Write(const MarkerLines& lines, const QString& fileName) {
    QByteArray bytes;
    for (const QString& line : {lines.backupFolder, lines.programFolder, lines.date})
        bytes += line.toLocal8Bit() + "\r\n";
    return WriteWhole(fileName, bytes);
}

QString BackupDate(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

Snapshot::Snapshot(const QString& fileName) : fileName_(fileName) {
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        bytes_ = file.readAll();
}

bool Snapshot::PutBack() const {
    if (!bytes_)
        return !QFile::exists(fileName_) || QFile::remove(fileName_);
    return WriteWhole(fileName_, *bytes_);
}

} // namespace Marker
