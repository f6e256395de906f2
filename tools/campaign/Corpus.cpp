#include "Corpus.h"

#include "ChildProcess.h"
#include "Collections.h"
#include "Figures.h"
#include "Operations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Maker = std::function<void(const QString&)>;

// ---- Files of every shape ---------------------------------------------------------------------

Maker Bytes(const QByteArray& bytes) {
    return [bytes](const QString& path) { PutFile(path, bytes); };
}

QByteArray Random(QRandomGenerator& random, int size) {
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QByteArray Flipped(QByteArray bytes, QRandomGenerator& random, int flips, qsizetype from,
                   qsizetype to) {
    to = std::min(to, bytes.size());
    if (bytes.isEmpty() || from >= to)
        return bytes;
    for (int i = 0; i < flips; ++i) {
        const qsizetype at = from + qsizetype(random.bounded(quint64(to - from)));
        bytes[at] = char(bytes[at] ^ char(1 + random.bounded(255)));
    }
    return bytes;
}

QByteArray BigEndian(quint64 value, int width) {
    QByteArray bytes(width, '\0');
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        bytes[i] = char(value & 0xff);
    return bytes;
}

QByteArray Patched(QByteArray bytes, qsizetype offset, const QByteArray& patch) {
    bytes.replace(offset, patch.size(), patch);
    return bytes;
}

void Special(const QString& path, const QString& kind) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        ::mkfifo(name.constData(), 0644);
    else if (kind == QLatin1String("directory"))
        QDir().mkpath(path);
    else if (kind == QLatin1String("socket")) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            qWarning("no socket made at %s", name.constData());
        ::close(fd);
    } else if (kind.startsWith(QLatin1String("link:"))) {
        QFile::link(kind.mid(5), path);
    }
}

std::vector<std::pair<QString, Maker>> SpecialFiles(const QString& scratch,
                                                    const QString& regularTarget) {
    std::vector<std::pair<QString, Maker>> files;
    const QString folderTarget = scratch + QStringLiteral("/a-folder");
    QDir().mkpath(folderTarget);
    for (const QString& kind :
         {QStringLiteral("fifo"), QStringLiteral("directory"), QStringLiteral("socket"),
          QStringLiteral("link:/nonexistent/nowhere"), QStringLiteral("link:") + folderTarget,
          QStringLiteral("link:/dev/zero"), QStringLiteral("link:/dev/null"),
          QStringLiteral("link:/dev/urandom"), QStringLiteral("link:") + regularTarget})
        files.emplace_back(QStringLiteral("special file: ") + kind,
                           [kind](const QString& path) { Special(path, kind); });
    return files;
}

// ---- Databases --------------------------------------------------------------------------------

void RunSql(const QString& path, const QByteArray& script) {
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qFatal("corpus script failed (%s): %s", error, script.left(200).constData());
    sqlite3_close(db);
}

Maker Sql(const QByteArray& script) {
    return [script](const QString& path) { RunSql(path, script); };
}

// Rows numbered 1 to count in table, as the program's four columns.
QByteArray Rows(const char* table, int count) {
    return QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                          "i < %2) INSERT INTO %1 (Numero, Cate, Titre, Pivanes) SELECT i, 'WIN', "
                          "'TITRE ' || i, 'Texte ' || i || char(13, 10) || 'ligne deux' FROM n;")
        .arg(QString::fromLatin1(table))
        .arg(count)
        .toUtf8();
}

const QByteArray kTable =
    "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, Pivanes TEXT);";

