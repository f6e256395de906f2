#include "store/Database.h"

#include "platform/FileWriter.h"
#include "store/Connection.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TitleIndex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Where(const QString& fileName) {
    const QFileInfo info(fileName);
    return QStringLiteral("« %1 » dans le dossier « %2 »")
        .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

// A read error says nothing about the file: pointing the user at a restore would overwrite
// what may be a sound collection on a failing disk.
StoreError ReadError(const QString& fileName) {
    return StoreError(StoreError::Kind::DiskError,
                      QStringLiteral("Le disque n'a pas pu lire le fichier %1 (erreur de lecture "
                                     "du disque). Rien n'a été modifié, et le fichier n'est pas "
                                     "forcément endommagé : vérifiez le disque avant toute "
                                     "restauration, puis relancez Pivanes.")
                          .arg(Where(fileName)),
                      UserError::SystemReason(EIO));
}

StoreError Unreadable(const QString& fileName, int error) {
    if (error == EIO)
        return ReadError(fileName);
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("Le fichier %1 ne peut pas être lu ; il n'a pas été "
                                     "modifié.")
                          .arg(Where(fileName)),
                      UserError::SystemReason(error));
}

void CheckFileExists(const QString& fileName) {
    struct stat status;
    if (::stat(QFile::encodeName(fileName).constData(), &status) == 0) {
        if (S_ISREG(status.st_mode))
            return;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        throw Unreadable(fileName, errno);
    }
    throw StoreError(
        StoreError::Kind::MissingFile,
        QStringLiteral("Le fichier des fiches %1 est introuvable.").arg(Where(fileName)));
}

void CheckHeader(const QString& fileName) {
    static const QByteArray kMagic("SQLite format 3\0", 16);
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Unreadable(fileName, errno);
    char head[16];
    const ssize_t got = ::read(fd, head, sizeof head);
    const int readError = errno;
    ::close(fd);
    if (got < 0)
        throw Unreadable(fileName, readError);
    if (got == 0)
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 est vide : ce n'est pas une collection "
                                        "de fiches.")
                             .arg(Where(fileName)));
    if (QByteArray(head, int(got)) != kMagic)
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
    } catch (const StoreError& error) {
        if (error.kind() == StoreError::Kind::DiskError)
            throw ReadError(fileName);
        // A busy or read-only file is no damage: the engine's own account says it.
        if (error.kind() != StoreError::Kind::Damaged &&
            error.kind() != StoreError::Kind::NotADatabase)
            throw;
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

QString Pragma(Connection& connection, const char* sql) {
    Statement pragma(connection, sql);
    return pragma.Step() ? pragma.Text(0) : QString();
}

// Every page of source into destination, in one write transaction of destination.
void CopyPages(Connection& destination, sqlite3* source) {
    sqlite3_backup* backup = sqlite3_backup_init(destination.Handle(), "main", source, "main");
    if (!backup)
        destination.Fail(sqlite3_extended_errcode(destination.Handle()));
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        destination.Fail(rc);
}

// The live database file, read through the engine's own handle: a descriptor of our own on the
// file would, once closed, drop the engine's locks on it.
class LiveFile {
public:
    explicit LiveFile(Connection& connection) : connection_(connection) {
        if (sqlite3_file_control(connection.Handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file_) !=
                SQLITE_OK ||
            !file_ || !file_->pMethods)
            connection.Fail(SQLITE_IOERR);
        if (const int rc = file_->pMethods->xFileSize(file_, &size_); rc != SQLITE_OK)
            connection.Fail(rc);
    }
    qint64 Size() const { return size_; }
    void Read(qint64 offset, QByteArray& piece) {
        if (const int rc = file_->pMethods->xRead(file_, piece.data(), int(piece.size()), offset);
            rc != SQLITE_OK)
            connection_.Fail(rc);
    }

private:
    Connection& connection_;
    sqlite3_file* file_ = nullptr;
    sqlite3_int64 size_ = 0;
};

constexpr qint64 kPiece = 1 << 20;

// Whether the file holds the live file's bytes, read back piece by piece.
bool SameBytes(LiveFile& source, const QString& copyName) {
    const int opened = ::open(QFile::encodeName(copyName).constData(), O_RDONLY | O_CLOEXEC);
    if (opened < 0)
        throw Unreadable(copyName, errno);
    const std::unique_ptr<const int, void (*)(const int*)> copy(
        &opened, [](const int* fd) { ::close(*fd); });
    struct stat status {};
    bool same = ::fstat(opened, &status) == 0 && status.st_size == source.Size();
    QByteArray expected, found;
    for (qint64 offset = 0; same && offset < source.Size(); offset += kPiece) {
        const qint64 length = std::min(source.Size() - offset, kPiece);
        expected.resize(length);
        found.resize(length);
        source.Read(offset, expected);
        same = ::pread(opened, found.data(), std::size_t(length), offset) == length &&
               expected == found;
    }
    return same;
}

// The live file's bytes into the copy, and the copy read back against them.
bool CopyFileBytes(Connection& live, FileWriter& file) {
    LiveFile source(live);
    QByteArray piece;
    for (qint64 offset = 0; offset < source.Size(); offset += kPiece) {
        piece.resize(std::min(source.Size() - offset, kPiece));
        source.Read(offset, piece);
        file.Write(piece);
    }
    return SameBytes(source, file.TemporaryName());
}

} // namespace

