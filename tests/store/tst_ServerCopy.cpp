// The local copy of a server collection on the real cluster: caught up from the server's change
// numbers whichever program wrote, read whole after a restore, and the changes made on it away
// from the server sent back by the rules of the return, once each.
#include "EngineTestSupport.h"

#include "store/ServerCopy.h"
#include "store/StoreError.h"
#include "store/TextSearch.h"

namespace {

using Outcome = ReturnedChange::Outcome;

const QList<Card> kThree = {
    {2, "MAT", "DEUX", "a"}, {5, "WIN", "CINQ", "b"}, {9, "WIN", "NEUF", "c"}};
const QString kTrashFive =
    "WITH g AS (DELETE FROM trucpivane WHERE numero = 5 RETURNING *) "
    "INSERT INTO trucpivane_corbeille SELECT numero, cate, titre, pivanes, now() FROM g";

// Cards then trash, as one line: "2 MAT DEUX a | 5 WIN CINQ b | [9 NEUF]".
QString State(Collection& collection) {
    QStringList parts;
    collection.EachCard([&](const StoredCard& card) {
        parts << QStringLiteral("%1 %2 %3 %4")
                     .arg(card.numero)
                     .arg(card.cate.value_or("-"), card.titre.value_or("-"),
                          card.pivanes.value_or("-"));
    });
    for (const TrashEntry& entry : collection.Trash())
        parts << QStringLiteral("[%1 %2]").arg(entry.numero).arg(entry.titre.value_or("-"));
    return parts.join(QStringLiteral(" | "));
}

QString CopyState(const QString& copyFile) {
    return State(*Collection::OpenLocal(copyFile));
}

// How many cards a search of each word finds, in the titles and then in titles and texts: the
// copy's indexes against the server's.
QString Found(Collection& collection) {
    QStringList counts;
    for (const QString word : {"CINQ", "AUTRE", "NEUF", "T4321", "mot4321"})
        counts << QStringLiteral("%1 %2/%3")
                      .arg(word)
                      .arg(collection.SearchTitles(Selection::AllCards(), word.toUtf8(), 1 << 30)
                               .count)
                      .arg(collection
                               .SearchTexts(Selection::AllCards(), TextQuery::Parse(word), 1 << 30)
                               .count);
    return counts.join(QStringLiteral(", "));
}

// Restores the server from a file of its three cards, card 5 with this text or left out.
void Restore(Collection& server, const QString& five) {
    QList<Card> cards = kThree;
    if (five.isEmpty())
        cards.removeAt(1);
    else
        cards[1].Pivanes = five;
    WriteCollection(cards, QStringLiteral("RESTAURE.MDB"));
    server.ReplaceWith(QStringLiteral("RESTAURE.MDB"));
}

// What another program does meanwhile: SQL through psql, or a restore ("restaurer TEXTE", or
// "restaurer" alone for a collection without card 5).
void Meanwhile(Collection& server, const QString& what) {
    if (what.startsWith(QLatin1String("restaurer")))
        Restore(server, what.mid(10));
    else if (!what.isEmpty())
        RunPsql(server.Place().name, what);
}

// A change made away: "modifier N TEXTE", "jeter N", "remettre N", "ajouter TITRE".
void Offline(Collection& copy, const QString& what) {
    const QStringList words = what.split(' ');
    const qint64 numero = words.value(1).toLongLong();
    if (words[0] == "modifier")
        copy.Update(*copy.ReadCard(numero), {{}, {}, words[2]});
    else if (words[0] == "jeter")
        copy.MoveToTrash(numero);
    else if (words[0] == "remettre")
        copy.PutBack(numero);
    else
        copy.Add({QStringLiteral("WIN"), words[1], QStringLiteral("n")});
}

} // namespace

class TestServerCopy : public QObject {
    Q_OBJECT

private slots:
    void aCopyCatchesUpWithEveryProgramsWrites_data();
    void aCopyCatchesUpWithEveryProgramsWrites();
    void eachChangeReturnsByItsRule_data();
    void eachChangeReturnsByItsRule();
    void aChangeSentTwiceIsAppliedOnce();
    void changesMadeAwayFollowEachOther();
    void whatNeedsTheServerIsRefusedAway();
};

