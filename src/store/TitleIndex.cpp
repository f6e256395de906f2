#include "store/TitleIndex.h"

#include "store/Connection.h"

#include <QString>
#include <map>
#include <sqlite3.h>
#include <string>

namespace TitleIndex {

namespace {

constexpr const char* kTable = "TrucPivane_Titres";

// The index keeps its own copy of the titles: it then takes a card's old entry out by number,
// whatever replaced it, so rows that another program puts in place of others (INSERT OR
// REPLACE, a change of number onto a taken one) leave nothing behind.
constexpr const char* kCreateTable = "CREATE VIRTUAL TABLE TrucPivane_Titres USING fts5(Titre, "
                                     "tokenize='trigram case_sensitive 1', columnsize=0)";

const std::map<std::string, std::string> kTriggers = {
    {"TrucPivane_Titres_Ajout",
     "CREATE TRIGGER TrucPivane_Titres_Ajout AFTER INSERT ON TrucPivane BEGIN "
     "INSERT OR REPLACE INTO TrucPivane_Titres(rowid, Titre) VALUES (new.Numero, new.Titre); "
     "END"},
    {"TrucPivane_Titres_Retrait",
     "CREATE TRIGGER TrucPivane_Titres_Retrait AFTER DELETE ON TrucPivane BEGIN "
     "DELETE FROM TrucPivane_Titres WHERE rowid = old.Numero; END"},
    {"TrucPivane_Titres_Modif",
     "CREATE TRIGGER TrucPivane_Titres_Modif AFTER UPDATE OF Numero, Titre ON TrucPivane "
     "WHEN old.Numero IS NOT new.Numero OR old.Titre IS NOT new.Titre BEGIN "
     "DELETE FROM TrucPivane_Titres WHERE rowid = old.Numero; "
     "INSERT OR REPLACE INTO TrucPivane_Titres(rowid, Titre) VALUES (new.Numero, new.Titre); "
     "END"},
};

constexpr const char* kSchema = "SELECT name, sql FROM sqlite_schema WHERE name = ?1 OR "
                                "(type = 'trigger' AND name LIKE 'TrucPivane\\_Titres\\_%' "
                                "ESCAPE '\\')";

constexpr const char* kUpward = "SELECT rowid, Titre FROM TrucPivane_Titres WHERE "
                                "TrucPivane_Titres MATCH ?2 AND rowid >= ?1 ORDER BY rowid "
                                "LIMIT ?3 OFFSET ?4";
constexpr const char* kDownward = "SELECT rowid, Titre FROM TrucPivane_Titres WHERE "
                                  "TrucPivane_Titres MATCH ?2 AND rowid <= ?1 ORDER BY rowid "
                                  "DESC LIMIT ?3 OFFSET ?4";
constexpr const char* kCount = "SELECT count(*) FROM TrucPivane_Titres WHERE "
                               "TrucPivane_Titres MATCH ?2 AND rowid <= ?1";

std::map<std::string, std::string> SchemaEntries(Connection& connection) {
    std::map<std::string, std::string> entries;
    Statement schema(connection, kSchema);
    schema.Bind(1, QString::fromLatin1(kTable));
    while (schema.Step())
        entries[schema.View(0).toByteArray().toStdString()] =
            schema.View(1).toByteArray().toStdString();
    return entries;
}

bool IsOurs(const std::map<std::string, std::string>& entries) {
    auto table = entries.find(kTable);
    if (table == entries.end() || table->second != kCreateTable)
        return false;
    for (const auto& [name, sql] : kTriggers) {
        auto found = entries.find(name);
        if (found == entries.end() || found->second != sql)
            return false;
    }
    return true;
}

void Build(Connection& connection, const std::map<std::string, std::string>& entries) {
    for (const auto& [name, sql] : entries)
        if (name != kTable)
            connection.Exec(("DROP TRIGGER \"" + name + "\"").c_str());
    connection.Exec("DROP TABLE IF EXISTS TrucPivane_Titres");
    connection.Exec(kCreateTable);
    connection.Exec("INSERT INTO TrucPivane_Titres(rowid, Titre) SELECT Numero, Titre FROM "
                    "TrucPivane");
    for (const auto& entry : kTriggers)
        connection.Exec(entry.second.c_str());
}

} // namespace

bool IsCurrent(Connection& connection) {
    return IsOurs(SchemaEntries(connection));
}

void Ensure(Connection& connection) {
    const auto entries = SchemaEntries(connection);
    if (IsOurs(entries))
        return;
    // A table of that name that is not an index of titles belongs to someone else.
    auto table = entries.find(kTable);
    if (table != entries.end() && table->second.rfind("CREATE VIRTUAL TABLE", 0) != 0)
        return;
    connection.Exec("SAVEPOINT TitleIndex");
    try {
        Build(connection, entries);
        connection.Exec("RELEASE TitleIndex");
    } catch (const StoreError&) {
        // Without the index, searches read every title.
        sqlite3* db = connection.Handle();
        sqlite3_exec(db, "ROLLBACK TO TitleIndex", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE TitleIndex", nullptr, nullptr, nullptr);
    }
}

bool Covers(QByteArrayView keyword) {
    qsizetype characters = 0;
    for (const char byte : keyword) {
        if (byte == '\0')
            return false;
        if ((uchar(byte) & 0xC0) != 0x80)
            ++characters;
    }
    return characters >= 3;
}

Matches::Matches(std::shared_ptr<Connection> connection, QByteArrayView keyword)
    : connection_(std::move(connection)) {
    // One phrase, taken literally: a double quote inside it is doubled.
    QByteArray phrase = keyword.toByteArray();
    phrase.replace('"', "\"\"");
    phrase_ = QLatin1Char('"') + QString::fromUtf8(phrase) + QLatin1Char('"');
}

std::vector<CardRow> Matches::Read(const char* sql, qint64 numero, qint64 skip, qint64 count) {
    std::vector<CardRow> rows;
    if (count <= 0)
        return rows;
    Statement read(*connection_, sql);
    read.Bind(1, numero).Bind(2, phrase_).Bind(3, count).Bind(4, skip);
    while (read.Step())
        rows.push_back({read.Int64(0), read.View(1).toByteArray()});
    return rows;
}

std::vector<CardRow> Matches::Upward(qint64 from, qint64 skip, qint64 count) {
    return Read(kUpward, from, skip, count);
}

std::vector<CardRow> Matches::Downward(qint64 to, qint64 skip, qint64 count) {
    return Read(kDownward, to, skip, count);
}

qint64 Matches::Count(qint64 to) {
    Statement count(*connection_, kCount);
    count.Bind(1, to).Bind(2, phrase_);
    return count.Step() ? count.Int64(0) : 0;
}

} // namespace TitleIndex
