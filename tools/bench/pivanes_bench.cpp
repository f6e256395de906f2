// Times the program's commands on large collections, each beside the least work plain SQLite
// needs for the same result, and writes the table to a Markdown file.
//
//   pivanes-bench [--sizes 1000,100000,1000000] [--reps 5] [--markdown docs/PERFORMANCE.md]
//   pivanes-bench --grandes-fiches [--reps 3]    only the cards of 100 KB to 10 MB
//   pivanes-bench --only TEXT ...                 only the commands whose name holds TEXT
//   pivanes-bench --serveur CONNEXION ...         also on an empty database of a server, at the
//                                                 largest size
//
// Each size runs in a child process of its own, so that its peak memory is its own.
#include "Baseline.h"
#include "DesktopFakes.h"
#include "HugeCards.h"
#include "Measuring.h"
#include "NewCollection.h"
#include "ProgramSide.h"
#include "SyntheticCards.h"
#include "browse/PageStateFile.h"
#include "platform/Guard.h"
#include "shell/Session.h"
#include "store/Collection.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <unistd.h>

namespace {

using namespace Measuring;

QTextStream out(stdout);

struct Measure {
    QString operation;
    double program = -1; // median milliseconds
    double baseline = -1;
    double programBest = -1;      // the fastest run: the work when the process was not made to wait
    double programProcessor = -1; // median processor time of the program's thread
};

double ThreadProcessorMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Timing {
    double wallMs;
    double processorMs; // what the thread itself ran, whatever else the machine was doing
};

Timing Timed(const std::function<void()>& op) {
    const double processorStart = ThreadProcessorMs();
    QElapsedTimer timer;
    timer.start();
    op();
    return {double(timer.nsecsElapsed()) / 1e6, ThreadProcessorMs() - processorStart};
}

// Lets the next reading of the peak resident memory start from what is resident now, once the
// heap has handed back what the other side freed.
void ResetPeakResident() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// The bytes the title index takes in the file, from the engine's own page count of each table;
// -1 when the engine cannot tell.
qint64 TitleIndexBytes() {
    sqlite3* db = nullptr;
    sqlite3_open_v2("Pivane.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    qint64 bytes = -1;
    if (sqlite3_prepare_v2(db,
                           "SELECT sum(pgsize) FROM dbstat WHERE name LIKE "
                           "'TrucPivane\\_Titres%' ESCAPE '\\'",
                           -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        bytes = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return bytes;
}

// One command: how the program does it, and the plain SQLite equivalent (none for a page change,
// which has no counterpart).
struct Command {
    QString name;
    int reps;
    std::function<void()> setup, program, teardown;
    std::function<void()> baseline;
    // What the program's setup leaves behind that matters to the timing (a cold page cache).
    std::function<void()> baselineSetup = {};
};

constexpr int kPage = 300;
const QString kAbsent = QStringLiteral("INTROUVABLE");
const QString kTenPercent = QStringLiteral("RÉSEAU"); // one synthetic title in ten
const QString kTwoLetters = QStringLiteral("WI");     // in "WI-FI": too short for the index

// The paging placed on the page that ends at the given share of the collection, or just before
// its end, by a page state set by hand and one "Suite".
void PlaceAt(int denominator) {
    ProgramSide::PlacePaging(std::max(ProgramSide::ListedCards() / denominator, 1));
}
void PlaceBeforeEnd(int cards) {
    ProgramSide::PlacePaging(std::max(ProgramSide::ListedCards() - cards, 1));
}

QString Edited(int run) {
    return QStringLiteral("Texte modifié, passage %1").arg(run);
}

void EnterChildFolder(const QString& folder) {
    QDir::setCurrent(folder);
    Fakes();
}

// The commands on the collection file of the folder, or on the server's when one is given.
int RunChild(const QString& folder, int cards, int reps, const QString& only,
             const QString& server) {
    EnterChildFolder(folder);
    const qint64 indexBytes = server.isEmpty() ? TitleIndexBytes() : -1;
    const qint64 fileBytes = server.isEmpty() ? QFileInfo(QStringLiteral("Pivane.mdb")).size() : -1;
    if (!server.isEmpty())
        ProgramSide::WindowSession().UseServer(server);
    ProgramSide::WindowSession().OpenCollection();
    const qint32 last = cards;
    const int slowReps = cards >= 1000000 ? 3 : reps;
    // The disk's flush times vary widely: writes need more runs for a steady median.
    const int writeReps = 3 * reps;
    const QString backup = QDir(folder).filePath(QStringLiteral("PIVANE.MDB.copie"));
    auto removeBackup = [backup] { QFile::remove(backup); };
    // Each side starts with the disk done with the writes of the commands before (the compaction
    // leaves the whole file to write back), so that neither pays for them.
    auto removeBackupFlushed = [removeBackup] {
        removeBackup();
        ::sync();
    };
    auto openAll = [] { ProgramSide::OpenAndCount(QString()); };
    int edits = 0;
    const qint64 middle = cards / 2;
    // Numbered like the synthetic cards: found in card 10^k - 1 and the ten after 10^(k+1) - 1.
    const QString rare = QStringLiteral("N°%1").arg(std::max(cards / 10 - 1, 9));

    std::unique_ptr<Baseline> baseline;
    auto plain = [&baseline]() -> Baseline& { return *baseline; };
    using namespace ProgramSide;
    // clang-format off
    const std::vector<Command> commands = {
        {"Ouvrir et compter une catégorie", reps, {}, [] { OpenAndCount("WIN"); }, {},
         [&] { plain().OpenAndCount("WIN"); }},
        {"Ouvrir et compter toutes les fiches", reps, {}, openAll, {},
         [&] { plain().OpenAndCount(QString()); }},
        {"Voir : la dernière fiche de toutes", reps, openAll, [&] { Voir(last); }, {},
         [&] { plain().ReadCard(last); }, [&] { plain().OpenAndCount(QString()); }},
        {"Liste (toutes les fiches) : première page", reps, [] { OpenList({}); }, FillList,
         CloseList, [&] { plain().ReadPage({}, 0, kPage); }},
        {"Liste (une catégorie) : première page", reps, [] { OpenList("WIN"); }, FillList,
         CloseList, [&] { plain().ReadPage("WIN", 0, kPage); }},
        {"Liste (toutes) : « Suite » depuis la première page", reps, [] { OpenList({}); },
         NextPage, CloseList, [&] { plain().ReadPage({}, kPage, kPage + 1); }},
        {"Liste (toutes) : « Suite » au milieu", reps, [] { OpenList({}); PlaceAt(2); },
         NextPage, CloseList, [&] { plain().ReadPage({}, middle, kPage + 1); }},
        {"Liste (toutes) : « Retour » au milieu", reps, [] { OpenList({}); PlaceAt(2); },
         PreviousPage, CloseList, [&] { plain().ReadPage({}, middle, kPage + 1); }},
        {"Liste (toutes) : « Suite » jusqu'à la dernière page", reps,
         [] { OpenList({}); PlaceBeforeEnd(450); }, NextPage, CloseList,
         [&] { plain().ReadPage({}, last - kPage, kPage + 1); }},
        {"Liste (toutes) : « Retour » depuis la dernière page", reps,
         [] { OpenList({}); PlaceBeforeEnd(1); }, PreviousPage, CloseList,
         [&] { plain().ReadPage({}, last - 2 * kPage, kPage + 1); }},
        {"Liste (une catégorie) : « Suite » au milieu", reps, [] { OpenList("WIN"); PlaceAt(2); },
         NextPage, CloseList, [&] { plain().ReadPage("WIN", middle, kPage + 1); }},
        {"Liste (une catégorie) : « Retour » depuis la dernière page", reps,
         [] { OpenList("WIN"); PlaceBeforeEnd(1); }, PreviousPage, CloseList,
         [&] { plain().ReadPage("WIN", last - 2 * 13 * kPage, kPage + 1); }},
        // Part of every page change, which keeps its page state in this file.
        {"Fichier « Liste » écrit seul", reps, {}, [] { PageStateFile::Write({1000, 300}); }, {},
         {}},
        {"Sélecteur (une catégorie) : première page", reps, OpenPicker,
         [] { ChooseInPicker("WIN"); }, ClosePicker, [&] { plain().ReadPage("WIN", 0, kPage); }},
        {"Sélecteur : « Suite » au milieu", reps,
         [] { OpenPicker(); ChooseInPicker("WIN"); PlaceAt(2); }, NextPage, ClosePicker,
         [&] { plain().ReadPage("WIN", middle, kPage + 1); }},
        {"Recherche : un mot absent", reps, OpenSearch, [] { Search(kAbsent); }, CloseSearch,
         [&] { plain().CollectTitles(kAbsent); }},
        {"Recherche : un mot rare (11 titres)", reps, OpenSearch, [&] { Search(rare); },
         CloseSearch, [&] { plain().CollectTitles(rare); }},
        {"Recherche : un mot de 10 % des titres", reps, OpenSearch, [] { Search(kTenPercent); },
         CloseSearch, [&] { plain().CollectTitles(kTenPercent); }},
        {"Recherche (10 %) : « Suite » au milieu", reps,
         [] { OpenSearch(); Search(kTenPercent); PlaceAt(2); }, NextPage, CloseSearch,
         [&] { plain().ReadPage({}, middle, kPage + 1); }},
        {"Recherche : deux lettres, sans index (10 % des titres)", reps, OpenSearch,
         [] { Search(kTwoLetters); }, CloseSearch,
         [&] { plain().CollectTitles(kTwoLetters); }},
        {"Nouvelle fiche (Ecrire)", writeReps, {}, WriteNewCard, {},
         [&] { plain().InsertCard(); }},
        // A text that differs at each run: the engine skips a write that changes nothing.
        {"Enregistrer une fiche modifiée", writeReps, [&] { OpenEditor(13, Edited(++edits)); },
         SaveEditedCard, CloseEditor, [&] { plain().UpdateCard(13, Edited(++edits)); }},
        {"Compactage", slowReps, {}, Compact, {},
         [&] { plain().Vacuum(); }},
        {"Sauvegarde de la base", slowReps, removeBackupFlushed, [&] { Backup(backup); },
         removeBackup, [&] { plain().Backup(backup); },
         removeBackupFlushed},
    };
    // clang-format on

    // The two sides take turns, run by run, so that both meet the same state of the caches; a
    // first run of each is not counted. The peak memory is the program's side alone: it is
    // read after each of its runs, from what was resident before the run.
    std::vector<Measure> measures;
    qint64 peak = 0;
    for (const Command& command : commands) {
        if (!command.name.contains(only))
            continue;
        std::vector<double> program, programProcessor, plainTimes;
        // Opened afresh for each command: the program's compaction replaces the file.
        baseline = server.isEmpty() ? Baseline::OnFile(QStringLiteral("Pivane.mdb"))
                                    : Baseline::OnServer(server);
        for (int run = 0; run <= command.reps; ++run) {
            if (command.setup)
                command.setup();
            ResetPeakResident();
            const Timing programRun = Timed(command.program);
            peak = std::max(peak, PeakResidentKb());
            if (command.teardown)
                command.teardown();
            if (run > 0) {
                program.push_back(programRun.wallMs);
                programProcessor.push_back(programRun.processorMs);
            }
            if (!command.baseline)
                continue;
            if (command.baselineSetup)
                command.baselineSetup();
            const double plainMs = Timed(command.baseline).wallMs;
            if (run > 0)
                plainTimes.push_back(plainMs);
        }
        baseline.reset();
        measures.push_back({command.name, Median(program), Median(plainTimes),
                            *std::min_element(program.begin(), program.end()),
                            Median(programProcessor)});
    }
    QFile::remove(QStringLiteral("plain-vacuum.db"));

    for (const Measure& measure : measures)
        out << "row\t" << measure.operation << '\t' << measure.program << '\t' << measure.baseline
            << '\t' << measure.programBest << '\t' << measure.programProcessor << '\n';
    out << "peak\t" << peak << '\t' << indexBytes << '\t' << fileBytes << '\n';
    return 0;
}

struct SizeResult {
    int cards = 0;
    double buildSeconds = 0;
    std::vector<Measure> measures;
    qint64 peakKb = 0;
    qint64 indexBytes = 0;
    qint64 fileBytes = 0;
};

// Measures the commands in a child process, on the collection of the folder or the server's.
void MeasureInChild(const QString& self, SizeResult& result, const QString& folder, int reps,
                    const QString& only, const QString& server = QString()) {
    const QString output =
        ChildOutput(self, {QStringLiteral("--child"), folder, QString::number(result.cards),
                           QString::number(reps), only, server});
    for (const QString& line : output.split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) == QLatin1String("row") && fields.size() == 6)
            result.measures.push_back({fields[1], fields[2].toDouble(), fields[3].toDouble(),
                                       fields[4].toDouble(), fields[5].toDouble()});
        else if (fields.value(0) == QLatin1String("peak") && fields.size() == 4) {
            result.peakKb = fields[1].toLongLong();
            result.indexBytes = fields[2].toLongLong();
            result.fileBytes = fields[3].toLongLong();
        }
    }
    if (result.measures.empty())
        throw std::runtime_error("the measuring process failed");
}

SizeResult RunSize(const QString& self, int cards, int reps, const QString& only) {
    SizeResult result;
    result.cards = cards;
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    {
        WriteNewCollection(folder.filePath(QStringLiteral("Pivane.mdb")), cards,
                           [](qint64 i) { return SyntheticCard(qint32(i + 1)); });
    }
    result.buildSeconds = double(timer.elapsed()) / 1000;
    MeasureInChild(self, result, folder.path(), reps, only);
    return result;
}

// The same cards put on the server through the program's own import, then the server's
// maintenance once, as on a server in use; the folder keeps only the page files.
SizeResult RunServerSize(const QString& self, const QString& server, int cards, int reps,
                         const QString& only) {
    SizeResult result;
    result.cards = cards;
    QTemporaryDir folder;
    result.buildSeconds = FillServerCollection(server, cards, SyntheticCard);
    MeasureInChild(self, result, folder.path(), reps, only, server);
    return result;
}

QString HugeCardsReport(const QString& self, int reps) {
    QTemporaryDir folder;
    HugeCards::WriteCollection(folder.filePath(QStringLiteral("Pivane.mdb")));
    return HugeCards::Report(
        ChildOutput(self, {QStringLiteral("--child-huge"), folder.path(), QString::number(reps)}));
}

QString Ms(double value) {
    if (value < 0)
        return QStringLiteral("—");
    return value < 10 ? QString::number(value, 'f', 3) : QString::number(value, 'f', 1);
}

QString Ratio(const Measure& measure) {
    return measure.baseline > 0 ? QString::number(measure.program / measure.baseline, 'f', 2)
                                : QStringLiteral("—");
}

QString Machine() {
    QString cpu;
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly))
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
    return QStringLiteral("%1, %2 cœurs, %3, SQLite %4")
        .arg(cpu)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QString::fromLatin1(sqlite3_libversion()));
}

