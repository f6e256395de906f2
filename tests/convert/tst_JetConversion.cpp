#include "EngineTestSupport.h"
#include "JetTesting.h"
#include "RealFaults.h"
#include "convert/Isolated.h"
#include "convert/JetConversion.h"
#include "convert/JetHeader.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Version = JetWriter::Version;

const QString kFile = QStringLiteral("Pivane.mdb");
const QString kKept = QStringLiteral("Pivane-jet.mdb");

QByteArray WithPage(QByteArray bytes, int pageSize, int page, const QByteArray& content) {
    bytes.replace(qsizetype(page) * pageSize, content.size(), content);
    return bytes;
}

// The first page of each memo chain over several long-value pages.
int FirstChainPage(const QByteArray& bytes, int pageSize) {
    for (int page = 1; qsizetype(page) * pageSize < bytes.size(); ++page) {
        const QByteArray head = bytes.mid(qsizetype(page) * pageSize, 8);
        const int rowCount = pageSize == 4096 ? 12 : 8;
        if (head.mid(4, 4) == "LVAL" && quint8(bytes[qsizetype(page) * pageSize + rowCount]) == 1 &&
            bytes.mid(qsizetype(page) * pageSize + rowCount + 2, 2) != QByteArray(2, '\0'))
            if (quint8(bytes[qsizetype(page) * pageSize + pageSize - 1]) != 0)
                return page;
    }
    return -1;
}

// A work that never ends, as a reader caught in a loop of a damaged file.
Isolated::Result Sleeps(const QStringList&, const Isolated::Report&) {
    for (;;)
        ::pause();
}
[[maybe_unused]] const bool kSleepsOffered = Isolated::Offer("dort", &Sleeps);

} // namespace

class TestJetConversion : public QObject {
    Q_OBJECT

private slots:
    // A child still working when its time runs out is ended, and the program says so.
    void aChildPastItsTimeIsEnded() {
        QElapsedTimer elapsed;
        elapsed.start();
        try {
            Isolated::Run("dort", {}, {}, {std::chrono::milliseconds(500), "mort", "trop long"});
            QFAIL("a child that never ends came back");
        } catch (const StoreError& error) {
            QCOMPARE(error.text(), QStringLiteral("trop long"));
        }
        QVERIFY(elapsed.elapsed() < 30000);
    }

    void convertsEveryCardAndKeepsTheOriginal_data() {
        QTest::addColumn<Version>("version");
        QTest::addColumn<int>("count");
        for (const auto& [name, version] :
             {std::pair{"Jet 3", Version::Jet3}, std::pair{"Jet 4", Version::Jet4}})
            for (int count : {0, 1, 12, 10000})
                QTest::addRow("%s, %d fiches", name, count) << version << count;
    }

    void convertsEveryCardAndKeepsTheOriginal() {
        QFETCH(Version, version);
        QFETCH(int, count);
        TemporaryFolder fixture;
        const QList<JetCard> cards = SampleCards(count, version);
        WriteJet(kFile, version, cards);
        const QByteArray original = FileBytes(kFile);
        QCOMPARE(JetConversion::CountCards(kFile), count);

        qint64 lastDone = 0, lastTotal = 0;
        const JetConversion::Outcome outcome =
            JetConversion::Convert(kFile, [&](qint64 done, qint64 total) {
                QVERIFY(done > lastDone);
                lastDone = done;
                lastTotal = total;
            });

        QCOMPARE(outcome.cards, count);
        QCOMPARE(QFileInfo(outcome.keptAs).fileName(), kKept);
        QCOMPARE(lastDone, lastTotal);
        QCOMPARE(FileBytes(kKept), original);
        QCOMPARE(FolderNames(fixture.Path()), QStringList({kKept, kFile}));
        QVERIFY(!ReadJetHeader(kFile).IsJet());
        QCOMPARE(StoredJetCards(kFile), ByNumber(cards));
        QCOMPARE(Collection::VerifiedCardCount(kFile), count);
        QCOMPARE(Collection::OpenLocal(kFile)->Count(Selection::AllCards()).cards, count);
    }

    void leavesDeletedRowsAndFollowsMovedOnes_data() {
        QTest::addColumn<Version>("version");
        QTest::newRow("Jet 3") << Version::Jet3;
        QTest::newRow("Jet 4") << Version::Jet4;
    }