// A mark kept in the copy, unknown to the server, tells a catch-up (which leaves it) from a
// read of the whole collection (which does not).
void TestServerCopy::aCopyCatchesUpWithEveryProgramsWrites_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("readWhole");
    QTest::newRow("nothing") << "" << false;
    QTest::newRow("insert") << "INSERT INTO trucpivane (numero, cate, titre) VALUES (12, 'X', 'D')"
                            << false;
    QTest::newRow("update") << "UPDATE trucpivane SET titre = 'AUTRE' WHERE numero = 5" << false;
    QTest::newRow("text") << "UPDATE trucpivane SET pivanes = 'AUTRE' WHERE numero = 5" << false;
    QTest::newRow("category") << "UPDATE trucpivane SET cate = 'MAT' WHERE numero = 5" << false;
    QTest::newRow("in both") << "INSERT INTO trucpivane_corbeille SELECT numero, cate, titre, "
                                "'AUTRE', now() FROM trucpivane WHERE numero = 9"
                             << false;
    // More than the copy writes at once.
    QTest::newRow("many") << "INSERT INTO trucpivane SELECT g, 'X', 'T' || g, 'mot' || g, 0 FROM "
                             "generate_series(10, 12000) g; UPDATE trucpivane SET titre = 'AUTRE' "
                             "WHERE numero = 5"
                          << false;
    QTest::newRow("renumbered") << "UPDATE trucpivane SET numero = 7 WHERE numero = 5" << false;
    QTest::newRow("delete") << "DELETE FROM trucpivane WHERE numero = 2" << false;
    QTest::newRow("trash") << kTrashFive << false;
    QTest::newRow("trash emptied") << kTrashFive + "; DELETE FROM trucpivane_corbeille" << false;
    QTest::newRow("truncate") << "TRUNCATE trucpivane" << true;
}

void TestServerCopy::aCopyCatchesUpWithEveryProgramsWrites() {
    QFETCH(QString, sql);
    QFETCH(bool, readWhole);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> server = FreshCollection("postgres", kThree);
    const QString copy = ServerCopy::FileFor(folder.Path(), server->Place().name);
    ServerCopy::BringUpToDate(*server, copy);
    QCOMPARE(CopyState(copy), State(*server));
    RunSqliteShell(copy, "INSERT INTO TrucPivane VALUES (1, 'Z', 'MARQUE', NULL)");
    Meanwhile(*server, sql);

    ServerCopy::BringUpToDate(*Collection::Open(server->Place()), copy);
    QCOMPARE(CopyState(copy), (readWhole ? "" : "1 Z MARQUE - | ") + State(*server));
    QCOMPARE(Found(*Collection::OpenLocal(copy)), Found(*server));
}

