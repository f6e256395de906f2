// A collection file: anything else is refused and left as it is; opening and reading never write
// to it, whatever wrote it; the first write prepares it; engine failures are told in French first,
// each by its real cause.
#include "EngineTestSupport.h"
#include "RealFaults.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <optional>
#include <sys/stat.h>

namespace {

// What opening and browsing could have changed: the bytes, the time of change, the files beside.
struct FileState {
    explicit FileState(const QString& file)
        : bytes(FileBytes(file)), beside(QFileInfo(file).dir().entryList(QDir::Files)) {
        struct stat status;
        ::stat(QFile::encodeName(file).constData(), &status);
        changed = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
        log = FileBytes(file + QStringLiteral("-wal"));
    }
    bool operator==(const FileState&) const = default;
    QByteArray bytes;
    QStringList beside;
    qint64 changed = 0;
    QByteArray log;
};

// Everything the windows do with an open collection short of writing.
qint64 BrowseEverything(const QString& file) {
    const std::unique_ptr<Collection> collection = Collection::OpenLocal(file);
    const qint64 all = std::numeric_limits<qint64>::max();
    qint64 seen = collection->Count(Selection::Category(QStringLiteral("WIN"))).cards;
    for (const CardRow& row : collection->Rows(Selection::AllCards())->Downward(all, 0, 100)) {
        collection->ReadCard(row.numero);
        ++seen;
    }
    collection->EachCard([](const StoredCard&) {});
    collection->SearchTitles(Selection::AllCards(), "WIN", all);
    return seen;
}

std::unique_ptr<Collection> Open(const QString& file) {
    return Collection::OpenLocal(file);
}

const QString kForeignSchema = QStringLiteral(
    "PRAGMA page_size = 1024; CREATE TABLE Notes (x); "
    "CREATE TABLE TrucPivane (pivanes TEXT, titre TEXT, cate TEXT, numero INTEGER PRIMARY KEY); "
    "INSERT INTO TrucPivane VALUES ('Texte', 'UN', 'WIN', 1), ('Texte', 'DEUX', 'MAT', 3);");

// A collection as the shell leaves it in WAL mode; with its log left unfolded when asked.
void WriteWalCollection(const QString& file, bool keepLog) {
    WriteCollection(CardsIn({{"WIN", 3}, {"MAT", 2}}), file);
    RunSqliteShell(file, QStringLiteral("PRAGMA journal_mode = WAL;"));
    if (keepLog)
        RunSqliteShell(file, QStringLiteral("INSERT INTO TrucPivane VALUES (6, 'WIN', 'LOG', '');"),
                       {QStringLiteral("-cmd"), QStringLiteral(".dbconfig no_ckpt_on_close on")});
}

} // namespace

