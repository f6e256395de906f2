// Times the search of titles and texts on a collection of cards with realistic texts, beside a
// plain reading of every title and text, and writes a Markdown section for docs/PERFORMANCE.md.
//
//   pivanes-bench-textes [--cartes 1000000] [--reps 5] [--fichier Pivane.mdb]
//                        [--serveur CONNEXION [--cartes-serveur N] [--serveur-seul]]
//
// A file that --fichier names is used as it is, else made (which takes long at a million cards).
// With --serveur the same searches run on a database of that server too, filled with the first
// N cards of the same collection (as many as the file by default) unless it holds N already. The
// searches run in a child process, so that its peak memory is theirs alone.
#include "Measuring.h"
#include "NewCollection.h"
#include "SyntheticCards.h"
#include "store/Collection.h"
#include "store/StoreError.h"
#include "store/TextSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <libpq-fe.h>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>

namespace {

using namespace Measuring;

QTextStream out(stdout);

struct Keyword {
    QString name;
    QString keyword;   // as the user types it
    QStringList plain; // the words as the texts hold them, for the plain reading
};

QList<Keyword> Keywords() {
    using namespace SyntheticText;
    const auto word = [](const char* utf8) { return QString::fromUtf8(utf8); };
    return {
        {QStringLiteral("un mot absent"), word(kNowhere), {word(kNowhere)}},
        {QStringLiteral("un mot de 0,1 % des fiches"),
         word(kInOneCardInAThousand).toUpper(),
         {word(kInOneCardInAThousand)}},
        {QStringLiteral("un mot de 10 % des fiches, sans accents"),
         QStringLiteral("securite"),
         {word(kInOneCardInTen)}},
        {QStringLiteral("deux mots (10 % et 14 % des fiches)"),
         QStringLiteral("Sécurité mémoire"),
         {word(kInOneCardInTen), word(kInOneCardInSeven)}},
        {QStringLiteral("le début d'un mot de 14 % des fiches"),
         QStringLiteral("mémo"),
         {QStringLiteral("mémo")}},
    };
}

double TimedMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// What the program shows: the count and the first page of up to 300 cards, which the grid reads
// only when there is one.
qint64 ProgramSearch(Collection& collection, const QString& keyword) {
    const FoundCards found = collection.SearchTexts(
        Selection::AllCards(), TextQuery::Parse(keyword), std::numeric_limits<qint64>::max());
    if (found.count > 0)
        found.rows->Upward(std::numeric_limits<qint64>::min(), 0,
                           std::min<qint64>(found.count, 300));
    return found.count;
}

// The plainest SQLite for the same page and count: every title and text read once, each word
// looked for as the texts spell it (LIKE ignores the case of ASCII letters only).
class PlainFile {
public:
    explicit PlainFile(const QString& file) {
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;
    ~PlainFile() { sqlite3_close(db_); }

    qint64 Search(const QStringList& words) {
        QStringList conditions;
        for (qsizetype i = 1; i <= words.size(); ++i)
            conditions << QStringLiteral("(Titre LIKE ?%1 OR Pivanes LIKE ?%1)").arg(i);
        const QByteArray sql = ("SELECT Numero, Titre FROM TrucPivane WHERE " +
                                conditions.join(QStringLiteral(" AND ")) + " ORDER BY Numero")
                                   .toUtf8();
        sqlite3_stmt* read = nullptr;
        sqlite3_prepare_v2(db_, sql.constData(), -1, &read, nullptr);
        for (int i = 0; i < words.size(); ++i)
            sqlite3_bind_text(read, i + 1, ('%' + words[i] + '%').toUtf8().constData(), -1,
                              SQLITE_TRANSIENT);
        qint64 count = 0;
        std::vector<QByteArray> page;
        while (sqlite3_step(read) == SQLITE_ROW)
            if (++count <= 300)
                page.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(read, 1)));
        sqlite3_finalize(read);
        return count;
    }

private:
    sqlite3* db_ = nullptr;
};

