#include "maintenance/Compaction.h"

#include "store/Database.h"
#include "store/StoreError.h"

void CompactDatabaseFile(const QString& fileName) {
    try {
        Database database;
        database.Open(fileName);
        database.Compact();
    } catch (const StoreError& error) {
        throw StoreError(error.kind(),
                         QStringLiteral("Le compactage de la base a échoué : la base n'a pas été "
                                        "modifiée. %1")
                             .arg(error.sentence()),
                         error.reason());
    }
}
