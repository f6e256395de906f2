// A collection that several programs share on a PostgreSQL server, with real faults: other
// processes writing at the same moment, a client killed inside its transaction, a server
// restarted under a session, and servers or roles that refuse.
#include "EngineTestSupport.h"

#include "store/ServerCopy.h"
#include "store/StoreError.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <csignal>
#include <limits>

namespace {

constexpr qint64 kBeforeAll = std::numeric_limits<qint64>::min();
const QList<Card> kThree = {
    {2, "MAT", "DEUX", "a"}, {5, "WIN", "CINQ", "b"}, {9, "WIN", "NEUF", "c"}};

QString Child() {
    return BuiltProgram(SERVER_CHILD);
}

// A second program on the collection, through its own connection.
void StartChild(QProcess& child, const QString& server, const QStringList& arguments) {
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(Child(), QStringList{server} + arguments);
    QVERIFY(child.waitForStarted());
}

QString ReadLine(QProcess& child) {
    while (!child.canReadLine())
        if (!child.waitForReadyRead(60000))
            return QStringLiteral("(rien)");
    return QString::fromUtf8(child.readLine()).trimmed();
}

QStringList Titles(Collection& collection) {
    QStringList titles;
    for (const CardRow& row : collection.Rows(Selection::AllCards())->Upward(kBeforeAll, 0, 1000))
        titles << QString::fromUtf8(row.title);
    return titles;
}

std::unique_ptr<Collection> Reopened(const std::unique_ptr<Collection>& collection) {
    return Collection::Open(collection->Place());
}

StoreError Refusal(const std::function<void()>& call) {
    try {
        call();
    } catch (const StoreError& error) {
        return error;
    }
    return StoreError(StoreError::Kind::Failed, QStringLiteral("(accepté)"));
}

// A cluster of this test's own, which it may restart without troubling the others.
class OwnCluster {
public:
    OwnCluster() { Run(QStringLiteral("start")); }
    OwnCluster(const OwnCluster&) = delete;
    OwnCluster& operator=(const OwnCluster&) = delete;
    ~OwnCluster() { Run(QStringLiteral("stop")); }

    void Restart() { Run(QStringLiteral("restart")); }
    void Halt() { Run(QStringLiteral("halt")); }
    void Resume() { Run(QStringLiteral("resume")); }
    QString Connection() const {
        QFile record(folder_.filePath(QStringLiteral("record")));
        record.open(QIODevice::ReadOnly);
        return QStringLiteral("host=%1 user=postgres dbname=postgres")
            .arg(QString::fromUtf8(record.readAll()).trimmed());
    }

private:
    void Run(const QString& action) const {
        QProcess script;
        script.start(QStringLiteral("bash"), {qEnvironmentVariable("PIVANES_TEST_CLUSTER_SCRIPT"),
                                              action, folder_.filePath(QStringLiteral("record"))});
        if (!script.waitForFinished(120000) || script.exitCode() != 0)
            qFatal("pg-test-cluster.sh %s failed: %s", qPrintable(action),
                   script.readAllStandardError().constData());
    }

    QTemporaryDir folder_;
};

} // namespace

class TestServerCollection : public QObject {
    Q_OBJECT

private slots:
    void twoProgramsAddingAtOnceGetNumbersOfTheirOwn();
    void anEditOverAnotherUsersChangeIsRefused();
    void aBackupWhileAnotherAddsIsOneMoment();
    void aClientKilledInsideItsTransactionLeavesNothingHalfWritten();
    void aClientKilledAfterItsChangeWasNumberedHoldsNoWriterBack();
    void aRestartedServerIsSaidThenReconnected();
    void aServerDownMidSessionGetsTheChangesMadeAwayOnItsReturn();
    void aRoleWithTheRightsTheReadmeGivesWrites();
    void refusalsSayWhatAndWhy_data();
    void refusalsSayWhatAndWhy();
};

