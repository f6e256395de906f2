#include "shell/ServerCopyCommand.h"

#include "store/ServerCopy.h"
#include "store/StoreError.h"

int RunReadingServer(const QString& server, const QString& dataFolder,
                     const ReadingCommand& command, QTextStream& err) {
    const QString copy = ServerCopy::FileFor(dataFolder, server);
    std::unique_ptr<Collection> collection;
    try {
        collection = Collection::Open(CollectionPlace::Server(server));
    } catch (const StoreError& error) {
        err << error.text() << Qt::endl;
        const std::optional<QDateTime> readAt = ServerCopy::ReadAt(copy);
        if (!readAt)
            return 1;
        err << QStringLiteral("Pivanes répond d'après la copie locale du serveur, du %1.")
                   .arg(readAt->toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")))
            << Qt::endl;
        return command(CollectionPlace::LocalFile(copy));
    }
    const int exitCode = command(collection->Place());
    try {
        for (const QString& line : ServerCopy::BringUpToDate(*collection, copy).Lines())
            err << line << Qt::endl;
    } catch (const StoreError& error) {
        err << QStringLiteral("La copie locale du serveur n'a pas été mise à jour : ")
            << error.text() << Qt::endl;
    }
    return exitCode;
}
