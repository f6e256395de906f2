#include "store/sqlite/Schema.h"

#include "store/TextSearch.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/Sql.h"

#include <QRegularExpression>
#include <algorithm>
#include <bitset>
#include <map>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

// A full-text index of the card table, kept in step by triggers: what makes it, in order.
struct TriggeredIndex {
    std::string table;
    std::string create;
    std::string fill;
    std::string work; // a working table of its triggers, or none
    std::string createWork;
    std::string triggerNames; // a LIKE pattern
    std::vector<std::pair<std::string, std::string>> triggers;
};

// FOLD(x) written out: x with every expansion replaced.
std::string WithFolding(const char* sql) {
    QString folded = QStringLiteral("\\1");
    for (const auto& [from, to] : TextFolding::kExpansions)
        folded = QStringLiteral("replace(%1, '%2', '%3')")
                     .arg(folded, QString::fromUtf8(from), QString::fromLatin1(to));
    return QString::fromUtf8(sql)
        .replace(QRegularExpression(QStringLiteral("FOLD\\(([^)]*)\\)")), folded)
        .toStdString();
}

std::size_t BytePair(std::string_view bytes, std::size_t at) {
    return std::size_t(static_cast<unsigned char>(bytes[at])) << 8 |
           static_cast<unsigned char>(bytes[at + 1]);
}