std::vector<std::pair<QString, Maker>> WrongSchemas() {
    const QByteArray rows = Rows("TrucPivane", 30);
    return {
        {"no table at all", Sql("PRAGMA user_version = 7;")},
        {"another table only", Sql("CREATE TABLE Autre (x); INSERT INTO Autre VALUES (1);")},
        {"no Pivanes column", Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate "
                                  "TEXT, Titre TEXT); INSERT INTO TrucPivane VALUES (1, 'WIN', "
                                  "'T');")},
        {"an extra column", Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, "
                                "Titre TEXT, Pivanes TEXT, Extra BLOB NOT NULL DEFAULT x'00');" +
                                rows)},
        {"columns in another order", Sql("CREATE TABLE TrucPivane (Pivanes TEXT, Titre TEXT, Cate "
                                         "TEXT, Numero INTEGER PRIMARY KEY);" +
                                         rows)},
        {"names in small letters", Sql("CREATE TABLE trucpivane (numero INTEGER PRIMARY KEY, cate, "
                                       "titre, pivanes);" +
                                       rows)},
        {"the table is a view", Sql("CREATE TABLE T (Numero, Cate, Titre, Pivanes);" +
                                    Rows("T", 20) + "CREATE VIEW TrucPivane AS SELECT * FROM T;")},
        {"a table without row ids",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, "
             "Titre, Pivanes) WITHOUT ROWID;" +
             rows)},
        {"numbers as text keys",
         Sql("CREATE TABLE TrucPivane (Numero TEXT PRIMARY KEY, Cate, Titre, "
             "Pivanes); INSERT INTO TrucPivane VALUES ('abc', 'WIN', 'T', "
             "'x'), ('12', 'WIN', 'U', 'y');")},
        {"numbers repeated and missing",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER, Cate, Titre, Pivanes); INSERT INTO "
             "TrucPivane VALUES (1, 'WIN', 'A', 'a'), (1, 'WIN', 'B', 'b'), (NULL, 'WIN', 'C', "
             "'c'), "
             "(-5, 'WIN', 'D', 'd');")},
        {"a strict table",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre "
             "TEXT, Pivanes TEXT) STRICT;" +
             rows)},
        {"a full-text table", Sql("CREATE VIRTUAL TABLE TrucPivane USING fts5(Numero, Cate, Titre, "
                                  "Pivanes); INSERT INTO TrucPivane VALUES (1, 'WIN', 'T', 'x');")},
        {"a trigger that refuses writes",
         Sql(kTable + rows +
             "CREATE TRIGGER Non BEFORE INSERT ON TrucPivane BEGIN SELECT RAISE(ABORT, 'non'); "
             "END;")},
        {"a generated text column",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, "
             "Titre, Pivanes AS (Titre || '!'));"
             "INSERT INTO TrucPivane (Numero, Cate, Titre) VALUES (1, "
             "'WIN', 'T');")},
        {"a broken schema text",
         Sql(kTable + rows +
             "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = 'CREATE TABLE "
             "TrucPivane (' WHERE name = 'TrucPivane'; PRAGMA writable_schema = OFF;")},
        {"a schema with fewer columns than the rows",
         Sql(kTable + rows +
             "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = 'CREATE TABLE "
             "TrucPivane (Numero INTEGER PRIMARY KEY, Cate)' WHERE name = 'TrucPivane'; PRAGMA "
             "writable_schema = OFF;")},
        {"an index on an unknown collation",
         Sql(kTable + rows +
             "CREATE INDEX Bad ON TrucPivane (Cate); PRAGMA writable_schema = ON; UPDATE "
             "sqlite_schema SET sql = 'CREATE INDEX Bad ON TrucPivane (Cate COLLATE nulle)' WHERE "
             "name = 'Bad'; PRAGMA writable_schema = OFF;")},
        {"the category index on another column",
         Sql(kTable + rows + "CREATE INDEX TrucPivane_Cate ON TrucPivane (Titre);")},
        {"a thousand other tables", Sql(kTable + rows +
                                        [] {
                                            QByteArray tables;
                                            for (int i = 0; i < 1000; ++i)
                                                tables += "CREATE TABLE Autre" +
                                                          QByteArray::number(i) + " (x);";
                                            return tables;
                                        }())},
        {"pages of 512 bytes", Sql("PRAGMA page_size = 512;" + kTable + Rows("TrucPivane", 300))},
        {"pages of 64 KiB", Sql("PRAGMA page_size = 65536;" + kTable + Rows("TrucPivane", 300))},
        {"automatic vacuum", Sql("PRAGMA auto_vacuum = FULL;" + kTable + Rows("TrucPivane", 300))},
        {"text stored as UTF-16",
         Sql("PRAGMA encoding = 'UTF-16le';" + kTable + Rows("TrucPivane", 50) +
             "UPDATE TrucPivane SET Titre = 'ÉTÉ 💾' WHERE Numero = 3;")},
        {"text stored as UTF-16 big-endian",
         Sql("PRAGMA encoding = 'UTF-16be';" + kTable + Rows("TrucPivane", 50))},
        {"write-ahead log mode", Sql(kTable + rows + "PRAGMA journal_mode = WAL;")},
        {"an empty card table", Sql(kTable)},
        {"twenty thousand cards", Sql(kTable + Rows("TrucPivane", 20000))},
    };
}

