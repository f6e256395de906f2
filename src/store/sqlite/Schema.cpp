#include "store/sqlite/Schema.h"

#include "store/sqlite/Connection.h"
#include "store/sqlite/Sql.h"

#include <map>
#include <string>

namespace {

using SchemaEntries = std::map<std::string, std::string>;

SchemaEntries TitleIndexEntries(Connection& connection) {
    SchemaEntries entries;
    Statement schema(connection, Sql::kTitleIndexSchema);
    schema.Bind(1, QString::fromLatin1(Sql::kTitleIndex));
    while (schema.Step())
        entries[schema.View(0).toByteArray().toStdString()] =
            schema.View(1).toByteArray().toStdString();
    return entries;
}

bool IsOurs(const SchemaEntries& entries) {
    auto table = entries.find(Sql::kTitleIndex);
    if (table == entries.end() || table->second != Sql::kCreateTitleIndex)
        return false;
    for (const auto& [name, sql] : Sql::kTitleTriggers) {
        auto found = entries.find(name);
        if (found == entries.end() || found->second != sql)
            return false;
    }
    return true;
}

void DropTitleIndex(Connection& connection, const SchemaEntries& entries) {
    for (const auto& [name, sql] : entries)
        if (name != Sql::kTitleIndex)
            connection.Exec(("DROP TRIGGER \"" + name + "\"").c_str());
    connection.Exec(Sql::kDropTitleIndex);
}

void BuildTitleIndex(Connection& connection, const SchemaEntries& entries) {
    DropTitleIndex(connection, entries);
    connection.Exec(Sql::kCreateTitleIndex);
    connection.Exec(Sql::kFillTitleIndex);
    for (const auto& trigger : Sql::kTitleTriggers)
        connection.Exec(trigger[1]);
}

// A table of that name that is not an index of titles belongs to someone else.
bool BelongsToAnother(const SchemaEntries& entries) {
    auto table = entries.find(Sql::kTitleIndex);
    return table != entries.end() && table->second.rfind("CREATE VIRTUAL TABLE", 0) != 0;
}

void EnsureTitleIndex(Connection& connection) {
    const SchemaEntries entries = TitleIndexEntries(connection);
    if (IsOurs(entries) || BelongsToAnother(entries))
        return;
    connection.Exec("SAVEPOINT TitleIndex");
    try {
        BuildTitleIndex(connection, entries);
        connection.Exec("RELEASE TitleIndex");
    } catch (const StoreError&) {
        // Without the index, searches read every title.
        connection.ExecQuietly("ROLLBACK TO TitleIndex");
        connection.ExecQuietly("RELEASE TitleIndex");
    }
}

} // namespace

namespace Schema {

void CreateCardTable(Connection& connection) {
    connection.Exec(Sql::kCreateCardTable);
}

bool HasCardTable(Connection& connection) {
    static const char* const kColumns[] = {"numero", "cate", "titre", "pivanes"};
    int found = 0;
    Statement columns(connection, Sql::kCardColumns);
    while (columns.Step())
        for (const char* column : kColumns)
            if (columns.Text(0) == QLatin1String(column))
                ++found;
    return found == 4;
}

void EnsureIndexes(Connection& connection) {
    connection.Exec(Sql::kCreateCategoryIndex);
    EnsureTitleIndex(connection);
}

void EnsureTrash(Connection& connection) {
    connection.Exec(Sql::kCreateTrash);
}

bool HasTrash(Connection& connection) {
    return connection.FirstText(Sql::kHasTrash) == QLatin1String("1");
}

void DropIndexes(Connection& connection) {
    connection.Exec(Sql::kDropCategoryIndex);
    const SchemaEntries entries = TitleIndexEntries(connection);
    if (!BelongsToAnother(entries))
        DropTitleIndex(connection, entries);
}

void PrepareForWrites(Connection& connection) {
    if (connection.WritesPrepared())
        return;
    // Leaving WAL mode fails while another program holds the file in it: nothing is written.
    if (connection.FirstText("PRAGMA journal_mode") != QLatin1String("delete"))
        connection.Exec("PRAGMA journal_mode = DELETE");
    EnsureIndexes(connection);
    connection.SetWritesPrepared();
}

bool TitleIndexIsCurrent(Connection& connection) {
    return IsOurs(TitleIndexEntries(connection));
}

} // namespace Schema
