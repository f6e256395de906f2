#include "store/TitleArray.h"

void TitleArray::Reset(qsizetype last) {
    bytes_.clear();
    bytes_.squeeze();
    ends_.clear();
    ends_.shrink_to_fit();
    ends_.reserve(std::size_t(std::max<qsizetype>(last, 0)) + 1);
    ends_.push_back(0);
}

qsizetype TitleArray::Append(QByteArrayView title) {
    bytes_.append(title);
    ends_.push_back(quint32(bytes_.size()));
    return Count();
}

QString TitleArray::At(qsizetype slot) const {
    if (slot < 1 || slot > Count())
        return QString();
    const quint32 begin = ends_[std::size_t(slot) - 1];
    const quint32 end = ends_[std::size_t(slot)];
    return QString::fromUtf8(bytes_.constData() + begin, qsizetype(end - begin));
}