// FOLD(x) in one pass over x's UTF-8 bytes. The expansions are whole characters, which never
// overlap, and what replaces them is ASCII, which no expansion holds: the chain of replace()
// finds the same ones, and gives the same bytes.
void FoldInOnePass(sqlite3_context* context, int, sqlite3_value** arguments) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    static const auto expansions = [] {
        std::vector<std::pair<std::string, std::string>> all;
        all.reserve(TextFolding::kExpansions.size());
        for (const auto& [from, to] : TextFolding::kExpansions)
            all.emplace_back(from, to);
        return all;
    }();
    // The first two bytes of every expansion, each a character of two bytes or more. French
    // texts are full of other such characters (é, è, à), which this passes over at once.
    static const auto starts = [] {
        std::bitset<1 << 16> pairs;
        for (const auto& expansion : expansions)
            pairs.set(BytePair(expansion.first, 0));
        return pairs;
    }();
    // Below the lowest first byte of an expansion (ASCII, most of a text) nothing starts one.
    static const unsigned char kFirstStart = [] {
        unsigned char lowest = 0xFF;
        for (const auto& expansion : expansions)
            lowest = std::min(lowest, static_cast<unsigned char>(expansion.first.front()));
        return lowest;
    }();
    const std::string_view bytes(text, std::size_t(sqlite3_value_bytes(arguments[0])));
    std::string folded;
    std::size_t copied = 0;
    for (std::size_t at = 0; at + 1 < bytes.size(); ++at) {
        if (static_cast<unsigned char>(bytes[at]) < kFirstStart || !starts[BytePair(bytes, at)])
            continue;
        const std::string_view rest = bytes.substr(at);
        const auto found = std::find_if(expansions.begin(), expansions.end(),
                                        [&](const auto& e) { return rest.starts_with(e.first); });
        if (found == expansions.end())
            continue;
        if (copied == 0)
            folded.reserve(bytes.size());
        folded.append(bytes.substr(copied, at - copied)).append(found->second);
        at += found->first.size() - 1;
        copied = at + 1;
    }
    // Most texts have nothing to write out: they go to the index as they came, uncopied.
    if (copied == 0 && sqlite3_value_type(arguments[0]) == SQLITE_TEXT) {
        sqlite3_result_value(context, arguments[0]);
        return;
    }
    folded.append(bytes.substr(copied));
    sqlite3_result_text64(context, folded.data(), folded.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void RegisterFolding(Connection& connection) {
    const int rc = sqlite3_create_function_v2(connection.Handle(), "pivanes_fold", 1,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              &FoldInOnePass, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        connection.Fail(rc);
}

void SetFillMemory(Connection& connection, const std::string& table, int bytes) {
    connection.Exec(QString::fromLatin1(Sql::kFillMemory)
                        .arg(QString::fromStdString(table))
                        .arg(bytes)
                        .toUtf8()
                        .constData());
}

const TriggeredIndex& TitleIndex() {
    static const TriggeredIndex index = [] {
        TriggeredIndex title{Sql::kTitleIndex,
                             Sql::kCreateTitleIndex,
                             Sql::kFillTitleIndex,
                             {},
                             {},
                             Sql::kTitleTriggerNames,
                             {}};
        for (const auto& [name, sql] : Sql::kTitleTriggers)
            title.triggers.emplace_back(name, sql);
        return title;
    }();
    return index;
}

const TriggeredIndex& TextIndex() {
    static const TriggeredIndex index = [] {
        TriggeredIndex text{Sql::kTextIndex,
                            Sql::kCreateTextIndex,
                            Sql::kFillTextIndex,
                            Sql::kTextIndexWork,
                            Sql::kCreateTextIndexWork,
                            Sql::kTextTriggerNames,
                            {}};
        for (const auto& [name, sql] : Sql::kTextTriggers)
            text.triggers.emplace_back(name, WithFolding(sql));
        return text;
    }();
    return index;
}

struct SchemaEntry {
    std::string type;
    std::string sql;
};
using SchemaEntries = std::map<std::string, SchemaEntry>;

SchemaEntries EntriesOf(Connection& connection, const TriggeredIndex& index) {
    SchemaEntries entries;
    Statement schema(connection, Sql::kIndexSchema);
    schema.Bind(1, QString::fromStdString(index.table));
    if (index.work.empty())
        schema.BindNull(2);
    else
        schema.Bind(2, QString::fromStdString(index.work));
    schema.Bind(3, QString::fromStdString(index.triggerNames));
    while (schema.Step())
        entries[schema.View(0).toByteArray().toStdString()] = {
            schema.View(1).toByteArray().toStdString(), schema.View(2).toByteArray().toStdString()};
    return entries;
}

bool Holds(const SchemaEntries& entries, const std::string& name, const std::string& sql) {
    const auto found = entries.find(name);
    return found != entries.end() && found->second.sql == sql;
}

bool IsOurs(const TriggeredIndex& index, const SchemaEntries& entries) {
    if (!Holds(entries, index.table, index.create))
        return false;
    if (!index.work.empty() && !Holds(entries, index.work, index.createWork))
        return false;
    for (const auto& [name, sql] : index.triggers)
        if (!Holds(entries, name, sql))
            return false;
    return true;
}

// A table of that name that is not a full-text index belongs to someone else.
bool BelongsToAnother(const TriggeredIndex& index, const SchemaEntries& entries) {
    const auto table = entries.find(index.table);
    return table != entries.end() && table->second.sql.rfind("CREATE VIRTUAL TABLE", 0) != 0;
}

void Drop(Connection& connection, const SchemaEntries& entries) {
    for (const auto& [name, entry] : entries)
        if (entry.type == "trigger")
            connection.Exec(("DROP TRIGGER \"" + name + "\"").c_str());
    for (const auto& [name, entry] : entries)
        if (entry.type == "table")
            connection.Exec(("DROP TABLE \"" + name + "\"").c_str());
}

void Build(Connection& connection, const TriggeredIndex& index, const SchemaEntries& entries) {
    Drop(connection, entries);
    connection.Exec(index.create.c_str());
    RegisterFolding(connection);
    SetFillMemory(connection, index.table, Sql::kFillMemoryBytes);
    connection.Exec(index.fill.c_str());
    SetFillMemory(connection, index.table, Sql::kWriteMemoryBytes);
    if (!index.work.empty())
        connection.Exec(index.createWork.c_str());
    for (const auto& trigger : index.triggers)
        connection.Exec(trigger.second.c_str());
}

void Ensure(Connection& connection, const TriggeredIndex& index) {
    const SchemaEntries entries = EntriesOf(connection, index);
    if (IsOurs(index, entries) || BelongsToAnother(index, entries))
        return;
    connection.Exec("SAVEPOINT MakeIndex");
    try {
        Build(connection, index, entries);
        connection.Exec("RELEASE MakeIndex");
    } catch (const StoreError&) {
        // Without the index, searches read every card.
        connection.ExecQuietly("ROLLBACK TO MakeIndex");
        connection.ExecQuietly("RELEASE MakeIndex");
    }
}

void DropUnlessAnothers(Connection& connection, const TriggeredIndex& index) {
    const SchemaEntries entries = EntriesOf(connection, index);
    if (!BelongsToAnother(index, entries))
        Drop(connection, entries);
}

} // namespace

namespace Schema {

void CreateCardTable(Connection& connection) {
    connection.Exec(Sql::kCreateCardTable);
}

CardTable CardTableShape(Connection& connection) {
    {
        Statement kind(connection, Sql::kCardTableKind);
        if (!kind.Step())
            return CardTable::Missing;
        if (kind.Text(0) != QLatin1String("table"))
            return CardTable::View;
        if (kind.Text(1).startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive))
            return CardTable::Virtual;
    }
    static const QLatin1String kColumns[] = {QLatin1String("numero"), QLatin1String("cate"),
                                             QLatin1String("titre"), QLatin1String("pivanes")};
    int found = 0;
    bool numeroIsKey = false;
    bool otherKey = false;
    Statement columns(connection, Sql::kCardColumns);
    while (columns.Step()) {
        const QString name = columns.Text(0);
        if (columns.Int64(3) != 0 ||
            std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns))
            return CardTable::OtherColumns;
        ++found;
        const bool key = columns.Int64(2) != 0;
        if (name == kColumns[0])
            numeroIsKey = key && columns.Text(1) == QLatin1String("INTEGER");
        else
            otherKey = otherKey || key;
    }
    if (found != 4)
        return CardTable::OtherColumns;
    try {
        Statement rowid(connection, Sql::kCardRowid);
        rowid.Step();
    } catch (const StoreError& error) {
        if (error.kind() != StoreError::Kind::Failed)
            throw;
        return CardTable::WithoutRowid;
    }
    return numeroIsKey && !otherKey ? CardTable::Sound : CardTable::NumeroNotRowid;
}