// Numbers come from the server: every card of both programs is there once, numbered after the
// cards already there without a gap.
void TestServerCollection::twoProgramsAddingAtOnceGetNumbersOfTheirOwn() {
    const std::unique_ptr<Collection> collection = FreshCollection("postgres", kThree);
    const QString server = collection->Place().name;
    constexpr int kEach = 150;
    QProcess first;
    QProcess second;
    StartChild(first, server, {"ajouter", QString::number(kEach), "PREMIER"});
    StartChild(second, server, {"ajouter", QString::number(kEach), "SECOND"});
    for (QProcess* child : {&first, &second}) {
        QVERIFY(child->waitForFinished(120000));
        QCOMPARE(child->exitCode(), 0);
    }
    const SelectionCount counted = collection->Count(Selection::AllCards());
    QCOMPARE(counted.cards, 3 + 2 * kEach);
    QCOMPARE(counted.last, 9 + 2 * kEach);
    const QStringList titles = Titles(*collection);
    QCOMPARE(QSet<QString>(titles.begin(), titles.end()).size(), titles.size());
    for (int i = 1; i <= kEach; ++i)
        QVERIFY(titles.contains(QStringLiteral("PREMIER %1").arg(i)) &&
                titles.contains(QStringLiteral("SECOND %1").arg(i)));
}

// Each copy holds the collection of one moment and checks out against it, however many cards the
// other program adds meanwhile.
void TestServerCollection::aBackupWhileAnotherAddsIsOneMoment() {
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection("postgres", kThree);
    QProcess other;
    StartChild(other, collection->Place().name, {"ajouter", "300", "AUTRE"});
    int copies = 0;
    while (copies == 0 || !other.waitForFinished(0)) {
        const QString file = folder.Path(QStringLiteral("COPIE%1.MDB").arg(++copies));
        const qint64 copied = collection->SnapshotInto(file);
        const QList<Card> cards = StoredCards(file);
        QCOMPARE(cards.size(), copied);
        // The other's cards, numbered 10 on, come one at a time: a moment has no gap.
        QCOMPARE(cards.last().Numero, copied + 6);
    }
    QCOMPARE(other.exitCode(), 0);
    QVERIFY2(copies > 2, "the copies were taken while the other program added cards");
}

// The second saver is told which card and that nothing was saved; the first one's text stays.
void TestServerCollection::anEditOverAnotherUsersChangeIsRefused() {
    const std::unique_ptr<Collection> collection = FreshCollection("postgres", kThree);
    QProcess other;
    StartChild(other, collection->Place().name, {"modifier", "5", "TEXTE DE L'AUTRE"});
    QCOMPARE(ReadLine(other), "lue");
    collection->Update(*collection->ReadCard(5), {{}, {}, QStringLiteral("TEXTE DU PREMIER")});
    other.write("\n");
    other.closeWriteChannel();
    const QString said = ReadLine(other);
    QVERIFY(other.waitForFinished(60000));
    QCOMPARE(other.exitCode(), 1);
    QVERIFY2(said.startsWith("La fiche N° 5 a été modifiée") &&
                 said.contains("Rien n'a été enregistré"),
             qPrintable(said));
    QCOMPARE(Reopened(collection)->ReadCard(5)->pivanes, "TEXTE DU PREMIER");
}

// The server rolls back what the killed client had sent; its lock goes with it.
void TestServerCollection::aClientKilledInsideItsTransactionLeavesNothingHalfWritten() {
    const std::unique_ptr<Collection> collection = FreshCollection("postgres", kThree);
    QProcess importer;
    StartChild(importer, collection->Place().name, {"importer", "6000"});
    QCOMPARE(ReadLine(importer), "en cours");
    ::kill(pid_t(importer.processId()), SIGKILL);
    QVERIFY(importer.waitForFinished(60000));

    QCOMPARE(collection->Count(Selection::AllCards()).cards, 3);
    QCOMPARE(collection->SearchTitles(Selection::AllCards(), "IMPORTÉE", 1 << 30).count, 0);
    QCOMPARE(RunPsql(collection->Place().name, "SELECT count(*) FROM trucpivane_titres"), "3");
    QCOMPARE(collection->Add({QStringLiteral("WIN"), QStringLiteral("APRÈS"), {}}), 10);
}

