#include "browse/PageStateFile.h"

#include "platform/FileWriter.h"

#include <QRegularExpression>

namespace PageStateFile {

std::optional<GridPaging::PageState> Read() {
    // Two numbers take a few bytes; a long file is not a page state.
    const std::optional<QByteArray> bytes = ReadRegularFile(QString::fromLatin1(kName), 4096);
    if (!bytes)
        return std::nullopt;
    const QString text = QString::fromLatin1(*bytes);
    static const QRegularExpression separators(QStringLiteral("[ \\r\\n]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    if (words.size() < 2)
        return std::nullopt;
    bool totalOk = false;
    bool markOk = false;
    const GridPaging::PageState state{words[0].toInt(&totalOk), words[1].toInt(&markOk)};
    if (!totalOk || !markOk)
        return std::nullopt;
    return state;
}

void Write(GridPaging::PageState state) {
    WriteFileWhole(QString::fromLatin1(kName),
                   QByteArray::number(state.total) + "\r\n" + QByteArray::number(state.mark) +
                       "\r\n",
                   FileWriter::Flush::NotNeeded);
}

void Empty() {
    WriteFileWhole(QString::fromLatin1(kName), QByteArray(), FileWriter::Flush::NotNeeded);
}

} // namespace PageStateFile
