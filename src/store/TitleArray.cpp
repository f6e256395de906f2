#include "store/TitleArray.h"

void TitleArray::Reset(qsizetype last) {
    bytes_.clear();
    bytes_.squeeze();
    ends_.clear();
    ends_.shrink_to_fit();
    ends_.reserve(std::size_t(std::max<qsizetype>(last, 0)) + 1);
    ends_.push_back(0);
    last_ = last;
}

// Doubling a large buffer holds the old and the new copy at once. Once a few titles tell their
// usual length, room for every slot is taken in one step; room never written to costs no memory.
void TitleArray::MakeRoomFor(qsizetype bytes) {
    constexpr qsizetype kSample = 64;
    const qsizetype needed = bytes_.size() + bytes;
    if (needed <= bytes_.capacity())
        return;
    qsizetype room = needed * 2;
    if (Count() >= kSample && last_ > Count())
        room = std::max(needed, bytes_.size() / Count() * last_ * 5 / 4);
    bytes_.reserve(room);
}

qsizetype TitleArray::Append(QByteArrayView title) {
    MakeRoomFor(title.size());
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