// A client killed with its change numbered but not committed: the writer waiting behind it
// takes the number, and a copy, which never waits for writers, catches up with that one alone.
void TestServerCollection::aClientKilledAfterItsChangeWasNumberedHoldsNoWriterBack() {
    TemporaryFolder folder;
    const std::unique_ptr<Collection> collection = FreshCollection("postgres", kThree);
    const QString server = collection->Place().name;
    const QString copy = ServerCopy::FileFor(folder.Path(), server);
    ServerCopy::BringUpToDate(*collection, copy);
    QProcess killed;
    killed.start(QStringLiteral("psql"), {"-XAtq", "-d", server});
    killed.write("BEGIN; UPDATE trucpivane SET pivanes = 'PERDU' WHERE numero = 5; "
                 "SELECT 'numérotée';\n");
    QCOMPARE(ReadLine(killed), "numérotée");
    QProcess waiting;
    StartChild(waiting, server, {"modifier", "9", "GARDÉ"});
    QCOMPARE(ReadLine(waiting), "lue");
    waiting.write("\n");
    QVERIFY(!waiting.waitForReadyRead(300));
    ServerCopy::BringUpToDate(*collection, copy);

    ::kill(pid_t(killed.processId()), SIGKILL);
    QVERIFY(killed.waitForFinished(60000));
    QCOMPARE(ReadLine(waiting), "enregistrée");
    QVERIFY(waiting.waitForFinished(60000));
    ServerCopy::BringUpToDate(*collection, copy);
    const QList<Card> expected = {
        {2, "MAT", "DEUX", "a"}, {5, "WIN", "CINQ", "b"}, {9, "WIN", "NEUF", "GARDÉ"}};
    QCOMPARE(StoredCards(copy), expected);
    QCOMPARE(StoredCards(*collection), expected);
}

void TestServerCollection::aRestartedServerIsSaidThenReconnected() {
    OwnCluster cluster;
    RunPsql(cluster.Connection(), "CREATE DATABASE redemarre");
    const QString server =
        cluster.Connection().replace(QStringLiteral("dbname=postgres"), "dbname=redemarre");
    const std::unique_ptr<Collection> collection =
        Collection::Open(CollectionPlace::Server(server));
    collection->Add({QStringLiteral("WIN"), QStringLiteral("AVANT"), {}});
    cluster.Restart();

    const StoreError lost = Refusal([&] {
        collection->Add({QStringLiteral("WIN"), QStringLiteral("PERDUE"), {}});
    });
    QVERIFY2(lost.sentence().contains("« " + server +
                                      " » a été coupée : rien n'a été "
                                      "enregistré. Recommencez"),
             qPrintable(lost.text()));
    QVERIFY(lost.text().contains("\nRaison : "));
    QCOMPARE(collection->Add({QStringLiteral("WIN"), QStringLiteral("APRÈS"), {}}), 2);
    QCOMPARE(Titles(*collection), (QStringList{"AVANT", "APRÈS"}));
}

// The session goes on through its copy while the server is down; on its return the changes made
// away reach it, and the session's own connection reads them.
void TestServerCollection::aServerDownMidSessionGetsTheChangesMadeAwayOnItsReturn() {
    TemporaryFolder folder;
    OwnCluster cluster;
    const QString server = cluster.Connection();
    const std::unique_ptr<Collection> session = Collection::Open(CollectionPlace::Server(server));
    session->Add({QStringLiteral("WIN"), QStringLiteral("AVANT"), QStringLiteral("en ligne")});
    const QString copy = ServerCopy::FileFor(folder.Path(), server);
    ServerCopy::BringUpToDate(*session, copy);
    cluster.Halt();

    const QString down = Refusal([&] { session->Count(Selection::AllCards()); }).sentence();
    QVERIFY2(down.contains("a été coupée"), qPrintable(down));
    {
        const std::unique_ptr<Collection> away = ServerCopy::OpenOffline(copy, server);
        away->Update(*away->ReadCard(1), {{}, {}, QStringLiteral("hors connexion")});
        QCOMPARE(away->Add({QStringLiteral("WIN"), QStringLiteral("AILLEURS"), {}}), -1);
    }
    cluster.Resume();
    const ReturnReport report = ServerCopy::BringUpToDate(*session, copy);
    QCOMPARE(report.Lines(), QStringList{"La fiche provisoire 1 est devenue la fiche N° 2."});
    QCOMPARE(session->ReadCard(1)->pivanes, "hors connexion");
    QCOMPARE(Titles(*session), (QStringList{"AVANT", "AILLEURS"}));
    QCOMPARE(Titles(*Collection::OpenLocal(copy)), Titles(*session));
}

