#include "NewCollection.h"

#include "store/Collection.h"
#include <QElapsedTimer>

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

double FillServerCollection(const QString& server, qint32 count,
                            const std::function<Card(qint32)>& card) {
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<Collection> collection =
        Collection::Open(CollectionPlace::Server(server));
    qint32 next = 0;
    collection->Import([&](StoredCard& stored) {
        if (next == count)
            return false;
        const Card made = card(++next);
        stored = {made.Numero, made.Cate, made.Titre, made.Pivanes, 0};
        return true;
    });
    collection->Compact();
    return double(timer.elapsed()) / 1000;
}