const Measure* Find(const SizeResult& result, const QString& operation) {
    for (const Measure& measure : result.measures)
        if (measure.operation == operation)
            return &measure;
    return nullptr;
}

QString MiB(qint64 bytes) {
    return bytes < 0 ? QStringLiteral("—") : QString::number(double(bytes) / 1048576, 'f', 1);
}

// A target of the largest collection measured: the rows it bounds, the bound, and what stands in
// the way when it is not met.
struct Target {
    QStringList rows;
    double limit;
    bool againstPlain; // the bound is a ratio to plain SQLite, not milliseconds
    QString obstacle;
};

const QStringList kConstantRows = {
    "Liste (toutes les fiches) : première page",
    "Liste (une catégorie) : première page",
    "Liste (toutes) : « Suite » depuis la première page",
    "Liste (toutes) : « Suite » au milieu",
    "Liste (toutes) : « Retour » au milieu",
    "Liste (toutes) : « Suite » jusqu'à la dernière page",
    "Liste (toutes) : « Retour » depuis la dernière page",
    "Liste (une catégorie) : « Suite » au milieu",
    "Liste (une catégorie) : « Retour » depuis la dernière page",
    "Sélecteur (une catégorie) : première page",
    "Sélecteur : « Suite » au milieu",
    "Recherche : un mot absent",
    "Recherche : un mot rare (11 titres)",
    "Recherche (10 %) : « Suite » au milieu",
};