// Files that carry more than cards: code of another program that reading or writing the cards
// would run, and tables of cards of another shape.
std::vector<std::pair<QString, Maker>> CraftedSchemas() {
    const QByteArray rows = Rows("TrucPivane", 30);
    const QByteArray cards = kTable + rows;
    return {
        {"an endless recursive view as the table",
         Sql("CREATE VIEW TrucPivane (Numero, Cate, Titre, Pivanes) AS WITH RECURSIVE n(i) AS "
             "(SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i, 'WIN', 'T', 'x' FROM n;")},
        {"a trigger that empties the table on every insert",
         Sql(cards + "CREATE TRIGGER Vide AFTER INSERT ON TrucPivane BEGIN DELETE FROM TrucPivane "
                     "WHERE Numero <> new.Numero; END;")},
        {"a trigger that writes into another table on every update",
         Sql(cards + "CREATE TABLE Journal (x); CREATE TRIGGER Note AFTER UPDATE ON TrucPivane "
                     "BEGIN INSERT INTO Journal VALUES (new.Titre); END;")},
        {"a trigger on the trash",
         Sql(cards + "CREATE TABLE TrucPivane_Corbeille (Numero INTEGER PRIMARY KEY, Cate TEXT, "
                     "Titre TEXT, Pivanes TEXT, Supprimee TEXT NOT NULL); CREATE TRIGGER Remet "
                     "AFTER INSERT ON TrucPivane_Corbeille BEGIN DELETE FROM TrucPivane; END;")},
        {"the program's title trigger rewritten",
         Sql(cards + "CREATE TRIGGER TrucPivane_Titres_Ajout AFTER INSERT ON TrucPivane BEGIN "
                     "DELETE FROM TrucPivane; END;")},
        {"an endless view beside the cards",
         Sql(cards + "CREATE VIEW Toujours AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                     "i + 1 FROM n) SELECT i FROM n;")},
        {"a view in place of the title index",
         Sql(cards + "CREATE VIEW TrucPivane_Titres AS SELECT Numero AS rowid, Titre FROM "
                     "TrucPivane;")},
        {"a view in place of the trash",
         Sql(cards + "CREATE VIEW TrucPivane_Corbeille AS SELECT *, '' AS Supprimee FROM "
                     "TrucPivane;")},
        {"an index on an expression",
         Sql(cards + "CREATE INDEX Longueur ON TrucPivane (length(Pivanes) * 2);")},
        {"an index on some rows",
         Sql(cards + "CREATE INDEX Certaines ON TrucPivane (Titre) WHERE Cate = 'WIN';")},
        {"a unique index on an expression of the title",
         Sql(cards + "CREATE UNIQUE INDEX Unique_ ON TrucPivane (lower(Titre));")},
        {"a stored generated column",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, Titre, Pivanes, Taille "
             "INTEGER AS (length(Pivanes)) STORED);" +
             rows)},
        {"a table without row ids with its four columns",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, "
             "Pivanes TEXT) WITHOUT ROWID;" +
             rows)},
        {"numbers that are not the row id",
         Sql("CREATE TABLE TrucPivane (Numero INTEGER, Cate TEXT, Titre TEXT, Pivanes TEXT, "
             "PRIMARY KEY (Cate, Numero));" +
             rows)},
    };
}

