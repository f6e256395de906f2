#include "ReturnKills.h"

#include "ChildProcess.h"
#include "Collections.h"
#include "Figures.h"
#include "store/ServerCopy.h"
#include "store/StoreError.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <map>

namespace {

using std::chrono::milliseconds;

constexpr int kCards = 60;
constexpr int kTrashedFrom = 55; // cards 55 to 60 are in the trash when the copy is made
constexpr int kChanges = 30;

void Psql(const QString& connection, const QString& sql) {
    QProcess psql;
    psql.start(QStringLiteral("psql"),
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
                QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"), connection,
                QStringLiteral("-c"), sql});
    if (!psql.waitForFinished(60000) || psql.exitCode() != 0)
        qFatal("psql failed: %s", psql.readAllStandardError().constData());
}

// A cluster of the campaign's own (tools/pg-test-cluster.sh), stopped at the end.
class Cluster {
public:
    explicit Cluster(const QString& work) : record_(work + QStringLiteral("/cluster")) {
        Run(QStringLiteral("start"));
    }
    Cluster(const Cluster&) = delete;
    Cluster& operator=(const Cluster&) = delete;
    ~Cluster() { Run(QStringLiteral("stop")); }

    QString Database(const QString& name) const {
        QFile record(record_);
        record.open(QIODevice::ReadOnly);
        return QStringLiteral("host=%1 user=postgres dbname=%2")
            .arg(QString::fromUtf8(record.readAll()).trimmed(), name);
    }

private:
    void Run(const QString& action) const {
        QProcess script;
        script.start(QStringLiteral("bash"),
                     {QStringLiteral(PIVANES_CLUSTER_SCRIPT), action, record_});
        if (!script.waitForFinished(120000) || script.exitCode() != 0)
            qFatal("pg-test-cluster.sh %s failed: %s", qPrintable(action),
                   script.readAllStandardError().constData());
    }

    QString record_;
};

// Cards then trash, every byte of them.
using State = std::map<std::pair<bool, qint64>, QStringList>;
State StateOf(Collection& collection) {
    State state;
    collection.EachCard([&](const StoredCard& card) {
        state[{false, card.numero}] = {card.cate.value_or("\1"), card.titre.value_or("\1"),
                                       card.pivanes.value_or("\1")};
    });
    collection.EachTrashed([&](const TrashedCard& trashed) {
        state[{true, trashed.card.numero}] = {trashed.card.cate.value_or("\1"),
                                              trashed.card.titre.value_or("\1"),
                                              trashed.card.pivanes.value_or("\1")};
    });
    return state;
}

struct Round {
    QString connection;
    QString copy;
    QStringList typed; // the text of every add and edit made away, each its own
};

QString Text(QRandomGenerator& random, const QString& mark) {
    const RawCard card = RandomCard(random, 0, QByteArray());
    return mark + QLatin1Char(' ') + QString::fromUtf8(card.pivanes.value_or(QByteArray()));
}