// The plainest PostgreSQL for the same page and count, two ways: the same reading of every row,
// and the server's own text search through a GIN index of the unaccented words of each card.
class PlainServer {
public:
    // With the program's memory for a query's bitmap of pages, so that both sides count alike.
    explicit PlainServer(const QString& server)
        : connection_(PQconnectdb(
              (server + QStringLiteral(" options='-c work_mem=64MB'")).toUtf8().constData())) {}
    PlainServer(const PlainServer&) = delete;
    PlainServer& operator=(const PlainServer&) = delete;
    ~PlainServer() { PQfinish(connection_); }

    // The index the second way reads, made once (an immutable wrapper, for unaccent is not);
    // answers the seconds it took, 0 when it was there already.
    double MakeIndex() {
        if (FirstValue("SELECT to_regclass('plain_mots') IS NOT NULL", {}) == "t")
            return 0;
        QElapsedTimer timer;
        timer.start();
        FirstValue("CREATE EXTENSION IF NOT EXISTS unaccent", {});
        FirstValue("CREATE OR REPLACE FUNCTION plain_unaccent(text) RETURNS text LANGUAGE sql "
                   "IMMUTABLE STRICT PARALLEL SAFE AS "
                   "$$ SELECT public.unaccent('public.unaccent'::regdictionary, $1) $$",
                   {});
        FirstValue("SET maintenance_work_mem = '256MB'", {});
        FirstValue("CREATE INDEX plain_mots ON trucpivane USING gin (" + QByteArray(kPlainWords) +
                       ")",
                   {});
        FirstValue("VACUUM (ANALYZE) trucpivane", {});
        return double(timer.elapsed()) / 1000;
    }

    qint64 SearchRead(const QStringList& words) {
        QStringList conditions;
        std::vector<QByteArray> values;
        for (qsizetype i = 1; i <= words.size(); ++i) {
            conditions << QStringLiteral("(titre ILIKE $%1 OR pivanes ILIKE $%1)").arg(i);
            values.push_back(('%' + words[i - 1] + '%').toUtf8());
        }
        return CountWithPage(conditions.join(QStringLiteral(" AND ")).toUtf8(), values);
    }

    // Each word as the beginning of a word, all of them in the card.
    qint64 SearchIndexed(const QStringList& words) {
        QStringList prefixes;
        for (const QString& word : words)
            prefixes << word + QStringLiteral(":*");
        return CountWithPage(QByteArray(kPlainWords) +
                                 " @@ to_tsquery('simple', plain_unaccent($1))",
                             {prefixes.join(QStringLiteral(" & ")).toUtf8()});
    }

private:
    static constexpr const char* kPlainWords =
        "to_tsvector('simple', plain_unaccent(coalesce(titre, '') || ' ' || "
        "coalesce(pivanes, '')))";

    qint64 CountWithPage(const QByteArray& condition, const std::vector<QByteArray>& values) {
        return FirstValue("WITH found AS (SELECT numero, titre FROM trucpivane WHERE " + condition +
                              ") SELECT (SELECT count(*) FROM found), numero, titre FROM found "
                              "ORDER BY numero LIMIT 300",
                          values)
            .toLongLong();
    }

    QByteArray FirstValue(const QByteArray& sql, const std::vector<QByteArray>& values) {
        std::vector<const char*> pointers;
        pointers.reserve(values.size());
        for (const QByteArray& value : values)
            pointers.push_back(value.constData());
        PGresult* result = values.empty()
                               ? PQexec(connection_, sql.constData())
                               : PQexecParams(connection_, sql.constData(), int(pointers.size()),
                                              nullptr, pointers.data(), nullptr, nullptr, 0);
        const bool ran =
            PQresultStatus(result) == PGRES_TUPLES_OK || PQresultStatus(result) == PGRES_COMMAND_OK;
        QByteArray value = ran ? QByteArray(PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "0")
                               : QByteArray(PQresultErrorMessage(result));
        PQclear(result);
        if (!ran)
            throw std::runtime_error(value.toStdString());
        return value;
    }