class TestStoreFaults : public QObject {
    Q_OBJECT

private slots:
    void openingAndBrowsingWriteNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("seen");
        QTest::newRow("the program's own collection") << "own" << qint64(8);
        QTest::newRow("older collection without the index") << "no index" << qint64(8);
        QTest::newRow("foreign schema and page size") << "foreign" << qint64(3);
        QTest::newRow("WAL mode") << "wal" << qint64(8);
        QTest::newRow("WAL mode with a log not folded in") << "wal log" << qint64(10);
        QTest::newRow("read-only file system") << "read-only" << qint64(8);
    }
    void openingAndBrowsingWriteNothing() {
        QFETCH(QString, file);
        QFETCH(qint64, seen);
        TemporaryFolder folder;
        ScratchVolume volume(8 << 20);
        const QString name =
            file == "read-only" ? volume.Path(QStringLiteral("Pivane.mdb")) : "Pivane.mdb";
        if (file == "read-only")
            SKIP_WITHOUT_VOLUME(volume);
        if (file == "foreign")
            RunSqliteShell(name, kForeignSchema);
        else if (file.startsWith("wal"))
            WriteWalCollection(name, file == "wal log");
        else
            WriteCollection(CardsIn({{"WIN", 3}, {"MAT", 2}}), name);
        if (file == "no index")
            RunSqliteShell(name, QStringLiteral("DROP INDEX TrucPivane_Cate"));
        if (file == "read-only")
            QVERIFY2(volume.Break(DiskFault::ReadOnly), qPrintable(volume.WhyNot()));
        const FileState before(name);

        QCOMPARE(BrowseEverything(name), seen);

        QVERIFY(FileState(name) == before);
    }

    // The first save, and not the opening, adds the indexes and leaves WAL mode.
    void firstWritePreparesTheFile_data() {
        QTest::addColumn<bool>("wal");
        QTest::newRow("older collection without the index") << false;
        QTest::newRow("WAL mode with a log") << true;
    }
    void firstWritePreparesTheFile() {
        QFETCH(bool, wal);
        TemporaryFolder folder;
        if (wal)
            WriteWalCollection(QStringLiteral("Pivane.mdb"), true);
        else
            WriteCollection(CardsIn({{"WIN", 3}}));
        RunSqliteShell(QStringLiteral("Pivane.mdb"), QStringLiteral("DROP INDEX TrucPivane_Cate"));
        {
            const std::unique_ptr<Collection> collection = Open(QStringLiteral("Pivane.mdb"));
            collection->Count(Selection::AllCards());
            QVERIFY(IndexNames().isEmpty());
            collection->Add({QStringLiteral("WIN"), QStringLiteral("ÉCRITE"), {}});
        }

        QCOMPARE(IndexNames(), QStringList({"TrucPivane_Cate"}));
        QCOMPARE(
            RunSqliteShell(QStringLiteral("Pivane.mdb"), QStringLiteral("PRAGMA journal_mode")),
            QStringLiteral("delete"));
        QCOMPARE(StoredCards().last().Titre, QStringLiteral("ÉCRITE"));
        QCOMPARE(StoredCards().size(), wal ? 7 : 4);
        QVERIFY(!QFile::exists(QStringLiteral("Pivane.mdb-wal")));
    }

    // Each failure is told by its cause, in French first; the engine's English may follow.
    void failuresAreToldByTheirCause_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("told");
        QTest::newRow("file replaced by another program")
            << "replaced" << int(StoreError::Kind::Replaced) << "remplacé par un autre programme";
        QTest::newRow("read-only file system")
            << "read-only" << int(StoreError::Kind::ReadOnly) << "lecture seule : rien n'a été";
        QTest::newRow("WAL file held open by another program")
            << "wal held" << int(StoreError::Kind::Busy) << "occupée par un autre programme";
        QTest::newRow("disk read error at opening")
            << "eio at open" << int(StoreError::Kind::DiskError) << "erreur de lecture du disque";
        QTest::newRow("disk read error while browsing")
            << "eio later" << int(StoreError::Kind::DiskError) << "Le disque a signalé une erreur";
    }
    void failuresAreToldByTheirCause() {
        QFETCH(QString, fault);
        QFETCH(int, kind);
        QFETCH(QString, told);
        TemporaryFolder folder;
        ScratchVolume readOnly(8 << 20);
        std::optional<FailingDisk> failing;
        QString file = QStringLiteral("Pivane.mdb");
        if (fault == "read-only") {
            SKIP_WITHOUT_VOLUME(readOnly);
            file = readOnly.Path(file);
        } else if (fault.startsWith("eio")) {
            failing.emplace();
            SKIP_WITHOUT_VOLUME(*failing);
            file = failing->Path(file);
        }
        QProcess holder;
        if (fault == "wal held") {
            WriteWalCollection(file, false);
            holder.start(QStringLiteral("sqlite3"), {file});
            holder.write("SELECT count(*) FROM TrucPivane;\n");
            QVERIFY(holder.waitForReadyRead(30000));
        } else {
            WriteCollection(CardsIn({{"WIN", 3}}), file);
        }
        if (fault == "read-only")
            QVERIFY2(readOnly.Break(DiskFault::ReadOnly), qPrintable(readOnly.WhyNot()));
        if (fault == "eio at open")
            QVERIFY2(failing->Fail(), qPrintable(failing->WhyNot()));

        QString text;
        try {
            const std::unique_ptr<Collection> collection = Open(file);
            // Known at opening, before a card is typed for nothing.
            QCOMPARE(collection->WhyReadOnly().value_or(QString()).contains("lecture seule"),
                     fault == "read-only");
            if (fault == "eio later")
                QVERIFY2(failing->Fail(), qPrintable(failing->WhyNot()));
            if (fault == "replaced")
                QCOMPARE(QProcess::execute("sh", {"-c", "cp Pivane.mdb new && mv new Pivane.mdb"}),
                         0);
            collection->Rows(Selection::AllCards())->Downward(10, 0, 2);
            collection->Add({QStringLiteral("WIN"), QStringLiteral("NOUVELLE"), {}});
            QFAIL("the fault went unnoticed");
        } catch (const StoreError& error) {
            text = error.text();
            QVERIFY2(int(error.kind()) == kind, qPrintable(text));
        }
        QVERIFY2(text.contains(told), qPrintable(text));
        // French first: the engine's own words, when there are any, only in brackets after it.
        QVERIFY2(text.indexOf(QLatin1Char('(')) != 0 && !text.startsWith(QStringLiteral("disk")),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("Restaurez")), qPrintable(text));
        if (fault == "wal held") {
            holder.closeWriteChannel();
            QVERIFY(holder.waitForFinished());
            QCOMPARE(StoredCards().size(), 5);
        }
    }

    // A backup copy that fails at any step says why, leaves no copy behind and an older one as it
    // was; the collection is untouched.
    void failedCopyLeavesTheOldOne_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<WriteStep>("step");
        // The server's copy is written by the file's engine, not through the writer.
        for (const char* engine : {"sqlite", "postgres"})
            for (const auto& [step, name] : WriteSteps())
                if (QLatin1String(engine) == QLatin1String("sqlite") || step != WriteStep::Write)
                    QTest::newRow(qPrintable(QLatin1String(engine) + QLatin1String(", ") + name))
                        << QString::fromLatin1(engine) << step;
    }
    void failedCopyLeavesTheOldOne() {
        QFETCH(QString, engine);
        QFETCH(WriteStep, step);
        TemporaryFolder folder;
        const QList<Card> cards = CardsIn({{"WIN", 3}});
        const std::unique_ptr<Collection> collection = FreshCollection(engine, cards);
        QVERIFY(QDir().mkdir(QStringLiteral("copies")));
        const QString target = folder.Path(QStringLiteral("copies/PIVANE.MDB"));
        WriteBytes(target, "ancienne copie");
        FailingWrites fault(step, folder.Path(QStringLiteral("copies")));

        try {
            collection->SnapshotInto(target);
            QFAIL("reported as copied");
        } catch (const StoreError& error) {
            QCOMPARE(error.reason(), UserError::SystemReason(FailingWrites::ErrorNumberOf(step)));
            QVERIFY2(error.sentence().contains(target), qPrintable(error.text()));
        }

        QVERIFY(fault.Struck());
        QCOMPARE(FileBytes(target), QByteArray("ancienne copie"));
        QCOMPARE(QDir(QStringLiteral("copies")).entryList(QDir::Files),
                 QStringList{QStringLiteral("PIVANE.MDB")});
        QCOMPARE(StoredCards(*collection), cards);
    }

    void badFilesAreRefusedAndLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("kind");
        QByteArray jet(2048, '\0');
        jet.replace(4, 15, "Standard Jet DB");
        QByteArray damaged("SQLite format 3\0", 16);
        damaged.append(QByteArray(4080, '\x5a'));
        QTest::newRow("old engine's file") << jet << int(StoreError::Kind::NotADatabase);
        QTest::newRow("damaged") << damaged << int(StoreError::Kind::Damaged);
        QTest::newRow("empty") << QByteArray() << int(StoreError::Kind::NoTable);
        QTest::newRow("no card table")
            << QByteArray("without table") << int(StoreError::Kind::NoTable);
        QTest::newRow("missing") << QByteArray("missing") << int(StoreError::Kind::MissingFile);
    }
    void badFilesAreRefusedAndLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(int, kind);
        TemporaryFolder folder;
        if (content == "without table") {
            Collection::CreateLocal("Pivane.mdb");
            RunSqliteShell("Pivane.mdb", "ALTER TABLE TrucPivane RENAME TO Autre");
            content = FileBytes("Pivane.mdb");
        } else if (content != "missing") {
            WriteBytes("Pivane.mdb", content);
        }
        try {
            Open("Pivane.mdb");
            QFAIL("opened a file that is no card collection");
        } catch (const StoreError& error) {
            QCOMPARE(int(error.kind()), kind);
            QVERIFY(error.text().contains("Pivane.mdb"));
        }
        QCOMPARE(QFile::exists("Pivane.mdb"), content != "missing");
        if (content != "missing")
            QCOMPARE(FileBytes("Pivane.mdb"), content);
    }

    // A file is data: a table of cards that is not one, or code of another program that the
    // program's writes would run, is refused by every way in (opening, backup, restore, import).
    void craftedFilesAreRefusedAndLeftAlone_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("said");
        const QString table =
            "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, Titre, Pivanes);";
        QTest::newRow("an endless view as the table")
            << "CREATE VIEW TrucPivane (Numero, Cate, Titre, Pivanes) AS WITH RECURSIVE n(i) AS "
               "(SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT i, 'WIN', 'T', '' FROM n;"
            << "une vue";
        QTest::newRow("without row ids")
            << "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, Titre, Pivanes) "
               "WITHOUT ROWID;"
            << "WITHOUT ROWID";
        QTest::newRow("a generated column")
            << "CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, Cate, Titre, Pivanes, "
               "Long AS (length(Pivanes)));"
            << "quatre colonnes";
        QTest::newRow("numbers that are not the row id")
            << "CREATE TABLE TrucPivane (Numero INTEGER, Cate, Titre, Pivanes);"
            << "INTEGER PRIMARY KEY";
        QTest::newRow("a trigger that empties the table")
            << table + "CREATE TRIGGER Vide AFTER INSERT ON TrucPivane BEGIN DELETE FROM "
                       "TrucPivane WHERE Numero <> new.Numero; END;"
            << "« Vide » (déclencheur)";
        QTest::newRow("one of the program's triggers rewritten")
            << table + "CREATE TRIGGER TrucPivane_Titres_Ajout AFTER INSERT ON TrucPivane BEGIN "
                       "DELETE FROM TrucPivane; END;"
            << "« TrucPivane_Titres_Ajout » (déclencheur)";
        QTest::newRow("a view beside the cards")
            << table + "CREATE VIEW Toutes AS SELECT * FROM TrucPivane;"
            << "« Toutes » (vue)";
        QTest::newRow("an index on an expression")
            << table + "CREATE INDEX Longueurs ON TrucPivane (length(Pivanes));"
            << "« Longueurs » (index sur une expression)";
        QTest::newRow("a partial index")
            << table + "CREATE INDEX Certaines ON TrucPivane (Titre) WHERE Cate = 'WIN';"
            << "« Certaines » (index sur une expression)";
    }
    void craftedFilesAreRefusedAndLeftAlone() {
        QFETCH(QString, sql);
        QFETCH(QString, said);
        TemporaryFolder folder;
        RunSqliteShell("Pivane.mdb", sql);
        const QByteArray before = FileBytes("Pivane.mdb");
        for (const auto& way : std::initializer_list<std::function<void()>>{
                 [] { Open("Pivane.mdb"); }, [] { Collection::VerifiedCardCount("Pivane.mdb"); }})
            try {
                way();
                QFAIL("took a file that is not only cards");
            } catch (const StoreError& error) {
                QCOMPARE(error.kind(), StoreError::Kind::NoTable);
                QVERIFY2(error.text().contains(said), qPrintable(error.text()));
            }
        QCOMPARE(FileBytes("Pivane.mdb"), before);
    }

    // Another program that puts code in the file while it is open: the next write refuses it.
    void codeAddedWhileOpenNeverRuns() {
        TemporaryFolder folder;
        WriteCollection(CardsIn({{"WIN", 3}}));
        const std::unique_ptr<Collection> collection = Open("Pivane.mdb");
        const QList<Card> cards = StoredCards(*collection);
        RunSqliteShell("Pivane.mdb", "CREATE TRIGGER Vide AFTER INSERT ON TrucPivane BEGIN "
                                     "DELETE FROM TrucPivane WHERE Numero <> new.Numero; END;");
        QVERIFY_THROWS_EXCEPTION(StoreError, collection->Add({QStringLiteral("WIN"), {}, {}}));
        QCOMPARE(StoredCards(*collection), cards);
    }
};

PIVANES_ENGINE_TEST_MAIN(TestStoreFaults)
#include "tst_StoreFaults.moc"
