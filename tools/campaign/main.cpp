// The fault campaign: kills during writes, bad files, two processes on one folder, kills during
// the return of a local copy to its server.
//   pivanes-campaign [--short] [--kills N] [--files N] [--rounds N] [--returns N] [--seed S]
//                    [--work DIR] [--report FILE] [--replay COMMAND:SEED:DELAY] [--file N]
//                    [--round N] [--return-round N]
// Ends with 0 when no fault was found.
#include "Corpus.h"
#include "Figures.h"
#include "KillRuns.h"
#include "Operations.h"
#include "Report.h"
#include "ReturnKills.h"
#include "TwoProcesses.h"
#include "convert/Isolated.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

int Usage() {
    std::fputs("usage: pivanes-campaign [--short] [--kills N] [--files N] [--rounds N] [--seed S] "
               "[--work DIR] [--report FILE] [--commit ID] [--replay COMMAND:SEED:DELAY] "
               "[--file N] [--round N] [--return-round N] [--timeout SECONDS]\n",
               stderr);
    return 2;
}

void EnterFolder(const char* folder) {
    if (::chdir(folder) != 0)
        qFatal("cannot enter %s", folder);
}

int Child(int argc, char** argv) {
    // A file read without end must not take the machine's memory: the sanitizer has its own limit.
    if (!kSanitized) {
        const rlimit memory{rlim_t(4) << 30, rlim_t(4) << 30};
        ::setrlimit(RLIMIT_AS, &memory);
    }
    const QString mode = QString::fromLocal8Bit(argv[2]);
    const auto argument = [&](int i) {
        return i < argc ? QString::fromLocal8Bit(argv[i]) : QString();
    };
    if (mode == QLatin1String("kill-run") && argc == 6) {
        const std::optional<Operation> operation = OperationNamed(argument(3));
        if (!operation)
            return Usage();
        const RunPlan plan = PlanRun(*operation, argument(4).toULongLong());
        const RunFolders folders(argument(5));
        EnterFolder(QFile::encodeName(folders.data).constData());
        std::unique_ptr<QApplication> windows;
        if (*operation == Operation::Compact || *operation == Operation::Backup ||
            *operation == Operation::Restore)
            windows = Operations::StartWindows(argc, argv);
        return RunPlannedOperation(plan, folders);
    }
    if (mode == QLatin1String("open") && argc == 5) {
        EnterFolder(argv[4]);
        for (FileKind kind : {FileKind::Database, FileKind::Marker, FileKind::PageState})
            if (NameOf(kind) == argument(3))
                return OpenAsTheProgramDoes(kind, argc, argv);
        return Usage();
    }
    if (mode == QLatin1String("saver") && argc == 5) {
        EnterFolder(argv[3]);
        return RunSaver(argument(4).toULongLong());
    }
    if (mode == QLatin1String("compactor") && argc == 5) {
        EnterFolder(argv[3]);
        return RunCompactor(argument(4).toInt(), argc, argv);
    }
    if (mode == QLatin1String("returner") && argc == 5)
        return RunReturner(argument(3), argument(4));
    if (mode == QLatin1String("restorer") && argc == 6) {
        EnterFolder(argv[3]);
        return RunRestorer(argument(4), argument(5).toInt(), argc, argv);
    }
    return Usage();
}

