// Times the program's commands on large collections, each beside the least work plain SQLite
// needs for the same result, and writes the table to a Markdown file.
//
//   pivanes-bench [--sizes 1000,100000,1000000] [--reps 5] [--markdown docs/PERFORMANCE.md]
//   pivanes-bench --grandes-fiches [--reps 3]    only the cards of 100 KB to 10 MB
//
// Each size runs in a child process of its own, so that its peak memory is its own.
#include "Baseline.h"
#include "HugeCards.h"
#include "ProgramSide.h"
#include "SyntheticCards.h"
#include "platform/Application.h"
#include "platform/Guard.h"
#include "platform/MessageBox.h"
#include "store/CardStore.h"
#include "store/CollectionWriter.h"
#include "store/Donnees.h"
#include "store/Queries.h"

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
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

QTextStream out(stdout);

struct Measure {
    QString operation;
    double program = -1; // median milliseconds
    double baseline = -1;
};

double TimedMs(const std::function<void()>& op) {
    QElapsedTimer timer;
    timer.start();
    op();
    return double(timer.nsecsElapsed()) / 1e6;
}

double Median(std::vector<double> times) {
    if (times.empty())
        return -1;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Lets the next reading of the peak resident memory start from what is resident now, once the
// heap has handed back what the other side freed.
void ResetPeakResident() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

qint64 PeakResidentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

qint64 NumbersAndTitlesBytes() {
    sqlite3* db = nullptr;
    sqlite3_open_v2("Pivane.mdb", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT 4 * COUNT(*) + SUM(length(CAST(Titre AS BLOB))) FROM TrucPivane",
                       -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const qint64 bytes = sqlite3_column_int64(stmt, 0);
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

QString Edited(int run) {
    return QStringLiteral("Texte modifié, passage %1").arg(run);
}

void EnterChildFolder(const QString& folder) {
    QDir::setCurrent(folder);
    MessageBox::Testing::Enable();
    Application::Testing::Enable();
    Donnees.DatabaseFileName = QStringLiteral("Pivane.mdb");
}

int RunChild(const QString& folder, int cards, int reps) {
    EnterChildFolder(folder);
    Store().OpenDatabase(Donnees.DatabaseFileName);
    const qint32 last = cards;
    const int slowReps = cards >= 1000000 ? 3 : reps;
    // The disk's flush times vary widely: writes need more runs for a steady median.
    const int writeReps = 3 * reps;
    const QString backup = QDir(folder).filePath(QStringLiteral("PIVANE.MDB.copie"));
    auto removeBackup = [backup] { QFile::remove(backup); };
    auto openAll = [] { ProgramSide::OpenAndCount(QString()); };
    int edits = 0;

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
        {"Liste : collecte et première page", reps, OpenList, FillList, CloseList,
         [&] { plain().CollectTitles(QString(), false); }},
        {"Liste : « Suite »", reps, OpenList, NextPage, CloseList, {}},
        {"Recherche : un mot de 10 % des titres", reps, OpenSearch,
         [] { Search(QStringLiteral("RÉSEAU")); }, CloseSearch,
         [&] { plain().CollectTitles(QStringLiteral("RÉSEAU"), true); }},
        {"Recherche : un mot absent", reps, OpenSearch,
         [] { Search(QStringLiteral("INTROUVABLE")); }, CloseSearch,
         [&] { plain().CollectTitles(QStringLiteral("INTROUVABLE"), true); }},
        {"Nouvelle fiche (Ecrire)", writeReps, {}, WriteNewCard, {},
         [&] { plain().InsertCard(); }},
        // A text that differs at each run: the engine skips a write that changes nothing.
        {"Enregistrer une fiche modifiée", writeReps, [&] { OpenEditor(13, Edited(++edits)); },
         SaveEditedCard, CloseEditor, [&] { plain().UpdateCard(13, Edited(++edits)); }},
        {"Compactage", slowReps, {}, Compact, {},
         [&] { plain().Vacuum(); }},
        {"Sauvegarde de la base", slowReps, removeBackup, [&] { Backup(backup); }, removeBackup,
         [&] { Baseline::CopyFile(QStringLiteral("Pivane.mdb"), backup); }, removeBackup},
    };
    // clang-format on

    // The two sides take turns, run by run, so that both meet the same state of the caches; a
    // first run of each is not counted. The peak memory is the program's side alone: it is
    // read after each of its runs, from what was resident before the run.
    std::vector<Measure> measures;
    qint64 peak = 0;
    for (const Command& command : commands) {
        std::vector<double> program, plainTimes;
        // Opened afresh for each command: the program's compaction replaces the file.
        baseline = std::make_unique<Baseline>(QStringLiteral("Pivane.mdb"));
        for (int run = 0; run <= command.reps; ++run) {
            if (command.setup)
                command.setup();
            ResetPeakResident();
            const double programMs = TimedMs(command.program);
            peak = std::max(peak, PeakResidentKb());
            if (command.teardown)
                command.teardown();
            if (run > 0)
                program.push_back(programMs);
            if (!command.baseline)
                continue;
            if (command.baselineSetup)
                command.baselineSetup();
            const double plainMs = TimedMs(command.baseline);
            if (run > 0)
                plainTimes.push_back(plainMs);
        }
        baseline.reset();
        measures.push_back({command.name, Median(program), Median(plainTimes)});
    }
    QFile::remove(QStringLiteral("plain-vacuum.db"));

    for (const Measure& measure : measures)
        out << "row\t" << measure.operation << '\t' << measure.program << '\t' << measure.baseline
            << '\n';
    out << "peak\t" << peak << '\t' << NumbersAndTitlesBytes() << '\n';
    return 0;
}

QString ChildOutput(const QString& self, const QStringList& arguments) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, arguments);
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        throw std::runtime_error("the measuring process failed");
    return QString::fromUtf8(child.readAllStandardOutput());
}