std::vector<std::pair<QString, Maker>> OddValues() {
    std::vector<std::pair<QString, Maker>> files;
    const auto value = [&](const QString& what, const QByteArray& row) {
        files.emplace_back(what, Sql(kTable + Rows("TrucPivane", 5) +
                                     "INSERT INTO TrucPivane VALUES " + row + ";"));
    };
    for (const char* numero : {"2147483647", "2147483648", "4294967296", "9223372036854775807",
                               "-1", "0", "-9223372036854775808"})
        value(QStringLiteral("card number %1").arg(QLatin1String(numero)),
              QByteArray("(") + numero + ", 'WIN', 'GRAND', 'texte')");
    value(QStringLiteral("NULL category, title and text"), "(100, NULL, NULL, NULL)");
    value(QStringLiteral("NULL title"), "(100, 'WIN', NULL, 'texte')");
    value(QStringLiteral("NULL text"), "(100, 'WIN', 'T', NULL)");
    files.emplace_back(
        QStringLiteral("every title NULL"),
        Sql(kTable + Rows("TrucPivane", 40) + "UPDATE TrucPivane SET Titre = NULL;"));
    value(QStringLiteral("a title of 100 KB"), "(100, 'WIN', printf('%.*c', 100000, 'T'), 'x')");
    value(QStringLiteral("a title of 1 MB"), "(100, 'WIN', printf('%.*c', 1000000, 'T'), 'x')");
    value(QStringLiteral("a text of 1 MB on one line"),
          "(100, 'WIN', 'T', printf('%.*c', 1000000, 'x'))");
    value(QStringLiteral("a text of 1 MB in short lines"),
          "(100, 'WIN', 'T', replace(printf('%.*c', 100000, 'x'), 'x', 'ligne' || char(13, 10)))");
    value(QStringLiteral("a category of 100 KB"), "(100, printf('%.*c', 100000, 'W'), 'T', 'x')");
    value(QStringLiteral("a title that is a number"), "(100, 'WIN', 12345, 'x')");
    value(QStringLiteral("a title that is a real"), "(100, 'WIN', 1.5e300, 'x')");
    value(QStringLiteral("a text that is a blob"), "(100, 'WIN', 'T', x'00010203fffe')");
    value(QStringLiteral("a title that is a blob"), "(100, 'WIN', x'00ff00ff', 'x')");
    value(QStringLiteral("a category that is a number"), "(100, 42, 'T', 'x')");
    for (const char* bytes : {"fffe", "80", "c0af", "eda080", "f4908080", "e282", "410042",
                              "f888808080", "efbfbf", "00"}) {
        value(QStringLiteral("a title with the bytes %1").arg(QLatin1String(bytes)),
              QByteArray("(100, 'WIN', CAST(x'41") + bytes + "42' AS TEXT), 'x')");
        value(QStringLiteral("a text with the bytes %1").arg(QLatin1String(bytes)),
              QByteArray("(100, 'WIN', 'T', CAST(x'41") + bytes + "42' AS TEXT))");
    }
    value(QStringLiteral("a category with bytes ff"), "(100, CAST(x'57ff4e' AS TEXT), 'T', 'x')");
    return files;
}

struct HeaderField {
    QString what;
    qsizetype offset;
    QByteArray bytes;
};

std::vector<HeaderField> HeaderFields() {
    std::vector<HeaderField> fields;
    const auto field = [&](int offset, int width, std::initializer_list<quint64> values) {
        for (quint64 v : values)
            fields.push_back({QStringLiteral("header byte %1 set to %2").arg(offset).arg(v), offset,
                              BigEndian(v, width)});
    };
    field(16, 2, {0, 1, 3, 256, 511, 768, 0x2000, 0x8000, 0xFFFF});
    field(18, 1, {0, 2, 3, 255});
    field(19, 1, {0, 2, 3, 255});
    field(20, 1, {1, 64, 255});
    field(21, 1, {0, 255});
    field(22, 1, {0});
    field(23, 1, {0});
    field(28, 4, {0, 1, 0x7FFFFFFF, 0xFFFFFFFF});
    field(32, 4, {1, 0x7FFFFFFF});
    field(36, 4, {0xFFFFFFFF});
    field(40, 4, {0xFFFFFFFF});
    field(44, 4, {0, 5, 0xFFFFFFFF});
    field(48, 4, {0x80000000});
    field(52, 4, {1, 0xFFFFFFFF});
    field(56, 4, {0, 2, 3, 4, 0xFFFFFFFF});
    field(64, 4, {1});
    field(72, 4, {0xFFFFFFFF});
    field(96, 4, {0});
    field(100, 1, {0, 0x0D, 0xFF});
    field(101, 2, {0xFFFF});
    field(103, 2, {0xFFFF});
    field(105, 2, {0, 1});
    return fields;
}

// ---- Markers and page states -----------------------------------------------------------------

