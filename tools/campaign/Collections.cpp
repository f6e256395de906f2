#include "Collections.h"

#include "store/CategoryCatalogue.h"
#include "store/sqlite/Sql.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

const char* const kWords[] = {
    "fenêtre", "clé",   "réseau",  "démarrer", "mémoire", "disque",      "imprimante",
    "écran",   "Œuvre", "naïve",   "ça",       "€",       "straße",      "ÉTÉ",
    "données", "copie", "\t",      "«",        "»",       "'quote'",     "\"guillemets\"",
    "💾",       "Ω",     "fichier", "menu",     "touche",  "C:\\Windows", "100%",
    "a_b",     "x;y",   "ñ",       "你好"};

QByteArray Words(QRandomGenerator& random, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += kWords[random.bounded(int(std::size(kWords)))];
    }
    return text;
}

QByteArray Text(QRandomGenerator& random) {
    // One card in fifty carries a long text: several pages of the database file.
    const int lines = random.bounded(50) == 0 ? 100 + random.bounded(800) : random.bounded(12);
    QByteArray text;
    for (int line = 0; line < lines; ++line) {
        if (line > 0)
            text += "\r\n";
        text += Words(random, random.bounded(25));
    }
    return text;
}

void Check(sqlite3* db, int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        qFatal("%s: %s", what, sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const char* sql) {
    Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

void BindText(sqlite3_stmt* statement, int index, const std::optional<QByteArray>& text) {
    if (text)
        sqlite3_bind_text(statement, index, text->constData(), int(text->size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_null(statement, index);
}

std::optional<QByteArray> Column(sqlite3_stmt* statement, int column) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return std::nullopt;
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
    return QByteArray(bytes, sqlite3_column_bytes(statement, column));
}

QString Describe(const RawCard& card) {
    const auto part = [](const std::optional<QByteArray>& text) {
        return text ? QStringLiteral("%1 bytes \"%2\"")
                          .arg(text->size())
                          .arg(QString::fromUtf8(text->left(40)))
                    : QStringLiteral("NULL");
    };
    return QStringLiteral("card %1 (title %2, text %3)")
        .arg(card.numero)
        .arg(part(card.titre), part(card.pivanes));
}

} // namespace

RawCard RandomCard(QRandomGenerator& random, qint64 numero, const QByteArray& titlePrefix) {
    const auto categories = CategoryCatalogue::All();
    RawCard card;
    card.numero = numero;
    card.cate = QByteArray(categories[std::size_t(random.bounded(int(categories.size())))].code);
    card.titre = titlePrefix + ' ' + QByteArray::number(numero) + ' ' +
                 Words(random, 1 + random.bounded(8)).toUpper();
    card.pivanes = Text(random);
    return card;
}

CardList RandomCards(QRandomGenerator& random, int count, qint64 firstNumero,
                     const QByteArray& titlePrefix) {
    CardList cards;
    for (int i = 0; i < count; ++i)
        cards.push_back(RandomCard(random, firstNumero + i, titlePrefix));
    return cards;
}

void WriteDatabase(const QString& file, const CardList& cards, DatabaseShape shape) {
    QFile::remove(file);
    sqlite3* db = nullptr;
    Check(db,
          sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
          "open");
    Exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; BEGIN");
    Exec(db, Sql::kCreateCardTable);
    if (shape.categoryIndex)
        Exec(db, Sql::kCreateCategoryIndex);
    sqlite3_stmt* insert = nullptr;
    Check(db,
          sqlite3_prepare_v2(db, "INSERT INTO TrucPivane VALUES (?1, ?2, ?3, ?4)", -1, &insert,
                             nullptr),
          "prepare");
    for (const RawCard& card : cards) {
        sqlite3_bind_int64(insert, 1, card.numero);
        BindText(insert, 2, card.cate);
        BindText(insert, 3, card.titre);
        BindText(insert, 4, card.pivanes);
        Check(db, sqlite3_step(insert), "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    if (shape.freePages > 0) {
        Exec(db, "CREATE TABLE Scrap (x BLOB)");
        const QByteArray fill =
            QStringLiteral("INSERT INTO Scrap SELECT zeroblob(3000) FROM "
                           "(WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < %1) SELECT i FROM n)")
                .arg(shape.freePages)
                .toUtf8();
        Exec(db, fill.constData());
        Exec(db, "DROP TABLE Scrap");
    }
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

Inspection Inspect(const QString& file) {
    Inspection result;
    if (!QFileInfo(file).isFile()) {
        result.problem = QStringLiteral("no file");
        return result;
    }
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* statement = nullptr;
    const auto fail = [&](const QString& what) {
        result.problem = what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    };
    if (rc != SQLITE_OK)
        return fail(QStringLiteral("open"));
    sqlite3_busy_timeout(db, 5000);
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        return fail(QStringLiteral("integrity_check"));
    QStringList report;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        report << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    statement = nullptr;
    if (rc != SQLITE_DONE)
        return fail(QStringLiteral("integrity_check"));
    if (report != QStringList{QStringLiteral("ok")}) {
        const QString text =
            report.join(QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        result.problem = QStringLiteral("integrity_check: ") + text.left(300) +
                         (text.size() > 300 ? QStringLiteral("…") : QString());
        sqlite3_close(db);
        return result;
    }
    if (sqlite3_prepare_v2(db,
                           "SELECT Numero, Cate, Titre, Pivanes FROM TrucPivane ORDER BY Numero",
                           -1, &statement, nullptr) != SQLITE_OK)
        return fail(QStringLiteral("read"));
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        result.cards.push_back({sqlite3_column_int64(statement, 0), Column(statement, 1),
                                Column(statement, 2), Column(statement, 3)});
    if (rc != SQLITE_DONE)
        return fail(QStringLiteral("read"));
    sqlite3_finalize(statement);
    statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA freelist_count", -1, &statement, nullptr) != SQLITE_OK ||
        sqlite3_step(statement) != SQLITE_ROW)
        return fail(QStringLiteral("freelist_count"));
    result.freePages = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

CardComparison CompareCards(const CardList& expected, const CardList& found) {
    CardComparison comparison;
    std::size_t e = 0, f = 0;
    while (e < expected.size() || f < found.size()) {
        if (f == found.size() || (e < expected.size() && expected[e].numero < found[f].numero)) {
            ++comparison.lost;
            comparison.differences << QStringLiteral("lost ") + Describe(expected[e++]);
        } else if (e == expected.size() || found[f].numero < expected[e].numero) {
            ++comparison.unexpected;
            comparison.differences << QStringLiteral("unexpected ") + Describe(found[f++]);
        } else {
            if (!(expected[e] == found[f])) {
                ++comparison.changed;
                comparison.differences << QStringLiteral("changed ") + Describe(expected[e]) +
                                              QStringLiteral(" into ") + Describe(found[f]);
            }
            ++e;
            ++f;
        }
    }
    return comparison;
}

QByteArray FileBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void PutFile(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

void RemoveTree(const QString& folder) {
    QDir(folder).removeRecursively();
}

quint64 RunSeed(quint64 campaignSeed, int run) {
    // Spreads neighbouring runs apart (splitmix64).
    quint64 z = campaignSeed * 1000003u + quint64(run) + 0x9e3779b97f4a7c15u;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return (z ^ (z >> 31)) % 1000000000u;
}
