#include "convert/KnownCards.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cstring>

KnownCards::KnownCards(Collection& collection) {
    collection.EachCard([this](const StoredCard& card) { digests_.push_back(Of(card)); });
    std::sort(digests_.begin(), digests_.end());
}

bool KnownCards::Holds(const StoredCard& card) const {
    return std::binary_search(digests_.begin(), digests_.end(), Of(card));
}

// Each field's length goes before it, so that no two cards run together into the same bytes.
KnownCards::Digest KnownCards::Of(const StoredCard& card) {
    QCryptographicHash hash(QCryptographicHash::Blake2b_160);
    for (const std::optional<QString>* field : {&card.cate, &card.titre, &card.pivanes}) {
        const QString& text = field->has_value() ? **field : QString();
        const qint64 length = text.size();
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&length), sizeof length));
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(text.utf16()),
                                    text.size() * qsizetype(sizeof(char16_t))));
    }
    Digest digest{};
    // The first 128 bits of the 160 are plenty to tell cards apart.
    std::memcpy(digest.data(), hash.resultView().data(), sizeof digest);
    return digest;
}