    void leavesDeletedRowsAndFollowsMovedOnes() {
        QFETCH(Version, version);
        TemporaryFolder fixture;
        const QList<JetCard> cards = SampleCards(40, version);
        JetWriter writer(version);
        QList<JetCard> kept;
        for (int i = 0; i < cards.size(); ++i) {
            if (i % 8 == 1) {
                writer.AddDeleted(cards[i]);
                continue;
            }
            if (i % 8 == 2)
                writer.AddMoved(cards[i]);
            else
                writer.Add(cards[i]);
            kept.append(cards[i]);
        }
        writer.Write(kFile);

        QCOMPARE(JetConversion::CountCards(kFile), kept.size());
        JetConversion::Convert(kFile);

        QCOMPARE(StoredJetCards(kFile), ByNumber(kept));
    }

    void aPipeUnderTheNameIsNeverOpened() {
        TemporaryFolder fixture;
        QVERIFY(::mkfifo("Pivane.mdb", 0600) == 0);
        QVERIFY(!ReadJetHeader(kFile).IsJet());
    }

    void decodesTheCodePageOfAJet3File() {
        TemporaryFolder fixture;
        JetWriter writer(Version::Jet3);
        writer.CodePage(1250);
        writer.Add({1, QStringLiteral("WIN"), QStringLiteral("Łódź, Žluťoučký kůň"),
                    QStringLiteral("Środa\r\n")});
        writer.Write(kFile);
        JetConversion::Convert(kFile);
        QCOMPARE(StoredJetCards(kFile).value(0).Titre, QStringLiteral("Łódź, Žluťoučký kůň"));
    }

    void neverReplacesAFileUnderTheKeptName() {
        TemporaryFolder fixture;
        WriteJet(kFile, Version::Jet4, SampleCards(3, Version::Jet4));
        const QByteArray original = FileBytes(kFile);
        WriteBytes(kKept, "un autre fichier");
        WriteBytes(QStringLiteral("Pivane-jet-2.mdb"), "encore un autre");
        QCOMPARE(QFileInfo(JetConversion::KeptName(kFile)).fileName(),
                 QStringLiteral("Pivane-jet-3.mdb"));

        const JetConversion::Outcome outcome = JetConversion::Convert(kFile);

        QCOMPARE(QFileInfo(outcome.keptAs).fileName(), QStringLiteral("Pivane-jet-3.mdb"));
        QCOMPARE(FileBytes(outcome.keptAs), original);
        QCOMPARE(FileBytes(kKept), QByteArray("un autre fichier"));
        QCOMPARE(FileBytes(QStringLiteral("Pivane-jet-2.mdb")), QByteArray("encore un autre"));
    }

    void finishesTheWorkOfAnInterruptedConversion() {
        TemporaryFolder fixture;
        const QList<JetCard> cards = SampleCards(5, Version::Jet4);
        WriteJet(kFile, Version::Jet4, cards);
        const QByteArray original = FileBytes(kFile);
        // What a kill between the second name and the final rename leaves.
        QVERIFY(::link("Pivane.mdb", "Pivane-jet.mdb") == 0);
        WriteBytes(QStringLiteral("Pivane.mdb.conversion"), "à moitié écrit");
        WriteBytes(QStringLiteral("Pivane.mdb.conversion-journal"), "journal");

        const JetConversion::Outcome outcome = JetConversion::Convert(kFile);

        QCOMPARE(QFileInfo(outcome.keptAs).fileName(), kKept);
        QCOMPARE(FolderNames(fixture.Path()), QStringList({kKept, kFile}));
        QCOMPARE(FileBytes(kKept), original);
        QCOMPARE(StoredJetCards(kFile), ByNumber(cards));
    }

    void aDiskThatRefusesTheNewFileLeavesTheJetFile_data() { AddDiskFaultRows(); }