    PGconn* connection_;
};

// In the child: each search, program and plain sides in turn; prints one line per search and the
// peak memory.
int RunChild(const QString& place, bool onServer, int reps) {
    const std::unique_ptr<Collection> collection = Collection::Open(
        onServer ? CollectionPlace::Server(place) : CollectionPlace::LocalFile(place));
    std::optional<PlainFile> file;
    std::optional<PlainServer> server;
    if (onServer)
        server.emplace(place);
    else
        file.emplace(place);
    // The reading of every row is long and steady: a few runs tell its time, one on a server,
    // where it reads gigabytes of texts.
    const int readRuns = onServer ? 1 : 3;
    for (const Keyword& keyword : Keywords()) {
        std::vector<double> program, read, indexed;
        qint64 found = 0, readFound = 0, indexedFound = -1;
        for (int run = 0; run <= reps; ++run) {
            const double programMs =
                TimedMs([&] { found = ProgramSearch(*collection, keyword.keyword); });
            const double indexedMs =
                server ? TimedMs([&] { indexedFound = server->SearchIndexed(keyword.plain); }) : -1;
            if (run == 0)
                continue;
            program.push_back(programMs);
            indexed.push_back(indexedMs);
            if (run <= readRuns)
                read.push_back(TimedMs([&] {
                    readFound =
                        server ? server->SearchRead(keyword.plain) : file->Search(keyword.plain);
                }));
        }
        out << "row\t" << keyword.name << '\t' << keyword.keyword << '\t' << found << '\t'
            << readFound << '\t' << indexedFound << '\t' << Median(program) << '\t' << Median(read)
            << '\t' << Median(indexed) << Qt::endl;
    }
    out << "peak\t" << PeakResidentKb() << Qt::endl;
    return 0;
}

qint64 SqliteBytes(const QString& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    qint64 bytes = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        bytes = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return bytes;
}

// The time the program's first write takes to make the text index again on a file that lacks
// it. The write adds one card, without any of the words searched.
double IndexRebuildSeconds(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    sqlite3_exec(db,
                 "BEGIN; DROP TRIGGER TrucPivane_Mots_AvantAjout; DROP TRIGGER "
                 "TrucPivane_Mots_Ajout; DROP TRIGGER TrucPivane_Mots_AvantModif; DROP TRIGGER "
                 "TrucPivane_Mots_Modif; DROP TRIGGER TrucPivane_Mots_Retrait; DROP TABLE "
                 "TrucPivane_Mots; DROP TABLE TrucPivane_Mots_Remplacee; COMMIT",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    QElapsedTimer timer;
    timer.start();
    Collection::OpenLocal(file)->Add({QStringLiteral("WIN"), QStringLiteral("MESURE"), {}});
    return double(timer.elapsed()) / 1000;
}

QString Ms(double value) {
    if (value < 0)
        return QStringLiteral("—");
    return value < 10 ? QString::number(value, 'f', 2) : QString::number(value, 'f', 0);
}

QString MiB(qint64 bytes) {
    return QString::number(double(bytes) / 1048576, 'f', 0);
}

// The child's figures as a table, with the targets: in milliseconds on a file; on a server,
// against the stricter of the two plain sides, the server's own indexed search.
QString Table(const QString& childOutput, bool onServer, qint64& peakKb) {
    const std::map<QString, double> limits = {{QStringLiteral("un mot absent"), 5},
                                              {QStringLiteral("un mot de 0,1 % des fiches"), 20}};
    QString text;
    QTextStream md(&text);
    if (onServer)
        md << "| Search | Keyword | Cards found | Found by the plain reading | Found through the "
              "plain index | Program (ms) | Plain reading (ms) | Plain index (ms) | Ratio to the "
              "index | Target | Met |\n"
           << "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|:---:|\n";
    else
        md << "| Search | Keyword | Cards found | Found by the plain reading | Program (ms) | "
              "Plain (ms) | Ratio | Target | Met |\n"
           << "|---|---|---:|---:|---:|---:|---:|---:|:---:|\n";
    for (const QString& line : childOutput.split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) == QLatin1String("peak"))
            peakKb = fields.value(1).toLongLong();
        if (fields.value(0) != QLatin1String("row") || fields.size() != 9)
            continue;
        const double program = fields[6].toDouble();
        const double read = fields[7].toDouble();
        const double indexed = fields[8].toDouble();
        md << "| " << fields[1] << " | " << fields[2] << " | " << fields[3] << " | " << fields[4];
        if (onServer) {
            md << " | " << fields[5] << " | " << Ms(program) << " | " << Ms(read) << " | "
               << Ms(indexed) << " | " << QString::number(program / indexed, 'f', 2)
               << " | ≤ 1.5 × index | " << (program <= 1.5 * indexed ? "oui" : "**non**") << " |\n";
            continue;
        }
        const auto limit = limits.find(fields[1]);
        const double targetMs = limit != limits.end() ? limit->second : 50;
        md << " | " << Ms(program) << " | " << Ms(read) << " | "
           << QString::number(program / read, 'f', 3) << " | ≤ " << targetMs << " ms | "
           << (program <= targetMs ? "oui" : "**non**") << " |\n";
    }
    return text;
}