std::vector<std::pair<QString, QByteArray>> MarkerShapes(QRandomGenerator& random) {
    const QByteArray crlf = "\r\n";
    return {
        {"empty", {}},
        {"one line end", crlf},
        {"one line", "/tmp/SauvePivane/\r\n"},
        {"two lines", "/tmp/SauvePivane/\r\n/tmp/\r\n"},
        {"no final line end", "/tmp/SauvePivane/\r\n/tmp/\r\n09/03/2026"},
        {"line feeds only", "/tmp/SauvePivane/\n/tmp/\n09/03/2026\n"},
        {"carriage returns only", "/tmp/SauvePivane/\r/tmp/\r09/03/2026\r"},
        {"four lines", "/tmp/SauvePivane/\r\n/tmp/\r\n09/03/2026\r\nencore\r\n"},
        {"a thousand lines", QByteArray("ligne\r\n").repeated(1000)},
        {"three empty lines", crlf.repeated(3)},
        {"a line of 100 KB", QByteArray(100000, 'x') + "\r\n/tmp/\r\n09/03/2026\r\n"},
        {"one line of 10 MB", QByteArray(10000000, 'x')},
        {"10 MB of line ends", QByteArray(10000000, '\n')},
        {"NUL bytes in the lines", QByteArray("/tmp/\0Sauve/\r\n/\0/\r\n09/\0/2026\r\n", 30)},
        {"NUL bytes only", QByteArray(100, '\0')},
        {"invalid UTF-8", "/tmp/\xff\xfe\xc0\xaf/\r\n/tmp/\xed\xa0\x80\r\n09/03/2026\r\n"},
        {"Latin-1 accents", "/tmp/Donn\xe9\x65s/\r\n/tmp/\r\n09/03/2026\r\n"},
        {"UTF-8 accents", "/tmp/Données été/\r\n/tmp/\r\n09/03/2026\r\n"},
        {"UTF-16 with its byte-order mark", QByteArray("\xff\xfe/\0t\0m\0p\0/\0\r\0\n\0/\0\r\0\n\0"
                                                       "0\0"
                                                       "9\0\r\0\n\0",
                                                       28)},
        {"UTF-8 byte-order mark", "\xef\xbb\xbf/tmp/SauvePivane/\r\n/tmp/\r\n09/03/2026\r\n"},
        {"terminal escapes", "\x1b[31m/tmp/\x1b[0m\r\n\x07/tmp/\r\n09/03/2026\r\n"},
        {"a folder going up", "../../../../../../\r\n../..\r\n09/03/2026\r\n"},
        {"an impossible date", "/tmp/SauvePivane/\r\n/tmp/\r\n31/02/99999\r\n"},
        {"a relative folder", "SauvePivane\r\n.\r\n09/03/2026\r\n"},
        {"the root folder", "/\r\n/\r\n09/03/2026\r\n"},
        {"a folder that is a device", "/dev/zero/\r\n/dev/\r\n09/03/2026\r\n"},
        {"random bytes", Random(random, 300)},
    };
}

std::vector<std::pair<QString, QByteArray>> PageStateShapes(QRandomGenerator& random) {
    return {
        {"empty", {}},
        {"one number", "12\r\n"},
        {"words", "douze\r\ntrois cents\r\n"},
        {"numbers beyond 32 bits", "99999999999999999999\r\n300\r\n"},
        {"2^31", "2147483648\r\n2147483648\r\n"},
        {"below -2^31", "-2147483649\r\n-1\r\n"},
        {"negative numbers", "-12\r\n-300\r\n"},
        {"a mark beyond the total", "12\r\n999999\r\n"},
        {"reals", "1.5\r\n3e9\r\n"},
        {"hexadecimal", "0x10\r\n0xFF\r\n"},
        {"signs", "+5\r\n+300\r\n"},
        {"blanks and tabs", "  12 \t\r\n\t 300  \r\n"},
        {"NUL bytes", QByteArray("1\0"
                                 "2\r\n3\0"
                                 "00\r\n",
                                 10)},
        {"invalid UTF-8", "\xff\xfe\r\n\xc0\xaf\r\n"},
        {"Arabic digits", "١٢\r\n٣٠٠\r\n"},
        {"full-width digits", "１２\r\n３００\r\n"},
        {"10 MB of digits", QByteArray(10000000, '7')},
        {"numbers after 4 KB of blanks", QByteArray(4096, ' ') + "12\r\n300\r\n"},
        {"a thousand lines", QByteArray("12\r\n").repeated(1000)},
        {"line feeds only", "12\n300\n"},
        {"carriage returns only", "12\r300\r"},
        {"no line end", "12 300"},
        {"zeros", "0\r\n0\r\n"},
        {"leading zeros", "0000000000000000000012\r\n000300\r\n"},
        {"random bytes", Random(random, 64)},
        {"random bytes, longer", Random(random, 5000)},
    };
}