// The triggers keep the titles and the counts with the owner's rights.
void TestServerCollection::aRoleWithTheRightsTheReadmeGivesWrites() {
    TemporaryFolder folder;
    const std::unique_ptr<Collection> owner = FreshCollection("postgres", kThree);
    const QString writer = QStringLiteral("redacteur_%1").arg(QCoreApplication::applicationPid());
    // A collection that an earlier Pivanes counted restores in: a role that may not drop the
    // count works on beside it.
    RunPsql(owner->Place().name,
            QStringLiteral(
                "DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN duplicate_object "
                "THEN NULL; END $$; GRANT SELECT, INSERT, UPDATE, DELETE ON trucpivane TO %1; "
                "GRANT SELECT, INSERT, DELETE ON trucpivane_corbeille TO %1; "
                "GRANT SELECT ON trucpivane_titres, trucpivane_comptes TO %1; "
                "GRANT SELECT ON trucpivane_suivi, trucpivane_epoque TO %1; "
                "GRANT SELECT, INSERT ON trucpivane_appliques TO %1; "
                "CREATE TABLE trucpivane_restaurations (restaurations bigint NOT NULL); "
                "INSERT INTO trucpivane_restaurations VALUES (3)")
                .arg(writer));
    const CollectionPlace asWriter = CollectionPlace::Server(
        QString(owner->Place().name).replace(QStringLiteral("user=postgres"), "user=" + writer));
    std::unique_ptr<Collection> collection = Collection::Open(asWriter);
    QCOMPARE(collection->WhyReadOnly(), std::nullopt);
    QCOMPARE(collection->Add({QStringLiteral("INT"), QStringLiteral("AJOUTÉE"), {}}), 10);
    collection->Update(*collection->ReadCard(5), {QStringLiteral("INT"), {}, {}});
    QCOMPARE(collection->Count(Selection::Category("INT")).cards, 2);
    QCOMPARE(collection->SearchTitles(Selection::AllCards(), "AJOUTÉE", 1 << 30).count, 1);
    collection->MoveToTrash(10);
    collection->PutBack(10);
    collection->MoveToTrash(10);
    QCOMPARE(collection->EmptyTrash(), 1);
    // Its local copy, and a card added away from the server.
    const QString copy = ServerCopy::FileFor(folder.Path(), collection->Place().name);
    ServerCopy::BringUpToDate(*collection, copy);
    ServerCopy::OpenOffline(copy, collection->Place().name)->Add({"INT", "AILLEURS", {}});
    QCOMPARE(ServerCopy::BringUpToDate(*collection, copy).changes.at(0).numero, 10);

    // The owner's next opening drops the count; the writer's restore reaches the owner's program
    // through the epoch, which the triggers move on with the owner's rights.
    const qint64 cards = owner->SnapshotInto(QDir::current().filePath(QStringLiteral("copie.mdb")));
    const QString countLeft = "SELECT to_regclass('trucpivane_restaurations') IS NOT NULL";
    QCOMPARE(RunPsql(owner->Place().name, countLeft), "t");
    const std::unique_ptr<Collection> reopened = Collection::Open(owner->Place());
    QCOMPARE(RunPsql(owner->Place().name, countLeft), "f");
    collection->ReplaceWith(QStringLiteral("copie.mdb"));
    QCOMPARE(collection->Count(Selection::AllCards()).cards, cards);
    QVERIFY(!collection->RestoredElsewhere());
    QVERIFY(reopened->RestoredElsewhere());

    // Short of one of those rights, or on a database that only reads, it is known at connection
    // (SELECT alone is checked through the windows).
    for (const QString& sql :
         QStringList{"REVOKE DELETE ON trucpivane_corbeille FROM " + writer,
                     "DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET "
                     "default_transaction_read_only = on', current_database()); END $$"}) {
        RunPsql(owner->Place().name, sql);
        const QString why =
            Collection::Open(collection->Place())->WhyReadOnly().value_or(QString());
        QVERIFY2(why.contains(sql.startsWith("REVOKE") ? "« " + writer + " » peut lire les fiches"
                                                       : "n'accepte que des lectures"),
                 qPrintable(why));
    }
}

