// Times export to CSV and import from it beside the plainest equivalents (the sqlite3 shell's own
// CSV output; a bare transaction of inserts), and prints a Markdown section for
// docs/PERFORMANCE.md.
//
//   pivanes-bench-exchange [--cards 1000000] [--reps 3]
#include "Measuring.h"
#include "NewCollection.h"
#include "SyntheticCards.h"
#include "convert/Exchange.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace {

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void ShellCsv(const QString& collection, const QString& target) {
    QProcess shell;
    shell.setStandardOutputFile(target);
    shell.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-csv"), collection, QStringLiteral("SELECT * FROM TrucPivane")});
    shell.waitForFinished(-1);
}

// The same cards inserted in one transaction: no file to read, no check; with the program's
// category, title and text indexes made at the end (the text index without the program's
// folding), or none.
void BareInserts(const QString& target, int cards, bool withIndexes = false) {
    sqlite3* db = nullptr;
    sqlite3_open(target.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate TEXT, Titre TEXT, "
                 "Pivanes TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO TrucPivane VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    for (qint32 numero = 1; numero <= cards; ++numero) {
        const Card card = SyntheticCard(numero);
        sqlite3_bind_int64(insert, 1, card.Numero);
        const QByteArray texts[] = {card.Cate.toUtf8(), card.Titre.toUtf8(), card.Pivanes.toUtf8()};
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_text(insert, i + 2, texts[i].constData(), int(texts[i].size()),
                              SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    if (withIndexes)
        sqlite3_exec(db,
                     "CREATE INDEX TrucPivane_Cate ON TrucPivane (Cate); CREATE VIRTUAL TABLE "
                     "TrucPivane_Titres USING fts5(Titre, tokenize='trigram case_sensitive 0', "
                     "columnsize=0); INSERT INTO TrucPivane_Titres(rowid, Titre) SELECT Numero, "
                     "Titre FROM TrucPivane; CREATE VIRTUAL TABLE TrucPivane_Mots USING "
                     "fts5(Titre, Pivanes, content='', columnsize=0, tokenize='unicode61 "
                     "remove_diacritics 2'); INSERT INTO TrucPivane_Mots(rowid, Titre, Pivanes) "
                     "SELECT Numero, Titre, Pivanes FROM TrucPivane",
                     nullptr, nullptr, nullptr);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The same cards through the store's own import, read from no file: what an import costs before
// any format is read.
void StoreImport(const QString& target, int cards) {
    Collection::CreateLocal(target);
    qint32 numero = 0;
    Collection::OpenLocal(target)->Import([&](StoredCard& card) {
        if (numero == cards)
            return false;
        const Card made = SyntheticCard(++numero);
        card = {made.Numero, made.Cate, made.Titre, made.Pivanes, 0};
        return true;
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    int cards = 1000000;
    int reps = 3;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--cards"))
            cards = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--reps"))
            reps = std::max(1, args[i + 1].toInt());
    }
    QTemporaryDir folder;
    const QDir at(folder.path());
    const QString collection = at.filePath(QStringLiteral("Pivane.mdb"));
    WriteNewCollection(collection, cards,
                       [](qint64 i) { return SyntheticCard(static_cast<qint32>(i + 1)); });
    const QString csv = at.filePath(QStringLiteral("fiches.csv"));
    const QString imported = at.filePath(QStringLiteral("importee.mdb"));
    const QString plainCsv = at.filePath(QStringLiteral("plain.csv"));
    const QString plainDb = at.filePath(QStringLiteral("plain.db"));
    const QString storeDb = at.filePath(QStringLiteral("store.mdb"));
    const QString indexedDb = at.filePath(QStringLiteral("indexed.db"));
    std::vector<double> exportMs, shellMs, importMs, insertMs, storeMs, indexedMs;
    for (int run = 0; run < reps; ++run) {
        for (const QString& file : {csv, imported, plainCsv, plainDb, storeDb, indexedDb})
            QFile::remove(file);
        exportMs.push_back(Measuring::TimedMs(
            [&] { Exchange::ExportCards(CollectionPlace::LocalFile(collection), csv); }));
        shellMs.push_back(Measuring::TimedMs([&] { ShellCsv(collection, plainCsv); }));
        importMs.push_back(Measuring::TimedMs([&] {
            Exchange::ImportCards(CollectionPlace::LocalFile(imported), csv,
                                  Exchange::Duplicates::LeftOut);
        }));
        insertMs.push_back(Measuring::TimedMs([&] { BareInserts(plainDb, cards); }));
        storeMs.push_back(Measuring::TimedMs([&] { StoreImport(storeDb, cards); }));
        indexedMs.push_back(Measuring::TimedMs([&] { BareInserts(indexedDb, cards, true); }));
    }
    const auto row = [&](const char* name, const std::vector<double>& program,
                         const std::vector<double>& plain, const char* plainName) {
        out << "| " << name << " | " << cards << " | " << QString::number(Median(program), 'f', 0)
            << " | " << plainName << " | " << QString::number(Median(plain), 'f', 0) << " | "
            << QString::number(Median(program) / Median(plain), 'f', 2) << " |\n";
    };
    out << "\n## Export and import\n\n"
        << "`pivanes-bench-exchange`: the collection's cards written to a CSV file "
           "(`pivanes --exporter fiches.csv`) beside the sqlite3 shell's own CSV output of the "
           "table, and that file imported into a new collection (`pivanes --importer "
           "fiches.csv`) beside the same cards inserted into plain SQLite in one bare "
           "transaction (median of "
        << reps
        << " runs, milliseconds). The program also counts the cards against the collection, "
           "flushes the file to the disk before it takes its name, checks every card on the "
           "way in and makes its indexes.\n\n"
        << "| Command | Cards | Program (ms) | Plainest equivalent | Plain (ms) | Ratio |\n"
        << "|---|---:|---:|---|---:|---:|\n";
    row("Export to CSV", exportMs, shellMs, "`sqlite3 -csv … 'SELECT * FROM TrucPivane'`");
    row("Import from CSV", importMs, insertMs, "one transaction of prepared inserts");
    row("Import from CSV", importMs, indexedMs,
        "the same inserts, then the program's three indexes");
    row("Import, the store alone (no file read)", storeMs, insertMs,
        "one transaction of prepared inserts");
    return 0;
}