void AddVariants(std::vector<BadFile>& files, FileKind kind, const QByteArray& valid,
                 QRandomGenerator& random, int flips) {
    for (qsizetype length = 0; length < valid.size();
         length += std::max<qsizetype>(1, valid.size() / 12))
        files.push_back({kind, QStringLiteral("valid file cut at %1 bytes").arg(length),
                         Bytes(valid.left(length))});
    for (int i = 0; i < flips; ++i) {
        const int count = 1 + random.bounded(4);
        files.push_back({kind,
                         QStringLiteral("valid file with %1 bytes flipped (%2)").arg(count).arg(i),
                         Bytes(Flipped(valid, random, count, 0, valid.size()))});
    }
}

// ---- Opening and checking ---------------------------------------------------------------------

const char* FileNameFor(FileKind kind) {
    switch (kind) {
    case FileKind::Database:
        return "Pivane.mdb";
    case FileKind::Marker:
        return "Sauve.kor";
    case FileKind::PageState:
        return "Liste";
    }
    return "";
}

// What opening must leave as it was: the entry, its times, and the bytes of a regular file.
struct Snapshot {
    QByteArray state;
    QStringList entries;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const QString& folder, const QString& path) {
    Snapshot snapshot;
    snapshot.entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                              QDir::NoDotAndDotDot);
    struct stat link {};
    if (::lstat(QFile::encodeName(path).constData(), &link) != 0)
        return snapshot;
    snapshot.state = QByteArray::number(link.st_mode) + ' ' + QByteArray::number(link.st_size) +
                     ' ' + QByteArray::number(qint64(link.st_mtim.tv_sec)) + '.' +
                     QByteArray::number(qint64(link.st_mtim.tv_nsec));
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) == 0 && S_ISREG(target.st_mode))
        snapshot.state +=
            ' ' + QByteArray::number(qint64(target.st_mtim.tv_nsec)) + ' ' +
            QCryptographicHash::hash(FileBytes(path), QCryptographicHash::Sha1).toHex();
    return snapshot;
}

// Puts the file's times in the past, so that any write shows in them whatever the clock's grain.
void Age(const QString& path) {
    const timespec past[2] = {{1577880000, 123456789}, {1577880000, 123456789}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), past, AT_SYMLINK_NOFOLLOW);
}

QStringList NewEntries(const QStringList& before, const QStringList& after) {
    QStringList added;
    for (const QString& entry : after)
        if (!before.contains(entry))
            added << entry;
    return added;
}

} // namespace

QString NameOf(FileKind kind) {
    return QString::fromLatin1(FileNameFor(kind));
}

