#include "store/Collection.h"

#include "store/ServerEngine.h"
#include "store/TitleCase.h"
#include "store/sqlite/LocalFile.h"
#include "store/sqlite/SqliteCollection.h"

std::unique_ptr<Collection> Collection::Open(const CollectionPlace& place) {
    if (place.kind == CollectionPlace::Kind::Server)
        return LoadedServerEngine().open(place.name);
    return std::make_unique<SqliteCollection>(place.name);
}

void Collection::CreateLocal(const QString& fileName) {
    LocalFile::Create(fileName);
}

qint64 Collection::CreateLocalCopy(const QString& fileName, const CardSource& source,
                                   const TrashSource& trash) {
    LocalFile::Create(fileName);
    return SqliteCollection(fileName).ImportCopy(source, trash);
}

qint64 Collection::VerifiedCardCount(const QString& fileName, Check check) {
    return LocalFile::VerifiedCardCount(fileName, check);
}

bool TitleHolds(QByteArrayView title, QByteArrayView keyword) {
    return TitleCase::Matcher(keyword).Holds(title);
}
