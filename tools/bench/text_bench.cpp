// Times the search of titles and texts on a collection of cards with realistic texts, beside a
// plain reading of every title and text, and writes a Markdown section for docs/PERFORMANCE.md.
//
//   pivanes-bench-textes [--cartes 1000000] [--reps 5] [--fichier Pivane.mdb]
//                        [--serveur CONNEXION [--cartes-serveur 100000]]
//
// A file that --fichier names is used as it is, else made (which takes long at a million cards).
// With --serveur the same searches run on an empty database of that server too, filled with the
// first cards of the same collection. The searches run in a child process, so that its peak memory
// is theirs alone.
#include "Measuring.h"
#include "NewCollection.h"
#include "SyntheticCards.h"
#include "store/Collection.h"
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
#include <sqlite3.h>

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

// The plainest PostgreSQL for the same page and count: the same reading of every row.
class PlainServer {
public:
    explicit PlainServer(const QString& server)
        : connection_(PQconnectdb(server.toUtf8().constData())) {}
    PlainServer(const PlainServer&) = delete;
    PlainServer& operator=(const PlainServer&) = delete;
    ~PlainServer() { PQfinish(connection_); }

    qint64 Search(const QStringList& words) {
        QStringList conditions;
        std::vector<QByteArray> values;
        values.reserve(std::size_t(words.size()));
        for (qsizetype i = 1; i <= words.size(); ++i) {
            conditions << QStringLiteral("(titre ILIKE $%1 OR pivanes ILIKE $%1)").arg(i);
            values.push_back(('%' + words[i - 1] + '%').toUtf8());
        }
        const QByteArray condition = conditions.join(QStringLiteral(" AND ")).toUtf8();
        const QByteArray sql = "WITH found AS (SELECT numero, titre FROM trucpivane WHERE " +
                               condition +
                               ") SELECT (SELECT count(*) FROM found), numero, titre FROM found "
                               "ORDER BY numero LIMIT 300";
        std::vector<const char*> pointers;
        pointers.reserve(values.size());
        for (const QByteArray& value : values)
            pointers.push_back(value.constData());
        PGresult* result = PQexecParams(connection_, sql.constData(), int(pointers.size()), nullptr,
                                        pointers.data(), nullptr, nullptr, 0);
        const qint64 count =
            PQntuples(result) > 0 ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong() : 0;
        PQclear(result);
        return count;
    }

private:
    PGconn* connection_;
};

// In the child: each search, program and plain side in turn; prints one line per search and the
// peak memory.
int RunChild(const QString& place, bool onServer, int reps) {
    const std::unique_ptr<Collection> collection = Collection::Open(
        onServer ? CollectionPlace::Server(place) : CollectionPlace::LocalFile(place));
    const std::function<qint64(const QStringList&)> plain =
        onServer ? std::function<qint64(const QStringList&)>(
                       [server = std::make_shared<PlainServer>(place)](const QStringList& words) {
                           return server->Search(words);
                       })
                 : [file = std::make_shared<PlainFile>(place)](const QStringList& words) {
                       return file->Search(words);
                   };
    for (const Keyword& keyword : Keywords()) {
        std::vector<double> program, baseline;
        qint64 found = 0, plainFound = 0;
        for (int run = 0; run <= reps; ++run) {
            const double programMs =
                TimedMs([&] { found = ProgramSearch(*collection, keyword.keyword); });
            // The plain reading is long and steady: three runs tell its time.
            const double plainMs =
                run <= 3 ? TimedMs([&] { plainFound = plain(keyword.plain); }) : -1;
            if (run > 0) {
                program.push_back(programMs);
                if (plainMs >= 0)
                    baseline.push_back(plainMs);
            }
        }
        out << "row\t" << keyword.name << '\t' << keyword.keyword << '\t' << found << '\t'
            << plainFound << '\t' << Median(program) << '\t' << Median(baseline) << Qt::endl;
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

// The child's figures as a table, with the targets: in milliseconds on a file, against the plain
// side on a server.
QString Table(const QString& childOutput, bool onServer, qint64& peakKb) {
    const std::map<QString, double> limits = {{QStringLiteral("un mot absent"), 5},
                                              {QStringLiteral("un mot de 0,1 % des fiches"), 20}};
    QString text;
    QTextStream md(&text);
    md << "| Search | Keyword | Cards found | Found by the plain reading | Program (ms) | "
          "Plain (ms) | Ratio | Target | Met |\n"
       << "|---|---|---:|---:|---:|---:|---:|---:|:---:|\n";
    for (const QString& line : childOutput.split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) == QLatin1String("peak"))
            peakKb = fields.value(1).toLongLong();
        if (fields.value(0) != QLatin1String("row") || fields.size() != 7)
            continue;
        const double program = fields[5].toDouble();
        const double plain = fields[6].toDouble();
        const auto limit = limits.find(fields[1]);
        const double targetMs = limit != limits.end() ? limit->second : 50;
        const bool met = onServer ? program <= 1.5 * plain : program <= targetMs;
        md << "| " << fields[1] << " | " << fields[2] << " | " << fields[3] << " | " << fields[4]
           << " | " << Ms(program) << " | " << Ms(plain) << " | "
           << QString::number(program / plain, 'f', 3) << " | "
           << (onServer ? QStringLiteral("≤ 1.5 × plain") : QStringLiteral("≤ %1 ms").arg(targetMs))
           << " | " << (met ? "oui" : "**non**") << " |\n";
    }
    return text;
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
    QString file = option("--fichier", scratch.filePath(QStringLiteral("Pivane.mdb")));
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
    if (!server.isEmpty()) {
        out << "Les mêmes fiches sur le serveur..." << Qt::endl;
        const int serverCards = option("--cartes-serveur", QStringLiteral("100000")).toInt();
        const double fillSeconds = FillServerCollection(server, serverCards, SyntheticCardWithText);
        qint64 serverPeakKb = 0;
        const QString serverTable =
            Table(ChildOutput(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--child"), server, QStringLiteral("serveur"),
                               QStringLiteral("--reps"), QString::number(reps)}),
                  true, serverPeakKb);
        md << "\n## On a PostgreSQL server\n\n"
           << "The first " << serverCards
           << " cards of the same collection put on the throw-away server by the program's "
              "import in "
           << QString::number(fillSeconds, 'f', 0)
           << " s. The plain side is one query that reads every title and text (`ILIKE` on each "
              "word) and gives the count with the first page.\n\n"
           << serverTable << "\nPeak resident memory of the program's side: " << serverPeakKb / 1024
           << " MiB.\n";
    }
    out << report;
    return 0;
}