// The pages and the searches that find few titles: the same bounds on either engine.
std::vector<Target> PageTargets() {
    return {
        {{kConstantRows[0], kConstantRows[1]}, 10, false, ""},
        {kConstantRows.mid(2, 7), 2, false, ""},
        {{kConstantRows[9]}, 10, false, ""},
        {{kConstantRows[10]}, 2, false, ""},
        {{kConstantRows[11], kConstantRows[12]}, 5, false, ""},
    };
}

std::vector<Target> Targets() {
    const QString countCost =
        "The match count is what costs: SQLite's FTS5 walks the lists of the keyword's runs of "
        "three characters (four lists of 100,000 to 200,000 cards for \"RÉSEAU\") and checks "
        "the positions of each card found in all of them. That count alone takes about 21 ms of "
        "processor time at 1,000,000 cards in SQLite's own shell, the program's side about 24 ms "
        "for the count, the first page and the grid; on a busy machine the command also waits "
        "for the processor. Tried: larger index pages (`pgsz`), a merged index (`optimize`, no "
        "change: 21 ms), a larger page cache, counting two halves of the numbers apart, and the "
        "two runs of three characters that cover the word (`\"RÉS\" AND \"EAU\"`, which is "
        "not exact anyway). The first page alone is ready in about a millisecond; the count is "
        "needed at once for the page state (\"Liste\" holds it).";
    std::vector<Target> targets = PageTargets();
    targets.insert(
        targets.end(),
        {
            {{"Recherche : un mot de 10 % des titres"}, 30, false, countCost},
            {{"Recherche : deux lettres, sans index (10 % des titres)"}, 1.5, true, ""},
            {{"Sauvegarde de la base"},
             2,
             true,
             "The backup reads the live file through the engine's own handle while a read "
             "transaction keeps every writer out, writes it into the copy, reads the copy back "
             "against the live file byte for byte, counts the copy's cards through the engine, "
             "then flushes the copy and its folder to the disk and renames it into place; plain "
             "SQLite's side copies the file inside the kernel and flushes it. The program moves "
             "about four times the bytes of the plain copy through memory (about 0.5 s of "
             "processor "
             "time at 1,000,000 cards), and the disk's flush of 552 MiB varies from run to run: "
             "between 1.5 × (measured alone) and 2.4 × in the runs of this work on this machine. "
             "Tried before: the engine's page-by-page copy followed by its whole integrity check "
             "(3.6 × at 1,000,000 cards on a busy machine), the same with a check of every page "
             "without the cross-check of the indexes (3.2 × at 100,000 cards)."},
        });
    return targets;
}