struct SizeResult {
    int cards = 0;
    double buildSeconds = 0;
    std::vector<Measure> measures;
    qint64 peakKb = 0;
    qint64 payloadBytes = 0;
};

SizeResult RunSize(const QString& self, int cards, int reps) {
    SizeResult result;
    result.cards = cards;
    QTemporaryDir folder;
    QElapsedTimer timer;
    timer.start();
    {
        CollectionWriter writer(folder.filePath(QStringLiteral("Pivane.mdb")));
        for (qint32 numero = 1; numero <= cards; ++numero)
            writer.Add(SyntheticCard(numero));
        writer.Commit();
    }
    result.buildSeconds = double(timer.elapsed()) / 1000;

    const QString output = ChildOutput(self, {QStringLiteral("--child"), folder.path(),
                                              QString::number(cards), QString::number(reps)});
    for (const QString& line : output.split('\n')) {
        const QStringList fields = line.split('\t');
        if (fields.value(0) == QLatin1String("row") && fields.size() == 4)
            result.measures.push_back({fields[1], fields[2].toDouble(), fields[3].toDouble()});
        else if (fields.value(0) == QLatin1String("peak") && fields.size() == 3) {
            result.peakKb = fields[1].toLongLong();
            result.payloadBytes = fields[2].toLongLong();
        }
    }
    if (result.measures.empty())
        throw std::runtime_error("the measuring process failed");
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

QString Report(const std::vector<SizeResult>& results, const QString& command) {
    QString text;
    QTextStream md(&text);
    md << "# Performance\n\n"
       << "Figures from `" << command << "` on " << Machine() << ", "
       << QDateTime::currentDateTime().toString(Qt::ISODate) << ".\n\n"
       << "Each command of the program is timed in the same process as the least work plain "
          "SQLite needs for the same result, on the same file (median of several runs, "
          "milliseconds). The ratio is program / plain SQLite.\n\n"
       << "| Command | Cards | Program (ms) | Plain SQLite (ms) | Ratio |\n"
       << "|---|---:|---:|---:|---:|\n";
    for (std::size_t row = 0; row < results.front().measures.size(); ++row)
        for (const SizeResult& result : results) {
            const Measure& measure = result.measures[row];
            md << "| " << measure.operation << " | " << result.cards << " | " << Ms(measure.program)
               << " | " << Ms(measure.baseline) << " | " << Ratio(measure) << " |\n";
        }
    md << "\nWhat the plain side leaves out:\n\n"
       << "- The list and the search also write their first page (up to 300 rows) into the grid, "
          "which has no counterpart in plain SQLite; with few cards that is most of their time.\n"
       << "- The compaction checks every page (quick check) before its `VACUUM` in place; the "
          "backup checks its copy whole (integrity check) and flushes it before it renames it. "
          "Plain `VACUUM` and a plain file copy do neither.\n"
       << "- A page change (\"Suite\") has no plain counterpart: compare it across the sizes.\n"
       << "- Writes are dominated by the flush to the disk, whose time varies from run to run.\n";
    md << "\n| Cards | Peak resident memory of the program's side | Numbers and titles alone | "
          "Memory / numbers and titles | Collection built in |\n"
       << "|---:|---:|---:|---:|---:|\n";
    for (const SizeResult& result : results)
        md << "| " << result.cards << " | " << result.peakKb / 1024 << " MiB | "
           << result.payloadBytes / 1048576 << " MiB | "
           << QString::number(double(result.peakKb) * 1024 / double(result.payloadBytes), 'f', 2)
           << " | " << QString::number(result.buildSeconds, 'f', 1) << " s |\n";
    return text;
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
        return RunChild(args.value(1), args.value(2).toInt(), args.value(3).toInt());
    }
    QCoreApplication app(argc, argv);
    QList<int> sizes{1000, 100000, 1000000};
    int reps = 5;
    QString markdown;
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
        else if (args[i] == QLatin1String("--markdown"))
            markdown = args[i + 1];
    }
    std::vector<SizeResult> results;
    for (int size : sizes) {
        out << "Collection de " << size << " fiches..." << Qt::endl;
        results.push_back(RunSize(QCoreApplication::applicationFilePath(), size, reps));
    }
    const QString report = Report(results, QStringLiteral("bash tools/bench.sh"));
    out << report;
    if (!markdown.isEmpty()) {
        QFile file(markdown);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        file.write(report.toUtf8());
    }
    return 0;
}
