#include "store/Database.h"

#include "store/Connection.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TitleIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace {

QString Where(const QString& fileName) {
    const QFileInfo info(fileName);
    return QStringLiteral("« %1 » dans le dossier « %2 »")
        .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

void CheckHeader(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Le fichier %1 ne peut pas être lu.").arg(Where(fileName)));
    static const QByteArray kMagic("SQLite format 3\0", 16);
    const QByteArray head = file.read(16);
    if (file.size() == 0)
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 est vide : ce n'est pas une collection "
                                        "de fiches.")
                             .arg(Where(fileName)));
    if (head != kMagic)
        throw StoreError(StoreError::Kind::NotADatabase,
                         QStringLiteral("Le fichier %1 n'est pas une base de fiches que ce "
                                        "programme sait lire (format inconnu ou ancien format). "
                                        "Il n'a pas été modifié.")
                             .arg(Where(fileName)));
}

void CheckTable(Connection& connection, const QString& fileName) {
    static const char* const kColumns[] = {"numero", "cate", "titre", "pivanes"};
    int found = 0;
    try {
        Statement columns(connection, "SELECT lower(name) FROM pragma_table_info('TrucPivane')");
        while (columns.Step())
            for (const char* column : kColumns)
                if (columns.Text(0) == QLatin1String(column))
                    ++found;
    } catch (const StoreError&) {
        // The header said SQLite: whatever fails past it is damage.
        throw StoreError(StoreError::Kind::Damaged,
                         QStringLiteral("Le fichier %1 est endommagé et ne peut pas être lu. "
                                        "Il n'a pas été modifié. Restaurez une sauvegarde.")
                             .arg(Where(fileName)));
    }
    if (found != 4)
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 ne contient pas la table des fiches "
                                        "« TrucPivane ». Il n'a pas été modifié.")
                             .arg(Where(fileName)));
}

} // namespace

Database::Database() : connection_(std::make_shared<Connection>()) {}

Database::~Database() {
    Close();
}

void Database::Open(const QString& fileName) {
    Close();
    if (!QFileInfo(fileName).isFile())
        throw StoreError(
            StoreError::Kind::MissingFile,
            QStringLiteral("Le fichier des fiches %1 est introuvable.").arg(Where(fileName)));
    CheckHeader(fileName);
    // A fresh connection: record sets of the previous one keep failing cleanly.
    connection_ = std::make_shared<Connection>();
    connection_->Open(fileName, SQLITE_OPEN_READWRITE);
    try {
        CheckTable(*connection_, fileName);
        connection_->Exec("PRAGMA journal_mode = DELETE");
        connection_->Exec("PRAGMA synchronous = FULL");
    } catch (...) {
        connection_->Close();
        throw;
    }
    try {
        connection_->Exec(kCategoryIndexSchema);
    } catch (const StoreError&) {
        // A read-only collection is still readable without the index.
    }
    fileName_ = fileName;
}

void Database::Close() {
    connection_->Close();
}

bool Database::IsOpen() const {
    return connection_->IsOpen();
}

Connection& Database::connection() const {
    return *connection_;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& sql) {
    connection_->Handle();
    if (sql == Queries::kAllCards)
        return std::make_unique<Recordset>(connection_, true, QString());
    if (sql.startsWith(Queries::kCategoryPrefix) && sql.endsWith(QLatin1Char('\'')) &&
        sql.size() > Queries::kCategoryPrefix.size()) {
        // The code is bound as a value, quotes and all: it is never part of the SQL text.
        const qsizetype start = Queries::kCategoryPrefix.size();
        return std::make_unique<Recordset>(connection_, false,
                                           sql.mid(start, sql.size() - start - 1));
    }
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("Requête non reconnue : %1").arg(sql));
}

void Database::WhileUnchanged(const std::function<void()>& work) const {
    connection_->Exec("BEGIN");
    try {
        // The first read takes the shared lock that holds writers off until the end.
        Statement read(*connection_, "SELECT count(*) FROM sqlite_schema");
        read.Step();
        work();
    } catch (...) {
        sqlite3_exec(connection_->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    connection_->Exec("COMMIT");
}

void Database::CompactInto(const QString& target) const {
    Statement vacuum(*connection_, "VACUUM INTO ?1");
    vacuum.Bind(1, target).Step();
}

qint64 Database::CardCount() const {
    Statement count(*connection_, "SELECT count(*) FROM TrucPivane");
    return count.Step() ? count.Int64(0) : 0;
}

qint64 Database::VerifiedCardCount(const QString& fileName, Check depth) {
    CheckHeader(fileName);
    Connection connection;
    connection.Open(fileName, SQLITE_OPEN_READONLY);
    CheckTable(connection, fileName);
    qint64 cards = -1;
    try {
        Statement check(connection,
                        depth == Check::Whole ? "PRAGMA integrity_check" : "PRAGMA quick_check");
        if (check.Step() && check.Text(0) == QLatin1String("ok")) {
            Statement count(connection, "SELECT count(*) FROM TrucPivane");
            if (count.Step())
                cards = count.Int64(0);
        }
    } catch (const StoreError&) {
        // Reported below like any other damage.
    }
    if (cards < 0)
        throw StoreError(StoreError::Kind::Damaged,
                         QStringLiteral("Le fichier %1 est endommagé.").arg(Where(fileName)));
    return cards;
}

void Database::CreateEmpty(const QString& fileName, Indexes indexes) {
    if (QFileInfo::exists(fileName))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Le fichier %1 existe déjà.").arg(Where(fileName)));
    Connection connection;
    connection.Open(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    connection.Exec("PRAGMA journal_mode = DELETE");
    connection.Exec(kCardTableSchema);
    if (indexes == Indexes::Now)
        EnsureIndexes(connection);
}

void Database::EnsureIndexes(Connection& connection) {
    connection.Exec(kCategoryIndexSchema);
    TitleIndex::Ensure(connection);
}