std::vector<BadFile> BadFiles(quint64 seed, const QString& scratch) {
    QRandomGenerator random = Seeded(seed ^ 0xC0);
    std::vector<BadFile> files;
    QDir().mkpath(scratch);

    // Databases: two whole collections, one without the category index like a foreign file.
    const QString indexed = scratch + QStringLiteral("/indexed.mdb");
    const QString foreign = scratch + QStringLiteral("/foreign.mdb");
    WriteDatabase(indexed, RandomCards(random, 60, 1, "FICHE"), {20, true});
    WriteDatabase(foreign, RandomCards(random, 60, 1, "FICHE"), {0, false});
    const QByteArray indexedBytes = FileBytes(indexed);
    const QByteArray foreignBytes = FileBytes(foreign);
    const auto database = [&](const QString& what, Maker make) {
        files.push_back({FileKind::Database, what, std::move(make)});
    };
    database(QStringLiteral("whole collection"), Bytes(indexedBytes));
    database(QStringLiteral("whole collection without the category index"), Bytes(foreignBytes));
    for (const auto& [what, make] : WrongSchemas())
        database(QStringLiteral("wrong schema: ") + what, make);
    for (const auto& [what, make] : CraftedSchemas())
        database(QStringLiteral("crafted: ") + what, make);
    for (const auto& [what, make] : OddValues())
        database(what, make);
    for (const HeaderField& field : HeaderFields())
        database(field.what, Bytes(Patched(foreignBytes, field.offset, field.bytes)));
    for (const QByteArray* valid : {&foreignBytes, &indexedBytes}) {
        for (qsizetype length : {0, 1, 15, 16, 17, 99, 100, 101, 512, 4095, 4096, 4097, 8192})
            database(QStringLiteral("collection cut at %1 bytes").arg(length),
                     Bytes(valid->left(length)));
        for (int part = 1; part < 8; ++part)
            database(QStringLiteral("collection cut at %1/8").arg(part),
                     Bytes(valid->left(valid->size() * part / 8)));
        database(QStringLiteral("collection with a byte added"), Bytes(*valid + '\0'));
        database(QStringLiteral("collection with a page of random bytes added"),
                 Bytes(*valid + Random(random, 4096)));
    }
    const qsizetype pages = foreignBytes.size() / 4096;
    for (int i = 0; i < 170; ++i) {
        const QByteArray& valid = i % 2 ? indexedBytes : foreignBytes;
        const int count = std::array{1, 2, 4, 16, 64}[std::size_t(random.bounded(5))];
        const int region = random.bounded(4);
        const qsizetype from = region == 0 ? 0 : region == 1 ? 100 : region == 2 ? 4096 : 0;
        const qsizetype to = region == 0 ? 100 : region == 1 ? 4096 : valid.size();
        database(QStringLiteral("collection with %1 bytes flipped in %2 (%3)")
                     .arg(count)
                     .arg(QStringList{"the header", "the first page", "the other pages",
                                      "any page"}[region])
                     .arg(i),
                 Bytes(Flipped(valid, random, count, from, to)));
    }
    for (qsizetype page = 0; page < pages; page += std::max<qsizetype>(1, pages / 10)) {
        QByteArray zeroed = foreignBytes;
        zeroed.replace(page * 4096, 4096, QByteArray(4096, '\0'));
        database(QStringLiteral("collection with page %1 zeroed").arg(page + 1), Bytes(zeroed));
        QByteArray noise = foreignBytes;
        noise.replace(page * 4096, 4096, Random(random, 4096));
        database(QStringLiteral("collection with page %1 random").arg(page + 1), Bytes(noise));
    }
    database(QStringLiteral("a Jet database header"),
             Bytes(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + Random(random, 4000)));
    database(QStringLiteral("an SQLite header then zeros"),
             Bytes(QByteArray("SQLite format 3\0", 16) + QByteArray(8000, '\0')));
    database(QStringLiteral("an SQLite header then random bytes"),
             Bytes(QByteArray("SQLite format 3\0", 16) + Random(random, 8000)));
    for (int size : {1, 100, 4096, 100000})
        database(QStringLiteral("%1 random bytes").arg(size), Bytes(Random(random, size)));
    database(QStringLiteral("a text file"), Bytes("Ceci n'est pas une base.\r\n"));
    database(QStringLiteral("a ZIP header"),
             Bytes(QByteArray("PK\x03\x04", 4) + Random(random, 500)));
    for (const auto& [what, make] : SpecialFiles(scratch, indexed))
        database(what, make);

    const auto smallFiles = [&](FileKind kind, const QByteArray& valid,
                                const std::vector<std::pair<QString, QByteArray>>& shapes,
                                int flips) {
        for (const auto& [what, bytes] : shapes)
            files.push_back({kind, what, Bytes(bytes)});
        AddVariants(files, kind, valid, random, flips);
        const QString target = scratch + QLatin1Char('/') + NameOf(kind);
        PutFile(target, valid);
        for (const auto& [what, make] : SpecialFiles(scratch, target))
            files.push_back({kind, what, make});
    };
    smallFiles(FileKind::Marker, "/tmp/SauvePivane/\r\n/tmp/\r\n09/03/2026\r\n",
               MarkerShapes(random), 50);
    smallFiles(FileKind::PageState, "12\r\n300\r\n", PageStateShapes(random), 40);
    return files;
}

int OpenAsTheProgramDoes(FileKind kind, int& argc, char** argv) {
    Operations::Opening opening;
    if (kind == FileKind::Database) {
        const auto windows = Operations::StartWindows(argc, argv);
        AwaitGo();
        opening = Operations::OpenDatabaseFile();
    } else {
        AwaitGo();
        opening = kind == FileKind::Marker ? Operations::ReadMarker() : Operations::ReadPageState();
    }
    std::printf("%s\n", opening.refused ? "refused" : "accepted");
    for (const QString& message : opening.messages)
        std::printf(
            "message %s\n",
            QString(message).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8().constData());
    std::fflush(stdout);
    return 0;
}