// On a server the search's count is held against the plainest count of the same titles.
std::vector<Target> ServerTargets() {
    const QString countCost =
        "The search counts its matches before it shows the first page, since the page state "
        "(\"Liste\") needs the total at once. On the server that count reads the narrow copy of "
        "the numbers and titles (`trucpivane_titres`, about a quarter of the table's size) "
        "through its index of runs of three characters when the word is rare, and reads it "
        "through when the word is common, in parallel on both cores; the plain count reads "
        "every title of `trucpivane`, whose rows also carry the texts.";
    std::vector<Target> targets = PageTargets();
    targets.push_back({{"Recherche : un mot de 10 % des titres"}, 1.5, true, countCost});
    return targets;
}

QString TargetsReport(const SizeResult& largest, const std::vector<Target>& targets,
                      const QString& plainName) {
    QString text;
    QTextStream md(&text);
    md << "## Targets at " << largest.cards << " cards\n\n"
       << "| Command | Target | Measured (median) | Met | Fastest run | Processor time (median) "
          "|\n"
       << "|---|---:|---:|:---:|---:|---:|\n";
    QStringList obstacles;
    bool waited = false;
    for (const Target& target : targets)
        for (const QString& row : target.rows) {
            const Measure* measure = Find(largest, row);
            if (!measure)
                continue;
            const double value =
                target.againstPlain ? measure->program / measure->baseline : measure->program;
            const bool met = value <= target.limit;
            md << "| " << row << " | ≤ "
               << (target.againstPlain ? QStringLiteral("%1 × %2").arg(target.limit).arg(plainName)
                                       : QStringLiteral("%1 ms").arg(target.limit))
               << " | "
               << (target.againstPlain ? QStringLiteral("%1 ×").arg(value, 0, 'f', 2)
                                       : Ms(value) + QStringLiteral(" ms"))
               << " | " << (met ? "oui" : "**non**") << " | "
               << (target.againstPlain ? QStringLiteral("—") : Ms(measure->programBest)) << " | "
               << Ms(measure->programProcessor) << " |\n";
            if (!met && !target.obstacle.isEmpty() && !obstacles.contains(target.obstacle))
                obstacles << target.obstacle;
            waited =
                waited || (!met && !target.againstPlain && measure->programBest <= target.limit);
        }
    const bool memoryMet = largest.peakKb <= qint64{40} * 1024;
    md << "| Peak resident memory of the program's side | ≤ 40 MiB | " << largest.peakKb / 1024
       << " MiB | " << (memoryMet ? "oui" : "**non**") << " | — | — |\n";
    if (waited)
        obstacles.prepend(
            "Where the median misses its target and the fastest run meets it, the command waited "
            "for the processor in most runs: the machine was busy with other work (its load "
            "average is given above). Each page change also rewrites the page-state file "
            "\"Liste\" (a temporary file exchanged with it; it is not flushed to the disk, "
            "being of no use after a restart): the row \"Fichier « Liste » écrit seul\" gives "
            "its cost alone.");
    for (const QString& obstacle : obstacles)
        md << "\n" << obstacle << "\n";
    return text;
}

