#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Slots of titles packed as UTF-8 in one buffer: a million titles cost little more than their
// bytes. Slots are filled in order from 1; slot 0 is never used.
class TitleArray {
public:
    // Drops every slot and makes room for slots 1 to last.
    void Reset(qsizetype last);
    // Fills the next slot with a title in UTF-8 and returns its index.
    qsizetype Append(QByteArrayView title);
    qsizetype Count() const { return qsizetype(ends_.size()) - 1; }
    // The title of a filled slot; an empty text for any other index.
    QString At(qsizetype slot) const;

private:
    void MakeRoomFor(qsizetype bytes);

    QByteArray bytes_;
    std::vector<quint32> ends_{0};
    qsizetype last_ = 0;
};
