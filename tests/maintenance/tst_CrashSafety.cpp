// A process killed at any moment of a compaction or a restore leaves a whole database.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>

namespace {

constexpr int kRuns = 50;
constexpr int kCards = 150;

void StartChild(QProcess& child, const QStringList& arguments) {
    child.start(QStringLiteral(CRASH_CHILD), arguments);
    if (!child.waitForStarted() || !child.waitForReadyRead(30000))
        qFatal("the child did not start");
    child.readLine();
}

// How long one round of the child's loop takes, from the child's own reports.
qint64 RoundMicroseconds(const QStringList& arguments) {
    QProcess child;
    StartChild(child, arguments);
    QElapsedTimer round;
    round.start();
    for (int reports = 0; reports < 5;)
        if (child.waitForReadyRead(30000))
            reports += int(child.readAll().count('\n'));
        else
            qFatal("the child stopped: %s", child.readAllStandardError().constData());
    const qint64 micros = round.nsecsElapsed() / 1000 / 5;
    child.kill();
    child.waitForFinished();
    return qMax<qint64>(micros, 100);
}

void KillAtRandomPoints(const QStringList& arguments, const QStringList& expectedCards) {
    const qint64 round = RoundMicroseconds(arguments);
    for (int run = 0; run < kRuns; ++run) {
        QProcess child;
        StartChild(child, arguments);
        // Up to two rounds in, at a random moment.
        QThread::usleep(QRandomGenerator::global()->bounded(quint64(2 * round)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() == 0,
                 child.readAllStandardError().constData());
        try {
            QCOMPARE(Database::VerifiedCardCount(QStringLiteral("Pivane.mdb")), qint64(kCards));
            QCOMPARE(CardRows(), expectedCards);
        } catch (const StoreError& error) {
            QFAIL(qPrintable(QStringLiteral("run %1: %2").arg(run).arg(error.text())));
        }
    }
}

} // namespace

class tst_CrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedCompactionLeavesAWholeDatabase() {
        ProgramFixture fixture;
        WriteSyntheticCollection(kCards);
        KillAtRandomPoints({QStringLiteral("compact"), fixture.Path()}, CardRows());
    }

    void killedRestoreLeavesAWholeDatabase() {
        ProgramFixture fixture;
        WriteSyntheticCollection(kCards);
        const QString backup = fixture.Path(QStringLiteral("backup"));
        QVERIFY(QDir().mkpath(backup));
        WriteSyntheticCollection(kCards, backup + QStringLiteral("/PIVANE.MDB"));
        KillAtRandomPoints({QStringLiteral("restore"), backup, fixture.Path()}, CardRows());
    }
};

PIVANES_TEST_MAIN(tst_CrashSafety)
#include "tst_CrashSafety.moc"
