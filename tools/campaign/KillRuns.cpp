#include "KillRuns.h"

#include "ChildProcess.h"
#include "Figures.h"
#include "Operations.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

constexpr int kReplays = 25;

const char* const kNames[] = {"add", "edit", "compact", "backup", "restore", "pagestate"};

void Say(const QByteArray& line) {
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// What the folders hold before the run and what the run writes, as expected bytes.
struct Expected {
    QByteArray liveMarkerBefore;
    QByteArray backupMarkerBefore;
    QByteArray liveMarkerAfterBackup;
};

const Expected& ExpectedMarkers(const RunFolders& folders) {
    // Written once for each set of folders: each costs a flush to the disk.
    static std::map<QString, Expected> known;
    const QString data = folders.data + QLatin1Char('/');
    const QString backup = folders.backup + QLatin1Char('/');
    auto found = known.find(data);
    if (found == known.end())
        found =
            known
                .emplace(
                    data,
                    Expected{Operations::MarkerBytes({backup, data, QStringLiteral("01/01/2020")}),
                             Operations::MarkerBytes({backup, data, QStringLiteral("02/02/2019")}),
                             Operations::MarkerBytes({backup, data, Operations::BackupDate()})})
                .first;
    return found->second;
}

CardList Applied(const RunPlan& plan, std::size_t writes) {
    CardList cards = plan.live;
    for (std::size_t i = 0; i < writes; ++i) {
        const RawCard& write = plan.writes[i];
        auto place = std::find_if(cards.begin(), cards.end(),
                                  [&](const RawCard& card) { return card.numero == write.numero; });
        if (place == cards.end())
            cards.push_back(write);
        else
            *place = write;
    }
    return cards;
}

// One run after its kill: what the folders hold must be one of the states the run may have
// reached, whole.
class RunCheck {
public:
    RunCheck(const RunPlan& plan, Figures& figures, QString replay)
        : plan_(plan), figures_(figures), replay_(std::move(replay)) {}

    void Database(const QString& file, const std::vector<const CardList*>& candidates,
                  const QString& what) {
        const Inspection found = Inspect(file);
        if (!found.problem.isEmpty()) {
            ++figures_.damagedDatabases;
            Fault(what + QStringLiteral(" is not a whole database: ") + found.problem);
            return;
        }
        figures_.cardsChecked += qint64(found.cards.size());
        std::optional<CardComparison> closest;
        for (const CardList* candidate : candidates) {
            CardComparison comparison = CompareCards(*candidate, found.cards);
            if (comparison.Same())
                return;
            if (!closest || comparison.differences.size() < closest->differences.size())
                closest = comparison;
        }
        figures_.cardsLost += closest->lost;
        figures_.cardsChanged += closest->changed + closest->unexpected;
        Fault(what + QStringLiteral(" holds neither the old nor the new cards: ") +
              closest->differences.mid(0, 3).join(QStringLiteral("; ")));
    }

    // The next start of the program must open the collection the kill left.
    void Restart(const QString& file) {
        if (const std::optional<QString> refusal = Operations::OpenAtStart(file))
            Fault(QStringLiteral("the next start refuses Pivane.mdb: ") + *refusal);
    }

    void SmallFile(const QString& file, const std::vector<QByteArray>& candidates,
                   const QString& what) {
        ++figures_.smallFilesChecked;
        const QByteArray bytes = FileBytes(file);
        if (std::find(candidates.begin(), candidates.end(), bytes) != candidates.end())
            return;
        ++figures_.smallFilesPartial;
        Fault(QStringLiteral("%1 is neither old nor new: %2 bytes \"%3\"")
                  .arg(what)
                  .arg(bytes.size())
                  .arg(QString::fromLatin1(bytes.left(60).toPercentEncoding(" /:\\"))));
    }

    void Fault(const QString& what) {
        figures_.Find(QStringLiteral("kill %1").arg(NameOf(plan_.operation)), what, replay_);
    }

private:
    const RunPlan& plan_;
    Figures& figures_;
    QString replay_;
};

void CheckRun(const RunPlan& plan, const RunFolders& folders, std::size_t done, bool finished,
              RunCheck& check) {
    const QString live = folders.data + QStringLiteral("/Pivane.mdb");
    const QString backupDatabase = folders.backup + QStringLiteral("/PIVANE.MDB");
    const QString liveMarker = folders.data + QStringLiteral("/Sauve.kor");
    const QString backupMarker = folders.backup + QStringLiteral("/SAUVE.KOR");
    const Expected& markers = ExpectedMarkers(folders);
    check.Restart(live);
    switch (plan.operation) {
    case Operation::Add:
    case Operation::Edit: {
        const CardList reported = Applied(plan, done);
        const CardList next = Applied(plan, std::min(done + 1, plan.writes.size()));
        check.Database(live, {&reported, &next}, QStringLiteral("Pivane.mdb"));
        break;
    }
    case Operation::Compact: {
        check.Database(live, {&plan.live}, QStringLiteral("Pivane.mdb"));
        const Inspection after = Inspect(live);
        if (finished && after.problem.isEmpty() && after.freePages > 0)
            check.Fault(QStringLiteral("compaction reported done but %1 pages are still free")
                            .arg(after.freePages));
        break;
    }
    case Operation::Backup: {
        check.Database(live, {&plan.live}, QStringLiteral("Pivane.mdb"));
        std::vector<const CardList*> copies{&plan.live};
        std::vector<QByteArray> backupMarkers{markers.liveMarkerAfterBackup};
        std::vector<QByteArray> liveMarkers{markers.liveMarkerAfterBackup};
        if (!finished) {
            copies.push_back(&plan.backup);
            backupMarkers.push_back(markers.backupMarkerBefore);
            liveMarkers.push_back(markers.liveMarkerBefore);
        }
        check.Database(backupDatabase, copies, QStringLiteral("the backup's PIVANE.MDB"));
        check.SmallFile(liveMarker, liveMarkers, QStringLiteral("Sauve.kor"));
        check.SmallFile(backupMarker, backupMarkers, QStringLiteral("the backup's SAUVE.KOR"));
        break;
    }
    case Operation::Restore: {
        std::vector<const CardList*> states{&plan.backup};
        std::vector<QByteArray> liveMarkers{markers.backupMarkerBefore};
        if (!finished) {
            states.push_back(&plan.live);
            liveMarkers.push_back(markers.liveMarkerBefore);
        }
        check.Database(live, states, QStringLiteral("Pivane.mdb"));
        check.SmallFile(liveMarker, liveMarkers, QStringLiteral("Sauve.kor"));
        check.Database(backupDatabase, {&plan.backup}, QStringLiteral("the backup's PIVANE.MDB"));
        check.SmallFile(backupMarker, {markers.backupMarkerBefore},
                        QStringLiteral("the backup's SAUVE.KOR"));
        break;
    }
    case Operation::PageState: {
        std::vector<QByteArray> states;
        for (std::size_t i = done; i <= std::min(done + 1, plan.states.size() - 1); ++i)
            states.push_back(
                Operations::PageStateBytes(plan.states[i].first, plan.states[i].second));
        check.SmallFile(folders.data + QStringLiteral("/Liste"), states, QStringLiteral("Liste"));
        break;
    }
    }
}

} // namespace

