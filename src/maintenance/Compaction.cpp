#include "maintenance/Compaction.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"
#include "store/Database.h"

namespace {

void CompactAndCheck(const QString& fileName, const QString& temporaryName) {
    FileWriter compacted(fileName, temporaryName);
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
        throw UserError(QStringLiteral("La base compactée ne contient pas toutes les fiches."));
    compacted.Commit();
}

} // namespace

void CompactDatabaseFile(const QString& fileName, const QString& temporaryName) {
    try {
        CompactAndCheck(fileName, temporaryName);
    } catch (const UserError& error) {
        throw UserError(QStringLiteral("Le compactage de la base a échoué. %1\nLa base n'a pas "
                                       "été modifiée.")
                            .arg(error.sentence()),
                        error.reason());
    }
}
