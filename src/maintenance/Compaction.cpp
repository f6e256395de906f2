#include "maintenance/Compaction.h"

#include "store/Collection.h"
#include "store/StoreError.h"

void CompactDatabaseFile(const QString& fileName) {
    try {
        Collection::OpenLocal(fileName)->Compact();
    } catch (const StoreError& error) {
        throw StoreError(error.kind(),
                         QStringLiteral("Le compactage de la base a échoué : la base n'a pas été "
                                        "modifiée. %1")
                             .arg(error.sentence()),
                         error.reason());
    }
}
