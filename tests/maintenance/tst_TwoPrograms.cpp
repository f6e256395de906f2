// Another program saves cards in the same file while this one compacts, restores or backs it up,
// as when a script or a second copy holds the collection open: no save that was reported done is
// lost, the file stays whole, and a backup is the collection at one moment.
#include "MaintenanceTestSupport.h"
#include "TestSupport.h"
#include "shell/Session.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>

namespace {

constexpr int kCards = 200;
constexpr qint32 kFirstSaved = 100001;

// One program of the pair, with the reports it has written so far: each a list of numbers.
class Child {
public:
    explicit Child(const QStringList& arguments) {
        process_.start(BuiltProgram(CRASH_CHILD), arguments);
        if (!process_.waitForStarted())
            qFatal("the child did not start");
    }
    ~Child() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // Reads what is there; false once the program has ended.
    bool Poll() {
        process_.waitForReadyRead(20);
        while (process_.canReadLine()) {
            const QList<QByteArray> words = process_.readLine().trimmed().split(' ');
            if (words.front() == "start")
                continue;
            QList<qint64> values;
            for (qsizetype i = 1; i < words.size(); ++i)
                values << words[i].toLongLong();
            reports_ << values;
        }
        return process_.state() != QProcess::NotRunning;
    }
    // Asks the program to stop after its current round and collects its last reports.
    void Stop() {
        process_.closeWriteChannel();
        process_.waitForFinished(60000);
        Poll();
    }
    bool EndedWell() const {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    // One line on the program's standard input.
    void Send() { process_.write("go\n"); }
    QString Errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }
    const QList<QList<qint64>>& Reports() const { return reports_; }

private:
    QProcess process_;
    QList<QList<qint64>> reports_;
};

// Lets both programs run until enough has been reported; fails when one of them ends.
bool RunBoth(Child& saver, Child& other, const std::function<bool()>& enough) {
    QElapsedTimer limit;
    limit.start();
    while (!enough()) {
        if (!saver.Poll() || !other.Poll() || limit.elapsed() > 300000)
            return false;
    }
    return true;
}

void StopBoth(Child& saver, Child& other) {
    other.Stop();
    saver.Stop();
    QVERIFY2(other.EndedWell(), qPrintable(other.Errors()));
    QVERIFY2(saver.EndedWell(), qPrintable(saver.Errors()));
}

QMap<qint64, Card> CardsByNumber(const QList<Card>& cards) {
    QMap<qint64, Card> byNumber;
    for (const Card& card : cards)
        byNumber.insert(card.Numero, card);
    return byNumber;
}

// A save's report: the number the card got, when the save began, and the serial in its title.
QString SavedTitle(qint64 serial) {
    return QStringLiteral("SAVED %1").arg(serial);
}

} // namespace

class TestTwoPrograms : public QObject {
    Q_OBJECT

private slots:
    void savesOfAnotherProgramSurviveCompaction() {
        ProgramFixture fixture;
        WriteSyntheticCollection(kCards);
        const QList<Card> before = StoredCards();
        Child saver({QStringLiteral("save"), fixture.Path(), QString::number(kFirstSaved)});
        Child compactor({QStringLiteral("compact"), fixture.Path()});

        const bool ran = RunBoth(saver, compactor, [&] {
            return saver.Reports().size() >= 150 && compactor.Reports().size() >= 30;
        });
        StopBoth(saver, compactor);
        QVERIFY2(ran, qPrintable(saver.Errors() + compactor.Errors()));
        qInfo("%lld saves during %lld compactions", saver.Reports().size(),
              compactor.Reports().size());

        QCOMPARE(Collection::VerifiedCardCount(QStringLiteral("Pivane.mdb")),
                 kCards + saver.Reports().size());
        const QMap<qint64, Card> stored = CardsByNumber(StoredCards());
        for (const Card& card : before)
            QVERIFY(stored.value(card.Numero) == card);
        for (const QList<qint64>& save : saver.Reports())
            QVERIFY2(stored.value(save[0]).Titre == SavedTitle(save[2]),
                     qPrintable(QStringLiteral("save %1 is lost").arg(save[2])));
    }

