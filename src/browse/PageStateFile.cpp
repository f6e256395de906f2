#include "browse/PageStateFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace PageStateFile {

namespace {

bool Replace(const QByteArray& contents) {
    QSaveFile file(QString::fromLatin1(kName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

} // namespace

std::optional<GridPaging::PageState> Read() {
    QFile file(QString::fromLatin1(kName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Two numbers take a few bytes; a long file is not a page state.
    const QString text = QString::fromLatin1(file.read(4096));
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

bool Write(GridPaging::PageState state) {
    return Replace(QByteArray::number(state.total) + "\r\n" + QByteArray::number(state.mark) +
                   "\r\n");
}

bool Empty() {
    return Replace(QByteArray());
}

} // namespace PageStateFile