// The server holds 2, 5 and 9 (and 5 in the trash when "before" says so) when the copy is made;
// the change is made on the copy, another program writes meanwhile, then the copy returns.
void TestServerCopy::eachChangeReturnsByItsRule_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<qint64>("numero");
    QTest::addColumn<QString>("server");
    const QString editedThere = "UPDATE trucpivane SET pivanes = 'LA' WHERE numero = 5";
    QTest::newRow("edit, unchanged")
        << ""
        << "modifier 5 ICI"
        << "" << Outcome::Applied << 5LL << "2 MAT DEUX a | 5 WIN CINQ ICI | 9 WIN NEUF c";
    QTest::newRow("edit, edited there")
        << ""
        << "modifier 5 ICI" << editedThere << Outcome::CopiedAside << 10LL
        << "2 MAT DEUX a | 5 WIN CINQ LA | 9 WIN NEUF c | 10 WIN CINQ (copie hors connexion) ICI";
    const QString longTitle = "UPDATE trucpivane SET titre = repeat('T', 100) WHERE numero = 5";
    QTest::newRow("edit of a title at its limit, edited there")
        << longTitle << "modifier 5 ICI" << editedThere << Outcome::CopiedAside << 10LL
        << "2 MAT DEUX a | 5 WIN " + QString(100, 'T') + " LA | 9 WIN NEUF c | 10 WIN " +
               QString(77, 'T') + " (copie hors connexion) ICI";
    QTest::newRow("edit, trashed there") << ""
                                         << "modifier 5 ICI" << kTrashFive << Outcome::BackFromTrash
                                         << 5LL << "2 MAT DEUX a | 5 WIN CINQ ICI | 9 WIN NEUF c";
    QTest::newRow("edit, trash emptied there")
        << ""
        << "modifier 5 ICI" << kTrashFive + "; DELETE FROM trucpivane_corbeille" << Outcome::NewCard
        << 10LL << "2 MAT DEUX a | 9 WIN NEUF c | 10 WIN CINQ ICI";
    QTest::newRow("edit, restored unchanged") << ""
                                              << "modifier 5 ICI"
                                              << "restaurer b" << Outcome::Applied << 5LL
                                              << "2 MAT DEUX a | 5 WIN CINQ ICI | 9 WIN NEUF c";
    QTest::newRow("edit, restored otherwise")
        << ""
        << "modifier 5 ICI"
        << "restaurer ANCIEN" << Outcome::CopiedAside << 10LL
        << "2 MAT DEUX a | 5 WIN CINQ ANCIEN | 9 WIN NEUF c | 10 WIN CINQ (copie hors connexion) "
           "ICI";
    QTest::newRow("edit, restored without it") << ""
                                               << "modifier 5 ICI"
                                               << "restaurer" << Outcome::NewCard << 10LL
                                               << "2 MAT DEUX a | 9 WIN NEUF c | 10 WIN CINQ ICI";
    QTest::newRow("add") << ""
                         << "ajouter NOUVELLE"
                         << "" << Outcome::Numbered << 10LL
                         << "2 MAT DEUX a | 5 WIN CINQ b | 9 WIN NEUF c | 10 WIN NOUVELLE n";
    QTest::newRow("add, another added there")
        << ""
        << "ajouter NOUVELLE"
        << "INSERT INTO trucpivane VALUES (10, 'MAT', 'AUTRE', 'x')" << Outcome::Numbered << 11LL
        << "2 MAT DEUX a | 5 WIN CINQ b | 9 WIN NEUF c | 10 MAT AUTRE x | 11 WIN NOUVELLE n";
    QTest::newRow("trash, unchanged")
        << ""
        << "jeter 5"
        << "" << Outcome::Applied << 5LL << "2 MAT DEUX a | 9 WIN NEUF c | [5 CINQ]";
    QTest::newRow("trash, edited there") << ""
                                         << "jeter 5" << editedThere << Outcome::KeptEdited << 5LL
                                         << "2 MAT DEUX a | 5 WIN CINQ LA | 9 WIN NEUF c";
    QTest::newRow("trash, trashed there") << ""
                                          << "jeter 5" << kTrashFive << Outcome::Gone << 5LL
                                          << "2 MAT DEUX a | 9 WIN NEUF c | [5 CINQ]";
    QTest::newRow("put back, unchanged")
        << kTrashFive << "remettre 5"
        << "" << Outcome::Applied << 5LL << "2 MAT DEUX a | 5 WIN CINQ b | 9 WIN NEUF c";
    QTest::newRow("put back, trash emptied there")
        << kTrashFive << "remettre 5"
        << "DELETE FROM trucpivane_corbeille" << Outcome::NewCard << 10LL
        << "2 MAT DEUX a | 9 WIN NEUF c | 10 WIN CINQ b";
}

void TestServerCopy::eachChangeReturnsByItsRule() {
    QFETCH(QString, before);
    QFETCH(QString, change);
    QFETCH(QString, meanwhile);
    QFETCH(Outcome, outcome);
    QFETCH(qint64, numero);
    QFETCH(QString, server);
    TemporaryFolder folder;
    const std::unique_ptr<Collection> shared = FreshCollection("postgres", kThree);
    Meanwhile(*shared, before);
    const QString copy = ServerCopy::FileFor(folder.Path(), shared->Place().name);
    ServerCopy::BringUpToDate(*shared, copy);
    Offline(*ServerCopy::OpenOffline(copy, shared->Place().name), change);
    Meanwhile(*shared, meanwhile);

    const ReturnReport report = ServerCopy::BringUpToDate(*shared, copy);
    QCOMPARE(report.changes.size(), 1u);
    QCOMPARE(report.changes[0].outcome, outcome);
    QCOMPARE(report.changes[0].numero, numero);
    QCOMPARE(report.restored, meanwhile.startsWith("restaurer"));
    QCOMPARE(State(*shared), server);
    QCOMPARE(CopyState(copy), server);
}