    // A save may be undone by a restore that ends after it began; one that began after the
    // last restore ended must be there, beside every card of the backup.
    void savesAfterARestoreAreKept() {
        ProgramFixture fixture;
        WriteSyntheticCollection(kCards);
        const QString backup = fixture.Path(QStringLiteral("backup"));
        QVERIFY(QDir().mkpath(backup));
        WriteCollection(CardsIn({{"MAT", 100}}), backup + QStringLiteral("/PIVANE.MDB"));
        const QList<Card> backedUp = StoredCards(backup + QStringLiteral("/PIVANE.MDB"));
        QVERIFY(StoredCards().mid(0, 100) != backedUp);
        Child saver({QStringLiteral("save"), fixture.Path(), QString::number(kFirstSaved)});
        Child restorer({QStringLiteral("restore"), backup, fixture.Path()});

        bool ran = RunBoth(saver, restorer, [&] {
            return saver.Reports().size() >= 100 && restorer.Reports().size() >= 20;
        });
        restorer.Stop();
        QVERIFY2(restorer.EndedWell(), qPrintable(restorer.Errors()));
        const qint64 lastRestoreEnd = restorer.Reports().last()[1];
        const auto savedAfter = [&] {
            return std::count_if(
                saver.Reports().begin(), saver.Reports().end(),
                [&](const QList<qint64>& save) { return save[1] > lastRestoreEnd; });
        };
        while (ran && savedAfter() < 30)
            ran = saver.Poll();
        saver.Stop();
        QVERIFY2(ran && saver.EndedWell(), qPrintable(saver.Errors()));
        qInfo("%lld saves during %lld restores, %lld after the last one", saver.Reports().size(),
              restorer.Reports().size(), savedAfter());

        Collection::VerifiedCardCount(QStringLiteral("Pivane.mdb"));
        QMap<qint64, Card> stored = CardsByNumber(StoredCards());
        for (const Card& card : backedUp)
            QVERIFY(stored.take(card.Numero) == card);
        // A restore takes the numbers back: a number may have been given to several saves.
        QSet<QPair<qint64, QString>> reported;
        for (const QList<qint64>& save : saver.Reports()) {
            reported.insert({save[0], SavedTitle(save[2])});
            if (save[1] > lastRestoreEnd)
                QVERIFY2(stored.value(save[0]).Titre == SavedTitle(save[2]),
                         qPrintable(QStringLiteral("save %1 is lost").arg(save[2])));
        }
        for (const Card& card : stored)
            QVERIFY2(reported.contains({card.Numero, card.Titre}),
                     qPrintable(QStringLiteral("card %1 came from nowhere").arg(card.Numero)));
    }

    // Each backup is the collection as it stood at one moment: all its cards, and the other
    // program's saves up to one of them, whole.
    void backupsWhileAnotherProgramSavesAreMoments() {
        constexpr int kLarger = 20000; // a copy that takes long enough to meet the other's saves
        constexpr qsizetype kBurst = 20;
        ProgramFixture fixture;
        WriteSyntheticCollection(kLarger);
        const QList<Card> before = StoredCards();
        TestSession().OpenCollection();
        Child saver({QStringLiteral("bursts"), fixture.Path(), QString::number(kFirstSaved),
                     QString::number(kBurst)});
        QStringList copies;
        for (int burst = 1; burst <= 3; ++burst) {
            saver.Send();
            // Backups for as long as the other program saves; checked once it has stopped.
            do {
                copies << fixture.Path(QStringLiteral("copie-%1.mdb").arg(copies.size()));
                try {
                    TestSession().collection().SnapshotInto(copies.last());
                } catch (const UserError& error) {
                    QFAIL(qPrintable(error.text()));
                }
            } while (saver.Poll() && saver.Reports().size() < burst * kBurst);
        }
        saver.Stop();
        TestSession().CloseCollection();
        QVERIFY2(saver.EndedWell(), qPrintable(saver.Errors()));

        QSet<qsizetype> moments;
        qsizetype lastSaves = 0;
        for (const QString& copy : copies) {
            Collection::VerifiedCardCount(copy);
            const QList<Card> copied = StoredCards(copy);
            QCOMPARE(copied.mid(0, kLarger), before);
            const QList<Card> saves = copied.mid(kLarger);
            for (qsizetype i = 0; i < saves.size(); ++i)
                QVERIFY(saves[i].Numero == kLarger + 1 + i &&
                        saves[i].Titre == SavedTitle(kFirstSaved + i));
            QVERIFY(saves.size() >= lastSaves);
            lastSaves = saves.size();
            moments << lastSaves;
        }
        qInfo("%lld backups caught %lld moments of %lld saves", copies.size(), moments.size(),
              saver.Reports().size());
        QVERIFY(moments.size() >= 3);
    }
};

PIVANES_TEST_MAIN(TestTwoPrograms)
#include "tst_TwoPrograms.moc"
