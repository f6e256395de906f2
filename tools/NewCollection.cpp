#include "NewCollection.h"

#include "store/Collection.h"

void WriteNewCollection(const QString& fileName, qint64 count,
                        const std::function<Card(qint64)>& card) {
    Collection::CreateLocal(fileName);
    qint64 next = 0;
    Collection::OpenLocal(fileName)->Import([&](StoredCard& stored) {
        if (next == count)
            return false;
        const Card made = card(next++);
        stored = {made.Numero, made.Cate, made.Titre, made.Pivanes};
        return true;
    });
}

void WriteNewCollection(const QString& fileName, const QList<Card>& cards) {
    WriteNewCollection(fileName, cards.size(), [&cards](qint64 i) { return cards[i]; });
}