std::vector<SchemaObject> ForeignCode(Connection& connection) {
    std::map<std::string, std::string> own;
    for (const TriggeredIndex* index : {&TitleIndex(), &TextIndex()})
        for (const auto& [name, sql] : index->triggers)
            own.emplace(name, sql);
    std::vector<SchemaObject> foreign;
    Statement code(connection, Sql::kCodeInSchema);
    while (code.Step()) {
        const std::string name = code.View(1).toByteArray().toStdString();
        const auto ours = own.find(name);
        if (code.Text(0) == QLatin1String("trigger") && ours != own.end() &&
            ours->second == code.View(2).toByteArray().toStdString())
            continue;
        foreign.push_back({code.Text(0), code.Text(1)});
    }
    return foreign;
}

void EnsureCategoryIndex(Connection& connection) {
    connection.Exec(Sql::kCreateCategoryIndex);
}

void EnsureIndexes(Connection& connection) {
    EnsureCategoryIndex(connection);
    Ensure(connection, TitleIndex());
    Ensure(connection, TextIndex());
}

void EnsureTrash(Connection& connection) {
    connection.Exec(Sql::kCreateTrash);
}

bool HasTrash(Connection& connection) {
    return connection.FirstText(Sql::kHasTrash) == QLatin1String("1");
}

void DropIndexes(Connection& connection) {
    connection.Exec(Sql::kDropCategoryIndex);
    DropUnlessAnothers(connection, TitleIndex());
    DropUnlessAnothers(connection, TextIndex());
}

void SetIndexMemory(Connection& connection, IndexMemory memory) {
    const int bytes = memory == IndexMemory::Large ? Sql::kFillMemoryBytes : Sql::kWriteMemoryBytes;
    for (const TriggeredIndex* index : {&TitleIndex(), &TextIndex()})
        if (IsOurs(*index, EntriesOf(connection, *index)))
            SetFillMemory(connection, index->table, bytes);
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
    return IsOurs(TitleIndex(), EntriesOf(connection, TitleIndex()));
}

bool TextIndexIsCurrent(Connection& connection) {
    return IsOurs(TextIndex(), EntriesOf(connection, TextIndex()));
}

} // namespace Schema