QString NameOf(Operation operation) {
    return QString::fromLatin1(kNames[int(operation)]);
}

std::optional<Operation> OperationNamed(const QString& name) {
    for (Operation operation : kOperations)
        if (NameOf(operation) == name)
            return operation;
    return std::nullopt;
}

RunFolders::RunFolders(const QString& root)
    : data(root + QStringLiteral("/data")), backup(root + QStringLiteral("/backup")) {}

RunPlan PlanRun(Operation operation, quint64 seed) {
    QRandomGenerator random = Seeded(seed);
    RunPlan plan{operation, seed, {}, {}, 0, {}, {}};
    const qint64 first = 1 + random.bounded(500);
    plan.live = RandomCards(random, 40 + random.bounded(260), first, "FICHE");
    plan.freePages =
        operation == Operation::Compact ? 50 + random.bounded(600) : random.bounded(50);
    const int writes = 1 + random.bounded(4);
    switch (operation) {
    case Operation::Add:
        for (int i = 0; i < writes; ++i)
            plan.writes.push_back(RandomCard(random, plan.live.back().numero + 1 + i, "NOUVELLE"));
        break;
    case Operation::Edit:
        for (int i = 0; i < writes; ++i) {
            const RawCard& old = plan.live[std::size_t(random.bounded(int(plan.live.size())))];
            RawCard edited = RandomCard(random, old.numero, "MODIFIEE");
            edited.cate = old.cate; // the editor keeps the category the card was picked in
            plan.writes.push_back(edited);
        }
        break;
    case Operation::Backup:
        plan.backup = RandomCards(random, 20 + random.bounded(150), 1, "ANCIENNE");
        break;
    case Operation::Restore:
        plan.backup = RandomCards(random, 20 + random.bounded(200), 1, "SAUVEE");
        break;
    case Operation::Compact:
        break;
    case Operation::PageState:
        // Each write takes little time: many of them, so that kills fall among them.
        for (int i = 0; i <= 10 * writes; ++i) {
            const int total = random.bounded(1000000);
            plan.states.emplace_back(total, total == 0 ? 0 : random.bounded(total));
        }
        break;
    }
    return plan;
}