void TestServerCollection::refusalsSayWhatAndWhy_data() {
    QTest::addColumn<bool>("made");       // whether the program made its collection there first
    QTest::addColumn<QString>("setUp");   // SQL run then as the administrator
    QTest::addColumn<QString>("connect"); // what replaces "user=postgres" in its connection
    QTest::addColumn<QString>("attempt"); // open, add, compact or restore
    QTest::addColumn<StoreError::Kind>("kind");
    QTest::addColumn<QString>("saying");
    const QString reader = QStringLiteral("lecteur_%1").arg(QCoreApplication::applicationPid());
    const QString readOnly = QStringLiteral("DO $$ BEGIN CREATE ROLE %1 LOGIN; EXCEPTION WHEN "
                                            "duplicate_object THEN NULL; END $$; GRANT SELECT ON "
                                            "ALL TABLES IN SCHEMA public TO %1")
                                 .arg(reader);
    const QString role = QStringLiteral("user=") + reader;
    using K = StoreError::Kind;
    QTest::newRow("no server at that place")
        << true << ""
        << "host=/nonexistent user=postgres"
        << "open" << K::Failed << "n'a pas pu se connecter au serveur PostgreSQL « host=";
    QTest::newRow("role turned away")
        << true << ""
        << "user=refuse"
        << "open" << K::Failed << "n'a pas pu se connecter au serveur PostgreSQL";
    QTest::newRow("another program's trucpivane")
        << false << "CREATE TABLE trucpivane (numero integer, titre text)"
        << "user=postgres"
        << "open" << K::NotADatabase << "d'une autre forme";
    QTest::newRow("read-only role adds")
        << true << readOnly << role << "add" << K::ReadOnly
        << "« " + reader + " », qui n'en a pas le droit : rien n'a été enregistré";
    QTest::newRow("read-only role compacts") << true << readOnly << role << "compact" << K::ReadOnly
                                             << "le rôle « " + reader + " » ne l'est pas";
    QTest::newRow("read-only role restores")
        << true << readOnly << role << "restore" << K::ReadOnly << "qui n'en a pas le droit";
}

// Each refusal names the server, says what was kept and what to do, and leaves the server's
// data as it was.
void TestServerCollection::refusalsSayWhatAndWhy() {
    QFETCH(bool, made);
    QFETCH(QString, setUp);
    QFETCH(QString, connect);
    QFETCH(QString, attempt);
    QFETCH(StoreError::Kind, kind);
    QFETCH(QString, saying);
    TemporaryFolder folder;
    const QString administrator = FreshServerDatabase();
    if (made)
        Collection::Open(CollectionPlace::Server(administrator))->Add({"WIN", "GARDÉE", "texte"});
    if (!setUp.isEmpty())
        RunPsql(administrator, setUp);
    WriteCollection({{1, "WIN", "SAUVEGARDÉE", ""}}, "sauvegarde.mdb");
    const QString server = QString(administrator).replace(QStringLiteral("user=postgres"), connect);

    QElapsedTimer timer;
    timer.start();
    const StoreError refused = Refusal([&] {
        const std::unique_ptr<Collection> collection =
            Collection::Open(CollectionPlace::Server(server));
        QCOMPARE(collection->Count(Selection::AllCards()).cards, 1);
        if (attempt == "add")
            collection->Add({QStringLiteral("WIN"), QStringLiteral("REFUSÉE"), {}});
        else if (attempt == "compact")
            collection->Compact();
        else if (attempt == "restore")
            collection->ReplaceWith("sauvegarde.mdb");
    });
    QVERIFY2(timer.elapsed() < 10000, "a refusal comes within the connect timeout");
    QCOMPARE(refused.kind(), kind);
    QVERIFY2(refused.sentence().contains(saying), qPrintable(refused.text()));
    QVERIFY2(refused.sentence().contains(server) || refused.sentence().contains(connect),
             qPrintable(refused.text()));
    QCOMPARE(RunPsql(administrator, "SELECT string_agg(column_name, ',' ORDER BY ordinal_position) "
                                    "FROM information_schema.columns WHERE table_name = "
                                    "'trucpivane'"),
             made ? "numero,cate,titre,pivanes,version" : "numero,titre");
    if (made)
        QCOMPARE(RunPsql(administrator, "SELECT titre FROM trucpivane"), "GARDÉE");
}

PIVANES_ENGINE_TEST_MAIN(TestServerCollection)
#include "tst_ServerCollection.moc"