// The cards of the server's collection, none when it has no collection yet.
qint64 ServerCards(const QString& server) {
    try {
        return Collection::Open(CollectionPlace::Server(server))
            ->Count(Selection::AllCards())
            .cards;
    } catch (const StoreError&) {
        return 0;
    }
}

// The searches on a collection file, made first if it does not exist.
QString FileSection(const QString& file, int cards, int reps) {
    const QString loadBefore = LoadAverage();
    double madeSeconds = -1;
    if (!QFileInfo::exists(file)) {
        out << "Collection de " << cards << " fiches avec leurs textes..." << Qt::endl;
        QElapsedTimer timer;
        timer.start();
        WriteNewCollection(file, cards,
                           [](qint64 i) { return SyntheticCardWithText(qint32(i + 1)); });
        madeSeconds = double(timer.elapsed()) / 1000;
    }
    out << "Index refait à la première écriture..." << Qt::endl;
    const double rebuildSeconds = IndexRebuildSeconds(file);
    const qint64 indexBytes =
        SqliteBytes(file, "SELECT sum(pgsize) FROM dbstat WHERE name LIKE 'TrucPivane\\_Mots%' "
                          "ESCAPE '\\'");
    const qint64 textBytes = SqliteBytes(file, "SELECT sum(length(CAST(Pivanes AS BLOB))) FROM "
                                               "TrucPivane");
    out << "Recherches..." << Qt::endl;
    qint64 peakKb = 0;
    const QString fileTable =
        Table(ChildOutput(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--child"), file, QStringLiteral("fichier"),
                           QStringLiteral("--reps"), QString::number(reps)}),
              false, peakKb);

    QString report;
    QTextStream md(&report);
    md << "\n# Search of titles and texts\n\n"
       << "Figures from `pivanes-bench-textes` (`bash tools/bench.sh --textes`), on a "
          "collection of "
       << cards << " cards made by `pivanes-collection synthetic " << cards
       << " FICHIER --textes`: titles as above, texts of 200 to 6,000 characters of French words "
          "with accents ("
       << MiB(textBytes) << " MiB of texts in all). Medians of " << reps
       << " runs of the program's side (its count and first page of 300 cards) and of 3 runs of "
          "the plain side, which reads every title and text once in SQL (`LIKE` on each word as "
          "the texts spell it, accents included, which finds the same cards here) and keeps the "
          "first page and the count. Load average before: "
       << loadBefore << "; after: " << LoadAverage() << ", on 2 cores shared with other work.\n\n"
       << fileTable << "\n| Memory | Target | Measured | Met |\n|---|---:|---:|:---:|\n"
       << "| Peak resident memory of the program's side | ≤ 64 MiB | " << peakKb / 1024 << " MiB | "
       << (peakKb <= qint64{64} * 1024 ? "oui" : "**non**") << " |\n\n"
       << "The text index (`TrucPivane_Mots`, FTS5, without a copy of the texts) takes "
       << MiB(indexBytes) << " MiB of the file's " << MiB(QFileInfo(file).size())
       << " MiB. The program's first write to the file without it made it again in "
       << QString::number(rebuildSeconds, 'f', 0) << " s";
    if (madeSeconds >= 0)
        md << "; the whole collection, index included, was written in "
           << QString::number(madeSeconds, 'f', 0) << " s";
    md << ".\n";
    return report;
}