void PrepareRun(const RunPlan& plan, const RunFolders& folders) {
    RemoveTree(folders.data);
    RemoveTree(folders.backup);
    QDir().mkpath(folders.data);
    QDir().mkpath(folders.backup);
    WriteDatabase(folders.data + QStringLiteral("/Pivane.mdb"), plan.live, {plan.freePages, true});
    const Expected& markers = ExpectedMarkers(folders);
    if (!plan.backup.empty()) {
        WriteDatabase(folders.backup + QStringLiteral("/PIVANE.MDB"), plan.backup);
        PutFile(folders.data + QStringLiteral("/Sauve.kor"), markers.liveMarkerBefore);
        PutFile(folders.backup + QStringLiteral("/SAUVE.KOR"), markers.backupMarkerBefore);
    }
    if (!plan.states.empty())
        PutFile(folders.data + QStringLiteral("/Liste"),
                Operations::PageStateBytes(plan.states[0].first, plan.states[0].second));
}

int RunPlannedOperation(const RunPlan& plan, const RunFolders& folders) {
    QElapsedTimer clock;
    // Ready once started; the parent starts the next run's child while it checks the last one,
    // and says when to go.
    const auto ready = [&] {
        AwaitGo();
        clock.start();
    };
    const auto report = [](const Operations::Said& said) {
        if (!said.done)
            Say("failed " + said.messages.join(QStringLiteral(" / ")).toUtf8().replace('\n', ' '));
        return said.done;
    };
    bool ok = true;
    try {
        switch (plan.operation) {
        case Operation::Add:
        case Operation::Edit:
            Operations::OpenCollection();
            ready();
            for (std::size_t i = 0; i < plan.writes.size(); ++i) {
                if (plan.operation == Operation::Edit)
                    Operations::EditCard(plan.writes[i]);
                else if (Operations::AddCard(plan.writes[i]) != plan.writes[i].numero)
                    Say("failed: the card was given another number");
                Say("done " + QByteArray::number(qulonglong(i)));
            }
            break;
        case Operation::Compact:
            ok = report(Operations::Compact(ready));
            break;
        case Operation::Backup:
            ok = report(Operations::Backup(folders.backup, ready));
            break;
        case Operation::Restore:
            ok = report(Operations::Restore(folders.backup, ready));
            break;
        case Operation::PageState:
            ready();
            for (std::size_t i = 1; i < plan.states.size(); ++i) {
                Operations::WritePageState(plan.states[i].first, plan.states[i].second);
                Say("done " + QByteArray::number(qulonglong(i - 1)));
            }
            break;
        }
    } catch (...) {
        Say("failed " + Operations::CurrentErrorText().toUtf8().replace('\n', ' '));
        ok = false;
    }
    if (ok)
        Say("finished " + QByteArray::number(clock.nsecsElapsed() / 1000));
    // Waits for the kill, which may also come before any of this.
    char byte;
    while (::read(0, &byte, 1) > 0) {
    }
    return 0;
}

namespace {

// A run whose child is starting: its plan, its folders and the child.
struct PendingRun {
    int run;
    RunPlan plan;
    std::unique_ptr<RunFolders> folders;
    std::unique_ptr<ChildProcess> child;
};

PendingRun StartRun(const KillSettings& settings, int run, const QString& root) {
    const Operation operation = settings.replayOperation
                                    ? *settings.replayOperation
                                    : kOperations[std::size_t(run) % std::size(kOperations)];
    const quint64 seed =
        settings.replayOperation ? settings.replaySeed : RunSeed(settings.seed, run);
    // Two sets of folders in turn: one for the run being checked, one for the child starting.
    const QString folder = root + (run % 2 ? QStringLiteral("/odd") : QStringLiteral("/even"));
    PendingRun pending{run, PlanRun(operation, seed), std::make_unique<RunFolders>(folder), {}};
    PrepareRun(pending.plan, *pending.folders);
    pending.child = std::make_unique<ChildProcess>(
        QStringList{QStringLiteral("kill-run"), NameOf(operation), QString::number(seed), folder});
    return pending;
}

} // namespace

