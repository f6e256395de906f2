// A conversion killed at any moment leaves the Jet file under its name, or the whole converted
// collection with the Jet file beside it; never a half-converted collection.
#include "EngineTestSupport.h"
#include "JetTesting.h"
#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>

namespace {

constexpr int kRuns = 25;
constexpr int kCards = 3000;

const QString kFile = QStringLiteral("Pivane.mdb");
const QString kKept = QStringLiteral("Pivane-jet.mdb");

void StartChild(QProcess& child) {
    child.start(BuiltProgram(CONVERT_CHILD), {kFile});
    if (!child.waitForStarted() || !child.waitForReadyRead(30000))
        qFatal("the child did not start");
    child.readLine();
}

// How long a whole conversion takes, from the child's start report to its end.
qint64 ConversionMicroseconds() {
    QProcess child;
    StartChild(child);
    QElapsedTimer elapsed;
    elapsed.start();
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        qFatal("the conversion failed: %s", child.readAllStandardError().constData());
    return qMax<qint64>(elapsed.nsecsElapsed() / 1000, 100);
}

// The conversion's worker process dies with the killed program, an instant later: wait for it.
void WaitForTheWorkerToEnd() {
    const QByteArray program = BuiltProgram(CONVERT_CHILD).toLocal8Bit();
    for (bool running = true; running;) {
        running = false;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
            QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
            if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().startsWith(program) &&
                status.open(QIODevice::ReadOnly) && !status.readAll().contains(") Z "))
                running = true;
        }
        QThread::yieldCurrentThread();
    }
}

// The Jet file is still the collection, or the conversion is complete.
void CheckWhatTheKillLeft(const QByteArray& original, const QList<JetCard>& cards, int run,
                          qint64 delay) {
    const QString where = QStringLiteral("run %1, kill after %2 µs").arg(run).arg(delay);
    if (ReadJetHeader(kFile).IsJet()) {
        QVERIFY2(FileBytes(kFile) == original, qPrintable(where));
        return;
    }
    QVERIFY2(FileBytes(kKept) == original, qPrintable(where));
    try {
        QCOMPARE(Collection::VerifiedCardCount(kFile), cards.size());
        QCOMPARE(StoredJetCards(kFile), cards);
    } catch (const StoreError& error) {
        QFAIL(qPrintable(where + QStringLiteral(": ") + error.text()));
    }
}

} // namespace

class TestJetConversionKill : public QObject {
    Q_OBJECT

private slots:
    void killedConversionLeavesTheJetFileOrTheWholeCollection() {
        TemporaryFolder fixture;
        const QList<JetCard> written = SampleCards(kCards, JetWriter::Version::Jet4);
        WriteJet(kFile, JetWriter::Version::Jet4, written);
        const QByteArray original = FileBytes(kFile);
        const QList<JetCard> cards = ByNumber(written);
        const qint64 duration = ConversionMicroseconds();
        qInfo("one conversion: %lld µs", duration);

        int converted = 0;
        for (int run = 0; run < kRuns; ++run) {
            QFile::remove(kKept);
            WriteBytes(kFile, original);
            QProcess child;
            StartChild(child);
            const qint64 delay = qint64(QRandomGenerator::global()->bounded(quint64(duration)));
            QThread::usleep(quint64(delay));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());
            WaitForTheWorkerToEnd();
            qInfo("run %d: killed after %lld µs", run, delay);
            CheckWhatTheKillLeft(original, cards, run, delay);
            if (!ReadJetHeader(kFile).IsJet()) {
                ++converted;
                continue;
            }
            // Converting again finishes the work and leaves nothing else behind.
            JetConversion::Convert(kFile);
            QCOMPARE(StoredJetCards(kFile), cards);
            QCOMPARE(FileBytes(kKept), original);
            QCOMPARE(FolderNames(fixture.Path()), QStringList({kKept, kFile}));
        }
        qInfo("%d of %d runs were killed after the conversion was complete", converted, kRuns);
    }
};

PIVANES_ENGINE_TEST_MAIN(TestJetConversionKill)
#include "tst_JetConversionKill.moc"