Database::Database() : connection_(std::make_shared<Connection>()) {}

Database::~Database() {
    Close();
}

void Database::Open(const QString& fileName) {
    Close();
    CheckFileExists(fileName);
    CheckHeader(fileName);
    // A fresh connection: record sets of the previous one keep failing cleanly.
    connection_ = std::make_shared<Connection>();
    connection_->Open(fileName, SQLITE_OPEN_READWRITE);
    try {
        CheckTable(*connection_, fileName);
        connection_->Exec("PRAGMA synchronous = FULL");
        // Closing a file in WAL mode folds its log into it: a file that was only read keeps
        // its log as it found it.
        if (QFileInfo(fileName + QStringLiteral("-wal")).size() > 0)
            sqlite3_db_config(connection_->Handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    } catch (...) {
        connection_->Close();
        throw;
    }
    fileName_ = fileName;
}

void Database::EnsureIndexes(Connection& connection) {
    connection.Exec(kCategoryIndexSchema);
    TitleIndex::Ensure(connection);
}

void Database::PrepareForWrites(Connection& connection) {
    if (connection.WritesPrepared())
        return;
    // Leaving WAL mode fails while another program holds the file in it: nothing is written.
    if (Pragma(connection, "PRAGMA journal_mode") != QLatin1String("delete"))
        connection.Exec("PRAGMA journal_mode = DELETE");
    EnsureIndexes(connection);
    connection.SetWritesPrepared();
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

std::unique_ptr<Recordset> Database::OpenAll() {
    connection_->Handle();
    return std::make_unique<Recordset>(connection_, std::nullopt);
}

std::unique_ptr<Recordset> Database::OpenCategory(const QString& code) {
    connection_->Handle();
    return std::make_unique<Recordset>(connection_, code);
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& sql) {
    if (sql == Queries::AllCards())
        return OpenAll();
    if (const std::optional<QString> code = Queries::CategoryCode(sql))
        return OpenCategory(*code);
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("Requête non reconnue : %1").arg(sql));
}

std::optional<qint64> Database::BackupTo(FileWriter& file) const {
    Connection& live = *connection_;
    live.Exec("BEGIN");
    try {
        // The first read takes the shared lock that keeps every writer out of the file until the
        // transaction ends.
        std::optional<qint64> cards = CardCount();
        if (Pragma(live, "PRAGMA journal_mode") == QLatin1String("wal")) {
            // The file alone lacks what its log holds: the engine copies the pages it reads, and
            // checks the copy whole.
            {
                Connection copy;
                copy.Open(file.TemporaryName(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
                CopyPages(copy, live.Handle());
                copy.Exec("PRAGMA journal_mode = DELETE");
            }
            VerifiedCardCount(file.TemporaryName());
        } else if (!CopyFileBytes(live, file)) {
            cards.reset();
        }
        live.Exec("COMMIT");
        return cards;
    } catch (...) {
        sqlite3_exec(live.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Database::WriteInto(const QString& source, const QString& target) {
    Connection from;
    from.Open(source, SQLITE_OPEN_READONLY);
    Connection into;
    into.Open(target, SQLITE_OPEN_READWRITE);
    into.Exec("PRAGMA synchronous = FULL");
    CopyPages(into, from.Handle());
}

void Database::Compact() {
    if (Pragma(*connection_, "PRAGMA quick_check") != QLatin1String("ok"))
        throw StoreError(StoreError::Kind::Damaged,
                         QStringLiteral("Le fichier %1 est endommagé.").arg(Where(fileName_)));
    PrepareForWrites(*connection_);
    connection_->Exec("VACUUM");
}

qint64 Database::CardCount() const {
    Statement count(*connection_, "SELECT count(*) FROM TrucPivane");
    return count.Step() ? count.Int64(0) : 0;
}

qint64 Database::VerifiedCardCount(const QString& fileName, Check check) {
    CheckHeader(fileName);
    Connection connection;
    connection.Open(fileName, SQLITE_OPEN_READONLY);
    CheckTable(connection, fileName);
    qint64 cards = -1;
    try {
        if (check == Check::Cards ||
            Pragma(connection, "PRAGMA integrity_check") == QLatin1String("ok")) {
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
