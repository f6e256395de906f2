#include "maintenance/Compaction.h"

#include "shell/Session.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QLocale>
#include <optional>

namespace {

CompactionReport CompactServer(Collection& server) {
    try {
        const Compacted compacted = server.Compact();
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

// Why the file was not compacted, when it was not.
std::optional<QString> CompactLocalFile(const QString& fileName) {
    try {
        CompactDatabaseFile(fileName);
        return std::nullopt;
    } catch (const UserError& error) {
        return error.text();
    }
}

CompactionReport Reopened(Session& session, const std::optional<QString>& notCompacted) {
    if (notCompacted) {
        try {
            session.OpenCollection();
        } catch (const UserError&) {
            // The same cause as the compaction's failure, told once.
        }
        return {{}, *notCompacted};
    }
    CompactionReport report{QStringLiteral("Compactage de la Base de Données et Terminée"), {}};
    try {
        session.OpenCollection();
    } catch (const UserError& error) {
        report.failure = error.text();
    }
    return report;
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

bool StartCompaction(Session& session, const std::function<void(const CompactionReport&)>& ended) {
    Worker& worker = session.worker();
    if (worker.Busy())
        return false;
    if (session.OnServer())
        return worker.Start<CompactionReport>(
            [server = &session.collection()](const Worker::Progress&) {
                return CompactServer(*server);
            },
            ended);
    session.CloseCollection();
    return worker.Start<std::optional<QString>>(
        [fileName = session.databaseFile](const Worker::Progress&) {
            return CompactLocalFile(fileName);
        },
        [&session, ended](const std::optional<QString>& notCompacted) {
            ended(Reopened(session, notCompacted));
        });
}