// The server's cards, a copy of them, changes made on the copy, and others made meanwhile on the
// server by another program over some of the same cards.
Round Prepare(Cluster& cluster, const QString& folder, int round, quint64 seed) {
    QRandomGenerator random = Seeded(seed);
    const QString name = QStringLiteral("retour_%1").arg(round);
    Psql(cluster.Database(QStringLiteral("postgres")),
         QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    Psql(cluster.Database(QStringLiteral("postgres")), QStringLiteral("CREATE DATABASE ") + name);
    Round prepared{cluster.Database(name), {}, {}};
    const std::unique_ptr<Collection> server =
        Collection::Open(CollectionPlace::Server(prepared.connection));
    int next = 1;
    server->Import([&](StoredCard& card) {
        if (next > kCards)
            return false;
        card = {next, QStringLiteral("C%1").arg(next % 4), QStringLiteral("Fiche %1").arg(next),
                Text(random, QStringLiteral("serveur")), 0};
        ++next;
        return true;
    });
    for (int numero = kTrashedFrom; numero <= kCards; ++numero)
        server->MoveToTrash(numero);
    QDir(folder).removeRecursively();
    prepared.copy = ServerCopy::FileFor(folder, prepared.connection);
    ServerCopy::BringUpToDate(*server, prepared.copy);

    const std::unique_ptr<Collection> away =
        ServerCopy::OpenOffline(prepared.copy, prepared.connection);
    QList<qint64> untouched;
    for (qint64 numero = 1; numero < kTrashedFrom; ++numero)
        untouched.insert(random.bounded(untouched.size() + 1), numero);
    qint64 trashed = kTrashedFrom;
    for (int change = 0; change < kChanges && !untouched.isEmpty(); ++change) {
        const QString text = Text(random, QStringLiteral("«%1-%2»").arg(round).arg(change));
        switch (random.bounded(4)) {
        case 0:
            away->Add({QStringLiteral("C1"), QStringLiteral("Ajout %1").arg(change), text});
            prepared.typed << text;
            break;
        case 1:
            away->Update(*away->ReadCard(untouched.takeLast()), {{}, {}, text});
            prepared.typed << text;
            break;
        case 2:
            away->MoveToTrash(untouched.takeLast());
            break;
        default:
            if (trashed <= kCards)
                away->PutBack(trashed++);
        }
    }
    // Another program meanwhile: edits, a trash, and the trash's last card removed for good.
    Psql(prepared.connection,
         QStringLiteral("UPDATE trucpivane SET pivanes = 'autre programme ' || numero "
                        "WHERE numero % 5 = %1")
             .arg(random.bounded(5)));
    Psql(prepared.connection,
         QStringLiteral("DELETE FROM trucpivane_corbeille WHERE numero = %1").arg(kCards));
    return prepared;
}

void Check(const Round& round, Figures& figures, const QString& replay) {
    const std::unique_ptr<Collection> server =
        Collection::Open(CollectionPlace::Server(round.connection));
    const State onServer = StateOf(*server);
    const State inCopy = StateOf(*Collection::OpenLocal(round.copy));
    figures.cardsChecked += qint64(onServer.size());
    if (onServer != inCopy) {
        ++figures.cardsChanged;
        figures.Find(QStringLiteral("return"),
                     QStringLiteral("the copy differs from the server after the return"), replay);
    }
    for (const QString& text : round.typed) {
        int found = 0;
        for (const auto& [where, fields] : onServer)
            found += fields.value(2) == text ? 1 : 0;
        if (found == 1)
            continue;
        ++(found == 0 ? figures.cardsLost : figures.cardsChanged);
        figures.Find(QStringLiteral("return"),
                     QStringLiteral("a text typed away is on the server %1 times: %2")
                         .arg(found)
                         .arg(text.left(40)),
                     replay);
    }
}

// Runs the return in a child, killed after a random delay, killsPerRound times, then once to its
// end.
void Return(const Round& round, const ReturnSettings& settings, QRandomGenerator& delays,
            Figures& figures, const QString& replay) {
    for (int attempt = 0; attempt <= settings.killsPerRound; ++attempt) {
        ChildProcess child({QStringLiteral("returner"), round.connection, round.copy});
        if (child.ReadLine(milliseconds(120000)) != QByteArray("ready")) {
            ++figures.crashes;
            figures.Find(QStringLiteral("return"),
                         QStringLiteral("the child did not start: ") +
                             child.Wait(milliseconds(60000)).Describe(),
                         replay);
            return;
        }
        const bool last = attempt == settings.killsPerRound;
        std::optional<QByteArray> said;
        if (last) {
            said = child.ReadLine(milliseconds(300000));
        } else {
            SleepMicros(delays.bounded(400000));
            child.Kill();
            ++figures.kills;
            ++figures.returnKills;
        }
        const ChildProcess::End end = child.Wait(milliseconds(60000));
        QList<QByteArray> lines = child.RemainingLines();
        if (said)
            lines.prepend(*said);
        if (!last && !lines.contains("finished"))
            ++figures.returnKillsDuring;
        if (end.SanitizerReport())
            ++figures.sanitizerReports;
        if (end.Crashed() || (last && said != QByteArray("finished"))) {
            ++figures.crashes;
            figures.Find(QStringLiteral("return"),
                         QStringLiteral("the return failed: ") + end.Describe() +
                             QString::fromUtf8(lines.join(' ')),
                         replay);
        }
    }
}

} // namespace

int RunReturner(const QString& connection, const QString& copyFile) {
    try {
        const std::unique_ptr<Collection> server =
            Collection::Open(CollectionPlace::Server(connection));
        std::puts("ready");
        std::fflush(stdout);
        ServerCopy::BringUpToDate(*server, copyFile);
        std::puts("finished");
        std::fflush(stdout);
        return 0;
    } catch (const StoreError& error) {
        std::printf("failed %s\n", qPrintable(error.text().simplified()));
        std::fflush(stdout);
        return 1;
    }
}

void RunReturnKills(const ReturnSettings& settings, Figures& figures) {
    const QString root = settings.work + QStringLiteral("/return");
    QDir().mkpath(root);
    Cluster cluster(root);
    for (int round = 0; round < settings.rounds; ++round) {
        if (settings.only >= 0 && round != settings.only)
            continue;
        const quint64 seed = RunSeed(settings.seed ^ 0x7e7041, round);
        const QString replay =
            QStringLiteral("--seed %1 --return-round %2").arg(settings.seed).arg(round);
        const Round prepared =
            Prepare(cluster, root + QStringLiteral("/round%1").arg(round), round, seed);
        QRandomGenerator delays = Seeded(seed ^ 0xde1a7);
        Return(prepared, settings, delays, figures, replay);
        Check(prepared, figures, replay);
        ++figures.returnRounds;
    }
}