// Rows whose work should not depend on the collection: their time at the second size against
// the first.
QString GrowthReport(const std::vector<SizeResult>& results) {
    if (results.size() < 2)
        return {};
    const SizeResult& small = results[0];
    const SizeResult& large = results[1];
    QString text;
    QTextStream md(&text);
    md << "\n## From " << small.cards << " to " << large.cards << " cards\n\n"
       << "Commands whose work is one page: their time should not grow with the collection.\n\n"
       << "| Command | " << small.cards << " (median) | " << large.cards << " (median) | "
       << small.cards << " (fastest) | " << large.cards << " (fastest) | Growth, fastest |\n"
       << "|---|---:|---:|---:|---:|---:|\n";
    for (const QString& row : kConstantRows) {
        const Measure* before = Find(small, row);
        const Measure* after = Find(large, row);
        if (before && after)
            md << "| " << row << " | " << Ms(before->program) << " | " << Ms(after->program)
               << " | " << Ms(before->programBest) << " | " << Ms(after->programBest) << " | "
               << QString::number(after->programBest / before->programBest, 'f', 2) << " × |\n";
    }
    md << "\nWith " << small.cards << " cards a category holds " << small.cards / 13
       << " of them, one page: its paging commands have nothing to do there.\n";
    md << "\nA search counts its matches: with a word found in a tenth of the titles, that count "
          "grows with the collection, and so does its time.\n";
    return text;
}