namespace {

// A bad file in its folder, with its child starting.
struct PendingFile {
    std::size_t index;
    QString folder;
    QString path;
    Snapshot before;
    std::unique_ptr<ChildProcess> child;
};

PendingFile StartFile(const std::vector<BadFile>& all, std::size_t index, const QString& folder) {
    const BadFile& file = all[index];
    RemoveTree(folder);
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + NameOf(file.kind);
    file.make(path);
    Age(path);
    PendingFile pending{index, folder, path, Take(folder, path), {}};
    pending.child = std::make_unique<ChildProcess>(
        QStringList{QStringLiteral("open"), NameOf(file.kind), folder});
    return pending;
}

} // namespace

void RunCorpus(const CorpusSettings& settings, Figures& figures) {
    const QString root = settings.work + QStringLiteral("/corpus");
    RemoveTree(root);
    const std::vector<BadFile> all = BadFiles(settings.seed, root + QStringLiteral("/scratch"));
    std::vector<std::size_t> chosen;
    const std::size_t count = std::min<std::size_t>(all.size(), std::size_t(settings.files));
    for (std::size_t i = 0; i < count; ++i)
        chosen.push_back(i * all.size() / count);
    if (settings.only >= 0)
        chosen = {std::size_t(settings.only) % all.size()};
    std::fprintf(stderr, "bad files: %zu of %zu\n", chosen.size(), all.size());
    // The next file's child starts while the last one is checked, in the other folder.
    const QString folders[2] = {root + QStringLiteral("/even"), root + QStringLiteral("/odd")};
    std::optional<PendingFile> next = StartFile(all, chosen[0], folders[0]);
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        PendingFile current = std::move(*next);
        next.reset();
        if (i + 1 < chosen.size())
            next = StartFile(all, chosen[i + 1], folders[(i + 1) % 2]);
        const std::size_t index = current.index;
        const BadFile& file = all[index];
        const QString& folder = current.folder;
        const QString& path = current.path;
        const Snapshot& before = current.before;
        ChildProcess& child = *current.child;
        if (child.ReadLine(std::chrono::seconds(settings.timeoutSeconds)) == QByteArray("ready"))
            child.Write("go\n");
        const ChildProcess::End end = child.Wait(std::chrono::seconds(settings.timeoutSeconds));
        const QList<QByteArray> lines = child.RemainingLines();
        const Snapshot after = Take(folder, path);

        ++figures.filesOpened;
        ++figures.filesByKind[NameOf(file.kind)];
        const QString what = QStringLiteral("%1, %2").arg(NameOf(file.kind), file.description);
        const QString replay = QStringLiteral("--seed %1 --file %2").arg(settings.seed).arg(index);
        if (child.TimedOut()) {
            ++figures.hangs;
            figures.Find(
                QStringLiteral("bad files"),
                what + QStringLiteral(": still opening after %1 s").arg(settings.timeoutSeconds),
                replay);
        } else if (end.Crashed() || end.exitCode != 0) {
            ++figures.crashes;
            figures.Find(QStringLiteral("bad files"), what + QStringLiteral(": ") + end.Describe(),
                         replay);
        }
        if (end.SanitizerReport())
            ++figures.sanitizerReports;
        const bool refused = lines.contains("refused");
        figures.filesRefused += refused ? 1 : 0;
        QStringList messages;
        for (const QByteArray& line : lines)
            if (line.startsWith("message "))
                messages << QString::fromUtf8(line.mid(8));
        const bool needsMessage = refused && file.kind == FileKind::Database;
        bool french = !(needsMessage && messages.isEmpty());
        for (const QString& message : messages)
            french = french && SaysItInFrench(message);
        if (!french && !child.TimedOut()) {
            ++figures.filesWithoutFrenchMessage;
            figures.Find(QStringLiteral("bad files"),
                         what + QStringLiteral(": no French message: ") +
                             messages.join(QStringLiteral(" / ")),
                         replay);
        }
        if (before.state != after.state) {
            ++figures.filesChangedByOpening;
            figures.Find(QStringLiteral("bad files"), what + QStringLiteral(": changed by opening"),
                         replay);
        }
        const QStringList added = NewEntries(before.entries, after.entries);
        if (!added.isEmpty()) {
            ++figures.sideFilesLeft;
            std::fprintf(stderr, "%s: left %s\n", qPrintable(what), qPrintable(added.join(' ')));
        }
    }
    RemoveTree(root);
}