// A connection lost after the COMMIT sends the change again: the server answers what it did the
// first time and writes nothing more.
void TestServerCopy::aChangeSentTwiceIsAppliedOnce() {
    const std::unique_ptr<Collection> server = FreshCollection("postgres", kThree);
    auto& changes = dynamic_cast<ServerChanges&>(*server);
    const QueuedChange add{"a1", QueuedChange::Kind::Add, -1, {}, {"WIN", "UNE FOIS", "t"}};
    const QueuedChange edit{
        "e1", QueuedChange::Kind::Edit, 5, {"WIN", "CINQ", "b"}, {"WIN", "CINQ", "ICI"}};
    for (int time = 0; time < 2; ++time) {
        QCOMPARE(changes.Apply(add).numero, 10);
        QCOMPARE(changes.Apply(edit).outcome, Outcome::Applied);
    }
    QCOMPARE(State(*server), "2 MAT DEUX a | 5 WIN CINQ ICI | 9 WIN NEUF c | 10 WIN UNE FOIS t");
}

// A card added away, then edited and trashed there, goes back under the server's number with
// every change after it; the provisional numbers go down from -1.
void TestServerCopy::changesMadeAwayFollowEachOther() {
    TemporaryFolder folder;
    const std::unique_ptr<Collection> server = FreshCollection("postgres", kThree);
    const QString copy = ServerCopy::FileFor(folder.Path(), server->Place().name);
    ServerCopy::BringUpToDate(*server, copy);
    {
        const std::unique_ptr<Collection> away =
            ServerCopy::OpenOffline(copy, server->Place().name);
        QCOMPARE(away->Add({QStringLiteral("WIN"), QStringLiteral("A"), {}}), -1);
        QCOMPARE(away->Add({QStringLiteral("MAT"), QStringLiteral("B"), {}}), -2);
        away->Update(*away->ReadCard(-1), {{}, {}, QStringLiteral("premier")});
        away->Update(*away->ReadCard(-1), {{}, {}, QStringLiteral("second")});
        away->MoveToTrash(-2);
        away->Update(*away->ReadCard(5), {{}, QStringLiteral("CINQ BIS"), {}});
    }
    const ReturnReport report = ServerCopy::BringUpToDate(*server, copy);
    QCOMPARE(report.changes.size(), 6u);
    QCOMPARE(report.Lines(), (QStringList{"La fiche provisoire 1 est devenue la fiche N° 10.",
                                          "La fiche provisoire 2 est devenue la fiche N° 11."}));
    const QString expected = "2 MAT DEUX a | 5 WIN CINQ BIS b | 9 WIN NEUF c | 10 WIN A second | "
                             "[11 B]";
    QCOMPARE(State(*server), expected);
    QCOMPARE(CopyState(copy), expected);
}

void TestServerCopy::whatNeedsTheServerIsRefusedAway() {
    TemporaryFolder folder;
    const std::unique_ptr<Collection> server = FreshCollection("postgres", kThree);
    const QString copy = ServerCopy::FileFor(folder.Path(), server->Place().name);
    ServerCopy::BringUpToDate(*server, copy);
    const std::unique_ptr<Collection> away = ServerCopy::OpenOffline(copy, server->Place().name);
    try {
        away->EmptyTrash();
        QFAIL("emptied away");
    } catch (const StoreError& error) {
        QCOMPARE(error.text(), "Vider la corbeille demande le serveur « " + server->Place().name +
                                   " », qui ne répond pas : Pivanes travaille sur sa copie "
                                   "locale, et rien n'a été fait.");
    }
}

PIVANES_ENGINE_TEST_MAIN(TestServerCopy)
#include "tst_ServerCopy.moc"