QString Report(const std::vector<SizeResult>& results, const QString& command,
               const QString& loadBefore) {
    QString text;
    QTextStream md(&text);
    md << "# Performance\n\n"
       << "Figures from `" << command << "` on " << Machine() << ", "
       << QDateTime::currentDateTime().toString(Qt::ISODate) << ".\n\n"
       << "Each command of the program is timed in the same process as the least work plain "
          "SQLite needs for the same result, on the same file (median of several runs, "
          "milliseconds). The ratio is program / plain SQLite.\n\n"
       << "Load average of the machine (1, 5, 15 minutes) before the run: " << loadBefore
       << "; after it: " << LoadAverage() << ", for " << QThread::idealThreadCount()
       << " cores. On a machine that other work keeps busy, a command may wait for the "
          "processor in the middle of its run (by steps of the system's time slice, about "
          "4 ms); the fastest run shows the command's own work, and so does the processor time "
          "of the program's thread (which leaves out both that wait and any wait for the "
          "disk).\n\n"
       << TargetsReport(results.back(), Targets(), QStringLiteral("plain")) << GrowthReport(results)
       << "\n## Every command\n\n"
       << "| Command | Cards | Program (ms) | Program's processor time (ms) | Plain SQLite (ms) | "
          "Ratio |\n"
       << "|---|---:|---:|---:|---:|---:|\n";
    for (std::size_t row = 0; row < results.front().measures.size(); ++row)
        for (const SizeResult& result : results) {
            const Measure& measure = result.measures[row];
            md << "| " << measure.operation << " | " << result.cards << " | " << Ms(measure.program)
               << " | " << Ms(measure.programProcessor) << " | " << Ms(measure.baseline) << " | "
               << Ratio(measure) << " |\n";
        }
    md << "\nWhat the plain side does:\n\n"
       << "- A page of a list or of the picker: the numbers and titles of its cards, read by "
          "seeking to the number it starts at (`WHERE Numero >= ? ORDER BY Numero LIMIT 301`). "
          "The program also writes them into the grid.\n"
       << "- A search: every title read, the matching ones kept whatever the case "
          "(`instr(lower(Titre), lower(?))`, SQLite's `lower()` knowing ASCII letters only), "
          "which is what a search costs without the title index. The program counts the matches "
          "through the index and "
          "reads the first page only; a keyword of fewer than three characters, which the index "
          "does not hold, is searched by reading every title, keeping the matching numbers.\n"
       << "- The compaction checks every page (quick check) before its `VACUUM` in place. Plain "
          "`VACUUM` does no check.\n"
       << "- The backup copies the file's bytes while a read transaction keeps every writer out, "
          "reads the copy back against the live file, counts the copy's cards through the "
          "engine, and flushes the copy before it renames it (a file in WAL mode, rare, is copied "
          "page by page by the engine and checked whole instead). Plain SQLite's backup copies "
          "the file (`QFile::copy`) and flushes it to the disk.\n"
       << "- Writes are dominated by the flush to the disk, whose time varies from run to run.\n";
    md << "\n| Cards | Peak resident memory of the program's side | File | Title index in it | "
          "Collection built in |\n"
       << "|---:|---:|---:|---:|---:|\n";
    for (const SizeResult& result : results)
        md << "| " << result.cards << " | " << result.peakKb / 1024 << " MiB | "
           << MiB(result.fileBytes) << " MiB | " << MiB(result.indexBytes) << " MiB | "
           << QString::number(result.buildSeconds, 'f', 1) << " s |\n";
    return text;
}

