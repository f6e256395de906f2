#include "maintenance/Compaction.h"

#include "shell/Session.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QLocale>

namespace {

CompactionReport CompactServer(const Session& session) {
    try {
        const Compacted compacted = session.collection().Compact();
        const QLocale french(QLocale::French);
        const auto megabytes = [&french](qint64 bytes) {
            return french.toString(double(bytes) / (1 << 20), 'f', 1);
        };
        return {QStringLiteral("Le serveur a fait le ménage de la collection (VACUUM ANALYZE) : "
                               "ses tables occupaient %1 Mo, elles en occupent %2.")
                    .arg(megabytes(compacted.bytesBefore), megabytes(compacted.bytesAfter)),
                {}};
    } catch (const UserError& error) {
        return {{}, error.text()};
    }
}

} // namespace

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

CompactionReport CompactCollection(Session& session) {
    if (session.OnServer())
        return CompactServer(session);
    session.CloseCollection();
    try {
        CompactDatabaseFile(session.databaseFile);
    } catch (const UserError& error) {
        try {
            session.OpenCollection();
        } catch (const UserError&) {
            // The same cause as the compaction's failure, told once.
        }
        return {{}, error.text()};
    }
    CompactionReport report{QStringLiteral("Compactage de la Base de Données et Terminée"), {}};
    try {
        session.OpenCollection();
    } catch (const UserError& error) {
        report.failure = error.text();
    }
    return report;
}