void PrepareChildren() {
    std::signal(SIGPIPE, SIG_IGN);
    // Children run offscreen, in French order of things, with reports the campaign can read.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ASAN_OPTIONS"))
        qputenv("ASAN_OPTIONS", "detect_leaks=0:hard_rss_limit_mb=3000");
    if (qEnvironmentVariableIsEmpty("PIVANES_MODULE_DIR"))
        qputenv("PIVANES_MODULE_DIR", PIVANES_MODULE_BUILD_DIR);
    if (qEnvironmentVariableIsEmpty("UBSAN_OPTIONS"))
        qputenv("UBSAN_OPTIONS", "print_stacktrace=1");
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))
        return *served;
    if (argc > 2 && QByteArray(argv[1]) == "child")
        return Child(argc, argv);

    KillSettings kills;
    CorpusSettings corpus;
    TwoProcessSettings two;
    ReturnSettings returns;
    QString report;
    QString commit;
    QString workFolder;
    quint64 seed = quint64(QDateTime::currentMSecsSinceEpoch() % 1000000);
    bool seedGiven = false;
    bool replaying = false;
    QStringList command{QStringLiteral("pivanes-campaign")};
    for (int i = 1; i < argc; ++i) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        command << option;
        const auto value = [&]() -> QString {
            if (i + 1 >= argc)
                return QString();
            command << QString::fromLocal8Bit(argv[i + 1]);
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (option == QLatin1String("--short")) {
            kills.kills = 50;
            corpus.files = 50;
            two.rounds = 2;
            returns.rounds = 2;
        } else if (option == QLatin1String("--kills")) {
            kills.kills = value().toInt();
        } else if (option == QLatin1String("--files")) {
            corpus.files = value().toInt();
        } else if (option == QLatin1String("--rounds")) {
            two.rounds = value().toInt();
        } else if (option == QLatin1String("--returns")) {
            returns.rounds = value().toInt();
        } else if (option == QLatin1String("--return-round")) {
            returns.only = value().toInt();
            replaying = true;
        } else if (option == QLatin1String("--seed")) {
            seed = value().toULongLong();
            seedGiven = true;
        } else if (option == QLatin1String("--work")) {
            workFolder = value();
        } else if (option == QLatin1String("--report")) {
            report = value();
        } else if (option == QLatin1String("--commit")) {
            commit = value();
        } else if (option == QLatin1String("--timeout")) {
            corpus.timeoutSeconds = value().toInt();
        } else if (option == QLatin1String("--replay")) {
            const QStringList parts = value().split(QLatin1Char(':'));
            if (parts.size() != 3 || !OperationNamed(parts[0]))
                return Usage();
            kills.replayOperation = OperationNamed(parts[0]);
            kills.replaySeed = parts[1].toULongLong();
            kills.replayDelayMicros = parts[2].toLongLong();
            replaying = true;
        } else if (option == QLatin1String("--file")) {
            corpus.only = value().toInt();
            replaying = true;
        } else if (option == QLatin1String("--round")) {
            two.only = value().toInt();
            replaying = true;
        } else {
            return Usage();
        }
    }
    if ((corpus.only >= 0 || two.only >= 0 || returns.only >= 0) && !seedGiven)
        return Usage();
    PrepareChildren();

    QTemporaryDir temporary;
    const QString work = workFolder.isEmpty() ? temporary.path() : workFolder;
    QDir().mkpath(work);
    kills.work = corpus.work = two.work = returns.work = work;
    kills.seed = corpus.seed = two.seed = returns.seed = seed;
    std::fprintf(stderr, "campaign: seed %llu, work folder %s\n", seed, qPrintable(work));

    Figures figures;
    ReportContext context{command.join(QLatin1Char(' ')), seed, kSanitized, commit, 0, 0, 0};
    QElapsedTimer part;
    if ((!replaying && kills.kills > 0) || kills.replayOperation) {
        part.start();
        RunKills(kills, figures);
        context.killSeconds = double(part.elapsed()) / 1000;
    }
    if ((!replaying && corpus.files > 0) || corpus.only >= 0) {
        part.start();
        RunCorpus(corpus, figures);
        context.fileSeconds = double(part.elapsed()) / 1000;
    }
    if ((!replaying && two.rounds > 0) || two.only >= 0) {
        part.start();
        RunTwoProcesses(two, figures);
        context.twoProcessSeconds = double(part.elapsed()) / 1000;
    }

    if ((!replaying && returns.rounds > 0) || returns.only >= 0) {
        part.start();
        RunReturnKills(returns, figures);
        context.returnSeconds = double(part.elapsed()) / 1000;
    }

    const QString page = ReliabilityReport(figures, context);
    if (!report.isEmpty()) {
        QFile out(report);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(page.toUtf8()) < 0)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(report));
    }
    std::fprintf(stderr,
                 "campaign: %d kills, %lld cards checked, %d files opened, %d rounds, %d returns; "
                 "%d crashes, "
                 "%d hangs, %d sanitizer reports, %d files changed by opening, %d without French "
                 "message, %d data lost; %lld faults found\n",
                 figures.kills, figures.cardsChecked, figures.filesOpened, figures.rounds,
                 figures.returnRounds, figures.crashes, figures.hangs, figures.sanitizerReports,
                 figures.filesChangedByOpening, figures.filesWithoutFrenchMessage,
                 figures.DataLost(), figures.findings.size());
    return figures.findings.isEmpty() ? 0 : 1;
}