// The server's figures beside the plainest PostgreSQL and beside the SQLite engine on the same
// cards.
QString ServerReport(const SizeResult& server, const std::vector<SizeResult>& local,
                     const QString& version) {
    const SizeResult* sameCards = nullptr;
    for (const SizeResult& result : local)
        if (result.cards == server.cards)
            sameCards = &result;
    QString text;
    QTextStream md(&text);
    md << "\n# On a PostgreSQL server\n\n"
       << "The same commands on a collection of " << server.cards << " cards kept by " << version
       << " on the same machine, reached through its Unix socket (the throw-away "
          "cluster of `tools/pg-test-cluster.sh`, default settings). The cards were put there "
          "by the program's own import in "
       << QString::number(server.buildSeconds, 'f', 1)
       << " s, followed once by the server's maintenance (`VACUUM (ANALYZE)`), as on a server "
          "in use. Each command is timed beside the plainest PostgreSQL query for the same "
          "result, through libpq on the table `trucpivane` alone, and beside the same command on "
          "the SQLite file of the same cards.\n\n"
       << TargetsReport(server, ServerTargets(), QStringLiteral("plain PostgreSQL"))
       << "\n## Every command on the server\n\n"
       << "| Command | Program (ms) | Program's processor time (ms) | Plain PostgreSQL (ms) | "
          "Ratio | SQLite engine, same cards (ms) |\n"
       << "|---|---:|---:|---:|---:|---:|\n";
    for (const Measure& measure : server.measures) {
        const Measure* onFile = sameCards ? Find(*sameCards, measure.operation) : nullptr;
        md << "| " << measure.operation << " | " << Ms(measure.program) << " | "
           << Ms(measure.programProcessor) << " | " << Ms(measure.baseline) << " | "
           << Ratio(measure) << " | " << (onFile ? Ms(onFile->program) : QStringLiteral("—"))
           << " |\n";
    }
    md << "\nWhat the plain PostgreSQL side does:\n\n"
       << "- A count: `count(*)` of the table or of a category, which reads every row "
          "concerned; the program reads its own counts (`trucpivane_comptes`), kept by "
          "triggers in the same transaction as every write.\n"
       << "- A page: `WHERE numero >= $1 ORDER BY numero LIMIT 301` on the table's primary "
          "key (and `cate = $3` for a category, checked row by row).\n"
       << "- A search: the count of the titles that hold the word whatever the case, "
          "`count(*) ... WHERE strpos(lower(titre), lower($1)) > 0`, which reads every title; "
          "the program counts and shows the first page.\n"
       << "- The backup: every row in COPY's text form written to a file and flushed; the "
          "program writes a collection file of its own format from one snapshot, reads it "
          "back card by card and checks it whole before it renames it.\n"
       << "- The compaction: `VACUUM (ANALYZE)` of the table; the program runs it on each of "
          "its five tables (the cards, the copy of the titles, the counts, the words, the "
          "trash).\n";
    return text;
}

