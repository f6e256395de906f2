#include "convert/JetHeader.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"

#include <cstring>
#include <optional>
#include <utility>

namespace {

constexpr int kMaskedFrom = 0x18;
constexpr int kHeaderSize = 0x100;

quint16 Int16(const QByteArray& bytes, int at) {
    return quint16(quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8));
}

quint32 Int32(const QByteArray& bytes, int at) {
    return quint32(Int16(bytes, at)) | (quint32(Int16(bytes, at + 2)) << 16);
}

// Part of the first page is masked by RC4 under a fixed key.
void Unmask(QByteArray& bytes, int length) {
    static const unsigned char kKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    unsigned char state[256];
    for (int i = 0; i < 256; ++i)
        state[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + state[i] + kKey[i % 4]) & 0xFF;
        std::swap(state[i], state[j]);
    }
    for (int n = 0, x = 0, y = 0; n < length; ++n) {
        x = (x + 1) & 0xFF;
        y = (y + state[x]) & 0xFF;
        std::swap(state[x], state[y]);
        bytes[kMaskedFrom + n] =
            char(quint8(bytes[kMaskedFrom + n]) ^ state[(state[x] + state[y]) & 0xFF]);
    }
}

// Jet 4 masks the password once more with the creation date.
bool HasPassword(const QByteArray& bytes, bool jet4) {
    quint8 mask[4] = {0, 0, 0, 0};
    if (jet4) {
        double created = 0;
        std::memcpy(&created, bytes.constData() + 0x72, sizeof created);
        const qint32 days = created > -2e9 && created < 2e9 ? qint32(created) : 0;
        for (int i = 0; i < 4; ++i)
            mask[i] = quint8(quint32(days) >> (8 * i));
    }
    const int size = jet4 ? 40 : 20;
    for (int i = 0; i < size; ++i)
        if ((quint8(bytes[0x42 + i]) ^ mask[i % 4]) != 0)
            return true;
    return false;
}

} // namespace

JetHeader ReadJetHeader(const QString& fileName) {
    JetHeader header;
    // Only a regular file is read: a pipe under the name would never answer.
    std::optional<QByteArray> read;
    try {
        read = ReadRegularFile(fileName, kHeaderSize);
    } catch (const UserError&) {
        return header;
    }
    if (!read)
        return header;
    QByteArray bytes = *read;
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArray("\0\1\0\0", 4)))
        return header;
    const QByteArray engine = bytes.mid(4, 16);
    const quint8 version = quint8(bytes[0x14]);
    if (engine == QByteArray("Standard ACE DB\0", 16) ||
        (engine == QByteArray("Standard Jet DB\0", 16) && version > 1)) {
        header.format = JetHeader::Format::Newer;
        return header;
    }
    if (engine != QByteArray("Standard Jet DB\0", 16))
        return header;
    const bool jet4 = version == 1;
    header.format = jet4 ? JetHeader::Format::Jet4 : JetHeader::Format::Jet3;
    Unmask(bytes, jet4 ? 128 : 126);
    header.codePage = Int16(bytes, 0x3C);
    header.encrypted = Int32(bytes, 0x3E) != 0;
    header.password = HasPassword(bytes, jet4);
    return header;
}
