// A process killed at any moment of a compaction or a restore leaves a whole database holding
// either the old collection or the new one. Each run starts again from the old files; a failing
// run names its delay, and PIVANES_KILL_DELAYS="µs,µs,..." replays exactly those delays.
#include "MaintenanceTestSupport.h"
#include "NewCollection.h"
#include "TestSupport.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>

namespace {

constexpr int kRuns = 50;
const QString kLive = QStringLiteral("Pivane.mdb");

// Cards long enough that writing the file takes a while, so that kills land inside the writes.
void WriteCards(const QString& file, const QString& label, int count) {
    WriteNewCollection(file, count, [&label](qint64 i) {
        return Card{i + 1, QStringLiteral("WIN"), QStringLiteral("%1 %2").arg(label).arg(i + 1),
                    QString(3000, QChar(char16_t(u'a' + (i + 1) % 26)))};
    });
}

void StartChild(QProcess& child, const QStringList& arguments) {
    child.start(BuiltProgram(CRASH_CHILD), arguments);
    if (!child.waitForStarted() || !child.waitForReadyRead(30000))
        qFatal("the child did not start");
    child.readLine();
}

// How long one whole round takes, measured on the files as they are now: the caller puts the
// old files back before the runs.
qint64 RoundMicroseconds(const QStringList& arguments) {
    QProcess child;
    QElapsedTimer round;
    StartChild(child, arguments);
    round.start();
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        qFatal("the child failed: %s", child.readAllStandardError().constData());
    return qMax<qint64>(round.nsecsElapsed() / 1000, 100);
}

QList<qint64> KillDelays(qint64 round) {
    QList<qint64> delays;
    const QString replay = qEnvironmentVariable("PIVANES_KILL_DELAYS");
    for (const QString& delay : replay.split(QLatin1Char(','), Qt::SkipEmptyParts))
        delays << delay.toLongLong();
    // Up to half a round past the end, so that finished rounds are checked too.
    while (replay.isEmpty() && delays.size() < kRuns)
        delays << qint64(QRandomGenerator::global()->bounded(quint64(round * 3 / 2)));
    return delays;
}

// The number of pages of the live file and how many of them are free.
QString Pages() {
    return RunSqliteShell(kLive, QStringLiteral("PRAGMA page_count; PRAGMA freelist_count"),
                          {QStringLiteral("-readonly")})
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// The old file again, with nothing left of a killed run beside it.
void PutBack(const QByteArray& old) {
    QFile::remove(kLive + QStringLiteral("-journal"));
    WriteBytes(kLive, old);
}

enum class Outcome { Old, New };

// Kills the child once per delay, each time from the old files, and counts what it left.
// whatIsThere says which content the live file holds, and fails when it is neither.
void KillAtRandomPoints(const QStringList& arguments, const std::function<void()>& reset,
                        const std::function<Outcome(const QString& run)>& whatIsThere) {
    const qint64 round = RoundMicroseconds(arguments);
    int outcomes[2] = {0, 0};
    for (const qint64 delay : KillDelays(round)) {
        const QString run =
            QStringLiteral("kill after %1 µs (round of %2 µs)").arg(delay).arg(round);
        qInfo("%s", qPrintable(run));
        reset();
        QProcess child;
        StartChild(child, arguments);
        QThread::usleep(quint64(delay));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() == 0,
                 qPrintable(run + QString::fromLocal8Bit(child.readAllStandardError())));
        try {
            // Opening as the program does rolls back what the killed child left half done.
            Collection::OpenLocal(kLive);
            Collection::VerifiedCardCount(kLive);
            ++outcomes[int(whatIsThere(run))];
        } catch (const StoreError& error) {
            QFAIL(qPrintable(run + QStringLiteral(": ") + error.text()));
        }
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("old content left %d times, new content %d times", outcomes[0], outcomes[1]);
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    // The cards stay the same through a compaction: old and new are told apart by the pages
    // the file takes and how many of them are free. (Not by its bytes: the engine need not
    // keep what free pages held when it rolls a compaction back.)
    void killedCompactionLeavesTheOldFileOrTheCompactedOne() {
        ProgramFixture fixture;
        WriteCards(kLive, QStringLiteral("CARD"), 1200);
        RunSqliteShell(kLive, QStringLiteral("DELETE FROM TrucPivane WHERE Numero % 2 = 0"));
        const QByteArray old = FileBytes(kLive);
        const QString oldPages = Pages();
        const QStringList cards = StoredRows();
        const QStringList arguments = {QStringLiteral("compact"), fixture.Path(), "1"};
        RoundMicroseconds(arguments);
        const QString compactedPages = Pages();
        QVERIFY2(compactedPages.endsWith(QStringLiteral(" 0")) && compactedPages != oldPages,
                 qPrintable(oldPages + " / " + compactedPages));

        KillAtRandomPoints(
            arguments, [&] { PutBack(old); },
            [&](const QString& run) {
                const QString now = Pages();
                if (now != oldPages && now != compactedPages)
                    QTest::qFail(
                        qPrintable(run + ": neither the old file nor the compacted one: " + now),
                        __FILE__, __LINE__);
                if (StoredRows() != cards)
                    QTest::qFail(qPrintable(run + ": the cards changed"), __FILE__, __LINE__);
                return now == oldPages ? Outcome::Old : Outcome::New;
            });
    }

    void killedRestoreLeavesTheLiveCollectionOrTheBackup() {
        ProgramFixture fixture;
        const QString backup = fixture.Path(QStringLiteral("backup"));
        QVERIFY(QDir().mkpath(backup));
        WriteCards(backup + QStringLiteral("/PIVANE.MDB"), QStringLiteral("BACKUP"), 500);
        WriteCards(kLive, QStringLiteral("LIVE"), 800);
        const QByteArray old = FileBytes(kLive);
        const QStringList oldCards = StoredRows();
        const QStringList backedUp = StoredRows(backup + QStringLiteral("/PIVANE.MDB"));
        QVERIFY(oldCards != backedUp);
        const QStringList arguments = {QStringLiteral("restore"), backup, fixture.Path(), "1"};

        KillAtRandomPoints(
            arguments, [&] { PutBack(old); },
            [&](const QString& run) {
                const QStringList now = StoredRows();
                if (now != oldCards && now != backedUp)
                    QTest::qFail(qPrintable(run + ": neither the live cards nor the backup's"),
                                 __FILE__, __LINE__);
                return now == oldCards ? Outcome::Old : Outcome::New;
            });
    }
};

PIVANES_TEST_MAIN(TestCrashSafety)
#include "tst_CrashSafety.moc"