QString ServerVersion(const QString& server) {
    QProcess psql;
    psql.start(QStringLiteral("psql"),
               {QStringLiteral("-XAt"), QStringLiteral("-d"), server, QStringLiteral("-c"),
                QStringLiteral("SELECT 'PostgreSQL ' || current_setting('server_version')")});
    psql.waitForFinished();
    return QString::fromUtf8(psql.readAllStandardOutput()).trimmed();
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.value(0).startsWith(QLatin1String("--child"))) {
        // The offscreen platform's notes about window hints are noise here.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type >= QtCriticalMsg)
                QTextStream(stderr) << text << '\n';
        });
        PivanesApplication app(argc, argv);
        if (args.value(0) == QLatin1String("--child-huge")) {
            EnterChildFolder(args.value(1));
            return HugeCards::RunChild(args.value(2).toInt());
        }
        return RunChild(args.value(1), args.value(2).toInt(), args.value(3).toInt(), args.value(4),
                        args.value(5));
    }
    QCoreApplication app(argc, argv);
    QList<int> sizes{1000, 100000, 1000000};
    int reps = 5;
    QString markdown;
    QString only;
    QString server; // a database of a server to measure on as well, at the largest size
    if (args.contains(QLatin1String("--grandes-fiches"))) {
        const qsizetype repsAt = args.indexOf(QLatin1String("--reps"));
        reps = repsAt >= 0 ? std::max(1, args.value(repsAt + 1).toInt()) : 3;
        out << HugeCardsReport(QCoreApplication::applicationFilePath(), reps);
        return 0;
    }
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString& size : args[i + 1].split(','))
                sizes << size.toInt();
        } else if (args[i] == QLatin1String("--reps"))
            reps = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--only"))
            only = args[i + 1];
        else if (args[i] == QLatin1String("--markdown"))
            markdown = args[i + 1];
        else if (args[i] == QLatin1String("--serveur"))
            server = args[i + 1];
    }
    const QString loadBefore = LoadAverage();
    std::vector<SizeResult> results;
    for (int size : sizes) {
        out << "Collection de " << size << " fiches..." << Qt::endl;
        results.push_back(RunSize(QCoreApplication::applicationFilePath(), size, reps, only));
    }
    QString report = Report(results, QStringLiteral("bash tools/bench.sh"), loadBefore);
    if (!server.isEmpty()) {
        out << "Collection de " << sizes.last() << " fiches sur le serveur..." << Qt::endl;
        report += ServerReport(RunServerSize(QCoreApplication::applicationFilePath(), server,
                                             sizes.last(), reps, only),
                               results, ServerVersion(server));
        report +=
            QStringLiteral("\nLoad average after the server's figures: %1.\n").arg(LoadAverage());
    }
    out << report;
    if (!markdown.isEmpty()) {
        QFile file(markdown);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        file.write(report.toUtf8());
    }
    return 0;
}