void RunKills(const KillSettings& settings, Figures& figures) {
    QDir().mkpath(settings.work + QStringLiteral("/kills"));
    const QString root = QFileInfo(settings.work + QStringLiteral("/kills")).canonicalFilePath();
    QFile log(settings.work + QStringLiteral("/kills.log"));
    log.open(QIODevice::WriteOnly | QIODevice::Append);
    QTextStream logLine(&log);
    QRandomGenerator delays = Seeded(settings.seed ^ 0xde1a7);
    std::map<Operation, double> microsEstimate;
    // Where a kill lands shifts with the machine's load: a replay runs the same state again and
    // again with delays spread around the logged one.
    const int runs = settings.replayOperation ? kReplays : settings.kills;
    std::optional<PendingRun> next = StartRun(settings, 0, root);
    for (int run = 0; run < runs; ++run) {
        PendingRun current = std::move(*next);
        next.reset();
        if (run + 1 < runs)
            next = StartRun(settings, run + 1, root);
        const RunPlan& plan = current.plan;
        const RunFolders& folders = *current.folders;
        ChildProcess& child = *current.child;
        const Operation operation = plan.operation;
        const quint64 seed = plan.seed;

        QList<QByteArray> lines;
        const std::optional<QByteArray> ready = child.ReadLine(milliseconds(120000));
        qint64 delay = -1;
        if (ready == QByteArray("ready")) {
            const auto estimate = microsEstimate.find(operation);
            if (settings.replayDelayMicros >= 0)
                delay = settings.replayDelayMicros * (kReplays + 2 * run) / (qint64{2} * kReplays);
            else if (estimate != microsEstimate.end())
                delay = qint64(delays.bounded(1.25 * estimate->second));
            child.Write("go\n");
            if (delay >= 0) {
                SleepMicros(delay);
            } else {
                // The first run of each kind measures it: killed once it has finished.
                while (const std::optional<QByteArray> line =
                           child.ReadLine(milliseconds(120000))) {
                    lines << *line;
                    if (line->startsWith("finished") || line->startsWith("failed"))
                        break;
                }
            }
        }
        child.Kill();
        const ChildProcess::End end = child.Wait(milliseconds(60000));
        lines << child.RemainingLines();

        std::size_t done = 0;
        bool finished = false;
        for (const QByteArray& line : lines) {
            if (line.startsWith("done "))
                ++done;
            if (line.startsWith("finished ")) {
                finished = true;
                const double micros = line.mid(9).toDouble();
                double& estimate = microsEstimate.try_emplace(operation, micros).first->second;
                estimate = 0.8 * estimate + 0.2 * micros;
            }
        }
        const QString replay =
            QStringLiteral("--replay %1:%2:%3").arg(NameOf(operation)).arg(seed).arg(delay);
        logLine << "run " << run << ' ' << NameOf(operation) << " seed=" << seed
                << " delay_us=" << delay << " done=" << done << " finished=" << finished << '\n';
        logLine.flush();

        ++figures.kills;
        ++figures.killsByOperation[NameOf(operation)];
        if (!finished)
            ++figures.killsDuringOperation;
        if (ready != QByteArray("ready") || end.Crashed() || !end.killedByUs) {
            ++figures.crashes;
            figures.Find(QStringLiteral("kill ") + NameOf(operation),
                         QStringLiteral("the child ended before its kill: ") + end.Describe(),
                         replay);
        }
        if (end.SanitizerReport())
            ++figures.sanitizerReports;
        for (const QByteArray& line : lines)
            if (line.startsWith("failed"))
                figures.Find(QStringLiteral("kill ") + NameOf(operation),
                             QStringLiteral("the command failed: ") + QString::fromUtf8(line),
                             replay);
        RunCheck check(plan, figures, replay);
        CheckRun(plan, folders, done, finished, check);
        if ((run + 1) % 50 == 0)
            std::fprintf(stderr, "kills: %d of %d\n", run + 1, runs);
    }
}
