#include "shell/Session.h"

#include "store/StoreError.h"

qint32 Session::CountCards(const Selection& selection) {
    countedSelection = selection;
    countedLast.reset();
    countedIn_ = collection_;
    cardCount = 0;
    const SelectionCount counted = collection().Count(selection);
    cardCount = qint32(counted.cards);
    if (counted.cards > 0)
        countedLast = counted.last;
    return cardCount;
}

Collection& Session::countedCollection() const {
    RefuseWhileBusy();
    const std::shared_ptr<Collection> counted = countedIn_.lock();
    if (!counted)
        throw StoreError::CollectionClosed();
    return *counted;
}

void Session::OpenCollection() {
    collection_.reset();
    collection_ = Collection::Open(server_.isEmpty() ? CollectionPlace::LocalFile(databaseFile)
                                                     : CollectionPlace::Server(server_));
}

void Session::RefuseWhileBusy() const {
    if (worker_->Busy())
        throw UserError(QStringLiteral("Une sauvegarde, une restauration, un compactage ou une "
                                       "exportation est en cours : attendez qu'elle finisse."));
}

Collection& Session::collection() const {
    RefuseWhileBusy();
    if (!collection_)
        throw StoreError::CollectionClosed();
    return *collection_;
}