// The same searches on a database of a server.
QString ServerSection(const QString& server, int serverCards, int reps) {
    QString report;
    QTextStream md(&report);
    out << "Les mêmes fiches sur le serveur..." << Qt::endl;
    // A database filled by an earlier run is used as it is: a million cards with their texts
    // take long to put on a server.
    const bool filledBefore = ServerCards(server) == serverCards;
    const double fillSeconds =
        filledBefore ? -1 : FillServerCollection(server, serverCards, SyntheticCardWithText);
    out << "Index du côté simple..." << Qt::endl;
    const double plainIndexSeconds = PlainServer(server).MakeIndex();
    qint64 serverPeakKb = 0;
    const QString serverTable =
        Table(ChildOutput(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--child"), server, QStringLiteral("serveur"),
                           QStringLiteral("--reps"), QString::number(reps)}),
              true, serverPeakKb);
    md << "\n## On a PostgreSQL server\n\n"
       << "The first " << serverCards
       << " cards of the same collection, put on the throw-away server by the program's "
          "import";
    if (filledBefore)
        md << " (in an earlier run)";
    else
        md << " in " << QString::number(fillSeconds, 'f', 0) << " s";
    md << ". Medians of " << reps
       << " runs of the program's side, a session's first searches included (a statement "
          "prepared once is planned anew for each of its first five runs, then once for all). "
          "Two plain sides, each giving the count with the first page: one query that "
          "reads every title and text (`ILIKE` on each word; one run), and the server's own "
          "text search, `to_tsvector('simple', unaccent(titre || ' ' || pivanes)) @@ "
          "to_tsquery('simple', unaccent('mot:*'))`, through a GIN index of that expression";
    if (plainIndexSeconds > 0)
        md << " (made in " << QString::number(plainIndexSeconds, 'f', 0) << " s)";
    md << ". Load average after: " << LoadAverage() << ".\n\n"
       << serverTable << "\nPeak resident memory of the program's side: " << serverPeakKb / 1024
       << " MiB.\n";
    return report;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const auto option = [&args](const char* name, const QString& otherwise) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 ? args.value(at + 1) : otherwise;
    };
    const int reps = option("--reps", QStringLiteral("5")).toInt();
    if (args.value(0) == QLatin1String("--child"))
        return RunChild(args.value(1), args.value(2) == QLatin1String("serveur"), reps);

    const int cards = option("--cartes", QStringLiteral("1000000")).toInt();
    const QString server = option("--serveur", QString());
    QTemporaryDir scratch;
    const QString file = option("--fichier", scratch.filePath(QStringLiteral("Pivane.mdb")));
    // --serveur-seul: the server's section alone, the file's figures being those of a run before.
    QString report =
        args.contains(QLatin1String("--serveur-seul")) ? QString() : FileSection(file, cards, reps);
    if (!server.isEmpty())
        report +=
            ServerSection(server, option("--cartes-serveur", QString::number(cards)).toInt(), reps);
    out << report;
    return 0;
}
