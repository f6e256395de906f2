#include "store/sqlite/LocalFile.h"

#include "platform/FileWriter.h"
#include "store/StoreError.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/Schema.h"
#include "store/sqlite/Sql.h"

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

using LocalFile::Where;

namespace {

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

QString WhyNotTheCardTable(Schema::CardTable shape) {
    switch (shape) {
    case Schema::CardTable::View:
        return QStringLiteral("« TrucPivane » y est une vue, et non une table");
    case Schema::CardTable::Virtual:
        return QStringLiteral("« TrucPivane » y est une table virtuelle");
    case Schema::CardTable::WithoutRowid:
        return QStringLiteral("« TrucPivane » y est une table sans numéros de ligne "
                              "(WITHOUT ROWID)");
    case Schema::CardTable::OtherColumns:
        return QStringLiteral("« TrucPivane » n'y a pas exactement les quatre colonnes Numero, "
                              "Cate, Titre et Pivanes");
    default:
        return QStringLiteral("la colonne Numero de « TrucPivane » n'y est pas sa clé "
                              "(INTEGER PRIMARY KEY)");
    }
}

QString Named(const std::vector<Schema::SchemaObject>& objects) {
    constexpr std::size_t kNamed = 5;
    QStringList names;
    for (std::size_t i = 0; i < std::min(objects.size(), kNamed); ++i) {
        const QString& type = objects[i].type;
        names << QStringLiteral("« %1 » (%2)")
                     .arg(objects[i].name, type == QLatin1String("trigger")
                                               ? QStringLiteral("déclencheur")
                                           : type == QLatin1String("view")
                                               ? QStringLiteral("vue")
                                               : QStringLiteral("index sur une expression"));
    }
    if (objects.size() > kNamed)
        names << QStringLiteral("et %1 autre(s)").arg(objects.size() - kNamed);
    return names.join(QStringLiteral(", "));
}

void CheckCardsOnly(Connection& connection, const QString& fileName) {
    const Schema::CardTable shape = Schema::CardTableShape(connection);
    if (shape == Schema::CardTable::Missing)
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 ne contient pas la table des fiches "
                                        "« TrucPivane ». Il n'a pas été modifié.")
                             .arg(Where(fileName)));
    if (shape != Schema::CardTable::Sound)
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 n'est pas une collection de fiches que "
                                        "Pivanes sait lire : %2. Il n'a pas été modifié.")
                             .arg(Where(fileName), WhyNotTheCardTable(shape)));
    const std::vector<Schema::SchemaObject> foreign = Schema::ForeignCode(connection);
    if (!foreign.empty())
        throw StoreError(StoreError::Kind::NoTable,
                         QStringLiteral("Le fichier %1 contient, en plus des fiches, ce qu'un "
                                        "autre programme y a mis et que chaque écriture "
                                        "exécuterait : %2. Pivanes n'ouvre pas un tel fichier ; "
                                        "il n'a pas été modifié. Retirez-les avec le programme "
                                        "qui les a créés (ou « sqlite3 »), ou restaurez une "
                                        "sauvegarde.")
                             .arg(Where(fileName), Named(foreign)));
}

} // namespace

namespace LocalFile {

void CheckStructure(Connection& connection, const QString& fileName) {
    try {
        CheckCardsOnly(connection, fileName);
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
}

} // namespace LocalFile

namespace {

qint64 CardCount(Connection& connection) {
    Statement count(connection, Sql::kCountAll);
    return count.Step() ? count.Int64(0) : 0;
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

namespace LocalFile {

QString Where(const QString& fileName) {
    const QFileInfo info(fileName);
    return QStringLiteral("« %1 » dans le dossier « %2 »")
        .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

std::shared_ptr<Connection> OpenChecked(const QString& fileName) {
    CheckFileExists(fileName);
    CheckHeader(fileName);
    auto connection = std::make_shared<Connection>();
    connection->Open(fileName, SQLITE_OPEN_READWRITE);
    CheckStructure(*connection, fileName);
    connection->Exec("PRAGMA synchronous = FULL");
    // Closing a file in WAL mode folds its log into it: a file that was only read keeps its log
    // as it found it.
    if (QFileInfo(fileName + QStringLiteral("-wal")).size() > 0)
        sqlite3_db_config(connection->Handle(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    return connection;
}

std::optional<QString> WhyReadOnly(Connection& connection, const QString& fileName) {
    if (sqlite3_db_readonly(connection.Handle(), "main") == 1)
        return QStringLiteral("Le fichier des fiches %1 est en lecture seule (protégé en "
                              "écriture, ou sur un disque en lecture seule) : Pivanes le lit, "
                              "mais ne peut rien y enregistrer.")
            .arg(Where(fileName));
    const QString folder = QFileInfo(fileName).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return QStringLiteral("Le dossier « %1 » est protégé en écriture : Pivanes y lit le "
                              "fichier des fiches « %2 », mais ne peut rien y enregistrer (chaque "
                              "modification écrit un journal à côté du fichier).")
            .arg(QDir::toNativeSeparators(folder), QFileInfo(fileName).fileName());
    return std::nullopt;
}

std::optional<qint64> CopyInto(Connection& live, FileWriter& file) {
    live.Exec("BEGIN");
    try {
        // The first read takes the shared lock that keeps every writer out of the file until the
        // transaction ends.
        std::optional<qint64> cards = CardCount(live);
        if (live.FirstText("PRAGMA journal_mode") == QLatin1String("wal")) {
            // The file alone lacks what its log holds: the engine copies the pages it reads, and
            // checks the copy whole.
            {
                Connection copy;
                copy.Open(file.TemporaryName(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
                CopyPages(copy, live.Handle());
                copy.Exec("PRAGMA journal_mode = DELETE");
            }
            VerifiedCardCount(file.TemporaryName(), Collection::Check::Whole);
        } else if (!CopyFileBytes(live, file)) {
            cards.reset();
        }
        live.Exec("COMMIT");
        return cards;
    } catch (...) {
        live.ExecQuietly("ROLLBACK");
        throw;
    }
}

void CopyPagesFrom(const QString& source, Connection& into) {
    Connection from;
    from.Open(source, SQLITE_OPEN_READONLY);
    CopyPages(into, from.Handle());
}

qint64 VerifiedCardCount(const QString& fileName, Collection::Check check) {
    CheckHeader(fileName);
    Connection connection;
    connection.Open(fileName, SQLITE_OPEN_READONLY);
    CheckStructure(connection, fileName);
    qint64 cards = -1;
    try {
        if (check == Collection::Check::Cards ||
            connection.FirstText("PRAGMA integrity_check") == QLatin1String("ok"))
            cards = CardCount(connection);
    } catch (const StoreError&) {
        // Reported below like any other damage.
    }
    if (cards < 0)
        throw StoreError(StoreError::Kind::Damaged,
                         QStringLiteral("Le fichier %1 est endommagé.").arg(Where(fileName)));
    return cards;
}

// An empty file holds nothing to lose: it is the work file that a checked copy is written into.
void Create(const QString& fileName) {
    const QFileInfo info(fileName);
    if (info.isSymLink() || (info.exists() && (!info.isFile() || info.size() > 0)))
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Le fichier %1 existe déjà.").arg(Where(fileName)));
    Connection connection;
    connection.Open(fileName, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    connection.Exec("PRAGMA journal_mode = DELETE");
    Schema::CreateCardTable(connection);
    Schema::EnsureTrash(connection);
    Schema::EnsureIndexes(connection);
}

} // namespace LocalFile
