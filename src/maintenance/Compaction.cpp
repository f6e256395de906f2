#include "maintenance/Compaction.h"

#include "maintenance/SafeFiles.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>

namespace {

void CompactAndCheck(const QString& fileName, const QString& temporaryName) {
    if (QFileInfo::exists(temporaryName) && !QFile::remove(temporaryName))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Le fichier « %1 » d'un compactage précédent ne peut "
                                        "pas être supprimé.")
                             .arg(temporaryName));
    qint64 cards = 0;
    {
        Database database;
        database.Open(fileName);
        Database::EnsureIndexes(database.connection());
        cards = database.CardCount();
        database.CompactInto(temporaryName);
    }
    // The engine wrote the copy itself: a quick check of every page and the count suffice.
    if (Database::VerifiedCardCount(temporaryName, Database::Check::Quick) != cards)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("La base compactée ne contient pas toutes les fiches."));
    SafeFiles::Commit(temporaryName, fileName);
}

} // namespace

void CompactDatabaseFile(const QString& fileName, const QString& temporaryName) {
    try {
        CompactAndCheck(fileName, temporaryName);
    } catch (const StoreError& error) {
        QFile::remove(temporaryName);
        throw StoreError(error.kind(),
                         QStringLiteral("Le compactage de la base a échoué. %1\nLa base n'a pas "
                                        "été modifiée.")
                             .arg(error.text()));
    }
}
