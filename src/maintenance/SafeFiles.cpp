#include "maintenance/SafeFiles.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

UserError CopyError(const QString& target, const QString& reason) {
    return UserError(QStringLiteral("La copie vers « %1 » a échoué : %2")
                         .arg(QDir::toNativeSeparators(target), reason));
}

} // namespace

namespace SafeFiles {

QString TwinIn(const QString& folder, const QString& name) {
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& present : names)
        if (present.compare(name, Qt::CaseInsensitive) == 0)
            return present;
    return name;
}

std::optional<qint64> CopyFile(const QString& source, const QString& target, Check check) {
    FileWriter file(target);
    file.CopyFrom(source);
    if (!SameBytes(source, file.TemporaryName()))
        throw CopyError(target, QStringLiteral("la copie diffère de l'original."));
    std::optional<qint64> cards;
    if (check == Check::BytesAndDatabase)
        cards = Collection::VerifiedCardCount(file.TemporaryName());
    file.Commit();
    return cards;
}

void RestoreDatabase(const QString& source, const QString& target) {
    if (QFileInfo(target).isFile()) {
        try {
            Collection::OpenLocal(target)->ReplaceWith(source);
            return;
        } catch (const StoreError& error) {
            if (error.kind() != StoreError::Kind::NotADatabase &&
                error.kind() != StoreError::Kind::Damaged &&
                error.kind() != StoreError::Kind::NoTable)
                throw StoreError(error.kind(),
                                 QStringLiteral("La base ne peut pas être restaurée dans « %1 ». "
                                                "%2")
                                     .arg(QDir::toNativeSeparators(target), error.sentence()),
                                 error.reason());
        }
    }
    CopyFile(source, target, Check::BytesAndDatabase);
}

} // namespace SafeFiles