    void aDiskThatRefusesTheNewFileLeavesTheJetFile() {
        QFETCH(DiskFault, fault);
        JetWriter writer(Version::Jet4);
        writer.Compress(false);
        for (const JetCard& card : SampleCards(12, Version::Jet4))
            writer.Add(card);
        const QByteArray jet = writer.Bytes();
        // Room for the Jet file and a little more: a full disk strikes in the middle.
        ScratchVolume volume((jet.size() / 4096 + 3) * 4096);
        SKIP_WITHOUT_VOLUME(volume);
        WriteBytes(volume.Path(kFile), jet);
        if (fault == DiskFault::ReadOnly)
            QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));

        QString message;
        try {
            JetConversion::Convert(volume.Path(kFile));
        } catch (const StoreError& error) {
            message = error.text();
        }

        QVERIFY2(message.contains(QStringLiteral("Le fichier Jet n'a pas été modifié")),
                 qPrintable(message));
        QCOMPARE(FileBytes(volume.Path(kFile)), jet);
        QCOMPARE(FolderNames(volume.Path()), QStringList({kFile}));
    }

    // The same at each step of the new file's writing, without a broken disk; its bytes are
    // written by the database engine, not through the writer. The fault is in this process, so
    // the conversion runs here rather than in its child.
    void aFailingStepLeavesTheJetFile_data() {
        QTest::addColumn<WriteStep>("step");
        for (const auto& [step, name] : WriteSteps())
            if (step != WriteStep::Write)
                QTest::newRow(qPrintable(name)) << step;
    }
    void aFailingStepLeavesTheJetFile() {
        QFETCH(WriteStep, step);
        TemporaryFolder fixture;
        WriteJet(kFile, Version::Jet4, SampleCards(3, Version::Jet4));
        const QByteArray original = FileBytes(kFile);

        QString message;
        try {
            const FailingWrites fault(step, fixture.Path());
            JetConversion::ConvertInThisProcess(kFile);
        } catch (const StoreError& error) {
            message = error.text();
        }

        QVERIFY2(message.contains(QStringLiteral("Le fichier Jet n'a pas été modifié")),
                 qPrintable(message));
        QVERIFY2(message.contains(UserError::SystemReason(FailingWrites::ErrorNumberOf(step))),
                 qPrintable(message));
        QCOMPARE(FileBytes(kFile), original);
        QCOMPARE(FolderNames(fixture.Path()), QStringList({kFile}));
    }

    void refusesAndLeavesTheFileAsItWas_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        auto jet = [](Version version, const std::function<void(JetWriter&)>& options = {}) {
            JetWriter writer(version);
            if (options)
                options(writer);
            for (const JetCard& card : SampleCards(12, version))
                writer.Add(card);
            return writer.Bytes();
        };
        const QByteArray jet4 = jet(Version::Jet4);
        const QByteArray jet3 = jet(Version::Jet3);
        QTest::newRow("tronqué") << jet4.left(qsizetype{2} * 4096) << "endommagé";
        QTest::newRow("définition de table effacée")
            << WithPage(jet4, 4096, 3, QByteArray(4096, '\0')) << "endommagé";
        QTest::newRow("catalogue effacé")
            << WithPage(jet3, 2048, 2, QByteArray(2048, '\0')) << "endommagé";
        // libmdb crashes on this one: the catalogue's page map points into nowhere.
        QByteArray badMap = jet3;
        badMap[2 * 2048 + 35] = char(0xB4);
        QTest::newRow("carte des pages du catalogue faussée") << badMap << "endommagé";
        const int chain = FirstChainPage(jet4, 4096);
        QVERIFY(chain > 0);
        QTest::newRow("page de texte long effacée")
            << WithPage(jet4, 4096, chain, QByteArray(4096, '\0')) << "texte long";
        QTest::newRow("sans table des fiches")
            << jet(Version::Jet4, [](JetWriter& w) { w.TableName(QStringLiteral("Fiches")); })
            << "« TrucPivane »";
        QTest::newRow("mot de passe Jet 3")
            << jet(Version::Jet3, [](JetWriter& w) { w.Password("secret"); }) << "protégé";
        QTest::newRow("mot de passe Jet 4")
            << jet(Version::Jet4, [](JetWriter& w) { w.Password("secret"); }) << "protégé";
        QTest::newRow("chiffré") << jet(Version::Jet4, [](JetWriter& w) {
            w.EncryptionKey(0x1234567);
        }) << "protégé";
        QByteArray ace = jet4;
        ace.replace(4, 16, QByteArray("Standard ACE DB\0", 16));
        ace[0x14] = 0x02;
        QTest::newRow("Access 2007") << ace << "Access 2007";
        QTest::newRow("collection SQLite")
            << QByteArray("SQLite format 3\0", 16).leftJustified(4096, '\0') << "pas au format Jet";
        JetWriter twice(Version::Jet4);
        twice.Add({5, QStringLiteral("WIN"), QStringLiteral("a"), QStringLiteral("b")});
        twice.Add({5, QStringLiteral("WIN"), QStringLiteral("c"), QStringLiteral("d")});
        QTest::newRow("numéro en double") << twice.Bytes() << "numéro 5";
    }

    void refusesAndLeavesTheFileAsItWas() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        TemporaryFolder fixture;
        WriteBytes(kFile, bytes);

        QString message;
        try {
            JetConversion::Convert(kFile);
        } catch (const StoreError& error) {
            message = error.text();
        }

        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("pas été modifié")), qPrintable(message));
        QCOMPARE(FileBytes(kFile), bytes);
        QCOMPARE(FolderNames(fixture.Path()), QStringList({kFile}));
    }
};

PIVANES_ENGINE_TEST_MAIN(TestJetConversion)
#include "tst_JetConversion.moc"
