// Times the local copy of a server collection beside the plainest equivalents, and prints a
// Markdown section for docs/PERFORMANCE.md: the first full copy beside a COPY … TO a file and a
// plain SQLite load of it that builds the same indexes; a copy brought up to date after changes
// on the server.
//
// A server collection of as many cards is kept from a run to the next.
//
//   pivanes-bench-copie --serveur CONNEXION [--cards 100000] [--changes 10000] [--rounds 3]
#include "Measuring.h"
#include "NewCollection.h"
#include "SyntheticCards.h"
#include "store/ServerChanges.h"
#include "store/ServerCopy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlite3.h>
#include <stdexcept>

namespace {

void Psql(const QString& server, const QString& command) {
    QProcess psql;
    psql.start(QStringLiteral("psql"),
               {QStringLiteral("-Xq"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                QStringLiteral("-d"), server, QStringLiteral("-c"), command});
    if (!psql.waitForFinished(-1) || psql.exitCode() != 0)
        throw std::runtime_error(psql.readAllStandardError().toStdString());
}

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// A field of COPY's text format: \N for NULL, backslash escapes otherwise.
void BindCopied(sqlite3_stmt* insert, int index, QByteArrayView field) {
    if (field == "\\N") {
        sqlite3_bind_null(insert, index);
        return;
    }
    QByteArray text;
    text.reserve(field.size());
    for (qsizetype at = 0; at < field.size(); ++at) {
        char c = field[at];
        if (c == '\\' && at + 1 < field.size()) {
            const char escaped = field[++at];
            c = escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
        }
        text.append(c);
    }
    sqlite3_bind_text(insert, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// The same cards into a plain SQLite file, then the indexes a copy's lists and searches read.
void PlainLoad(const QString& copied, const QString& database) {
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(database).constData(), &db);
    Exec(db, "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, "
             "Pivanes TEXT); BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO TrucPivane VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    QFile file(copied);
    file.open(QIODevice::ReadOnly);
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().chopped(1);
        const QList<QByteArray> fields = line.split('\t');
        sqlite3_bind_int64(insert, 1, fields[0].toLongLong());
        for (int field = 1; field < 4; ++field)
            BindCopied(insert, field + 1, fields[field]);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT; CREATE INDEX TrucPivane_Cate ON TrucPivane (Cate); "
             "CREATE VIRTUAL TABLE TrucPivane_Titres USING fts5(Titre, tokenize='trigram "
             "case_sensitive 1', columnsize=0); "
             "INSERT INTO TrucPivane_Titres(rowid, Titre) SELECT Numero, Titre FROM TrucPivane; "
             "CREATE VIRTUAL TABLE TrucPivane_Mots USING fts5(Titre, Pivanes, content='', "
             "columnsize=0, tokenize='unicode61 remove_diacritics 2'); "
             "INSERT INTO TrucPivane_Mots(rowid, Titre, Pivanes) SELECT Numero, Titre, Pivanes "
             "FROM TrucPivane");
    sqlite3_close(db);
}

// A collection already filled with as many cards is kept: a fill of a million takes long.
void Fill(const QString& server, qint32 cards) {
    const std::unique_ptr<Collection> existing = Collection::Open(CollectionPlace::Server(server));
    if (existing->Count(Selection::AllCards()).cards != cards)
        FillServerCollection(server, cards, SyntheticCard);
}

struct CatchUpTimes {
    std::vector<double> server; // the server's part alone: the changed cards read and dropped
    std::vector<double> whole;
};

// Rounds of changes on the server, each followed by a catch-up of the copy.
CatchUpTimes CatchUps(const QString& server, Collection& collection, const QString& copy,
                      int changes, int rounds) {
    auto& tracked = dynamic_cast<ServerChanges&>(collection);
    CatchUpTimes times;
    for (int round = 0; round < rounds; ++round) {
        const ChangeMark before = tracked.Mark();
        Psql(server, QStringLiteral("UPDATE trucpivane SET pivanes = pivanes || ' (modifiée)' "
                                    "WHERE numero IN (SELECT numero FROM trucpivane ORDER BY "
                                    "random() LIMIT %1)")
                         .arg(changes));
        times.server.push_back(
            Measuring::TimedMs([&] { tracked.ChangesAfter(before, [](const ChangedCard&) {}); }));
        times.whole.push_back(
            Measuring::TimedMs([&] { ServerCopy::BringUpToDate(collection, copy); }));
    }
    return times;
}

void Measure(const QString& server, qint32 cards, int changes, int rounds) {
    QTemporaryDir folder;
    Fill(server, cards);
    const std::unique_ptr<Collection> collection =
        Collection::Open(CollectionPlace::Server(server));
    const QString copy = ServerCopy::FileFor(folder.path(), server);
    const double first = Measuring::TimedMs([&] { ServerCopy::BringUpToDate(*collection, copy); });
    const QString copied = folder.filePath(QStringLiteral("cartes.txt"));
    const double plain = Measuring::TimedMs([&] {
        Psql(server, QStringLiteral("\\copy (SELECT numero, cate, titre, pivanes FROM trucpivane "
                                    "ORDER BY numero) TO '%1'")
                         .arg(copied));
        PlainLoad(copied, folder.filePath(QStringLiteral("simple.db")));
    });
    const CatchUpTimes caughtUp = CatchUps(server, *collection, copy, changes, rounds);

    QTextStream out(stdout);
    out << "\n## Local copy of a server collection\n\n"
        << "`pivanes-bench-copie`, " << cards << " cards on the server (milliseconds; load "
        << Measuring::LoadAverage()
        << "). The first copy reads the server "
           "through its backup path (COPY … TO STDOUT into SQLite, read back and checked) and "
           "then makes the indexes of the copy's lists and searches; the plain way is psql's "
           "`\\copy … TO` a file and a bare SQLite load of it that builds the same indexes "
           "(without the program's folding of texts). Each catch-up follows "
        << changes << " cards changed on the server in one statement; the median of " << rounds
        << " rounds, and the server's part alone (the changed cards read and dropped).\n\n"
        << "| Measure | Program (ms) | Plain (ms) | Ratio | Target |\n|---|---:|---:|---:|---|\n"
        << "| First full copy | " << QString::number(first, 'f', 0) << " | "
        << QString::number(plain, 'f', 0) << " | " << QString::number(first / plain, 'f', 2)
        << " | ≤ 2 × plain |\n"
        << "| Copy brought up to date after " << changes << " changes | "
        << QString::number(Measuring::Median(caughtUp.whole), 'f', 0)
        << " | | | ≤ 2,000 ms at 1,000,000 cards |\n"
        << "| of which the server's part | "
        << QString::number(Measuring::Median(caughtUp.server), 'f', 0) << " | | | |\n";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    const auto option = [&](const QString& name, const QString& otherwise) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args[at + 1] : otherwise;
    };
    const QString server = option(QStringLiteral("--serveur"), QString());
    const qint32 cards = option(QStringLiteral("--cards"), QStringLiteral("100000")).toInt();
    const int changes = option(QStringLiteral("--changes"), QStringLiteral("10000")).toInt();
    const int rounds = option(QStringLiteral("--rounds"), QStringLiteral("3")).toInt();
    if (server.isEmpty()) {
        std::fputs("usage: pivanes-bench-copie --serveur CONNEXION [--cards N] [--changes N] "
                   "[--rounds N]\n",
                   stderr);
        return 2;
    }
    try {
        Measure(server, cards, changes, rounds);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pivanes-bench-copie: %s\n", failure.what());
        return 1;
    }
    return 0;
}
