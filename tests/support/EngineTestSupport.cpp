#include "EngineTestSupport.h"

#include "NewCollection.h"
#include "SyntheticCards.h"

#include <QDir>
#include <QFile>
#include <QProcess>

TemporaryFolder::TemporaryFolder() : previous_(QDir::currentPath()) {
    QDir::setCurrent(folder_.path());
}

TemporaryFolder::~TemporaryFolder() {
    QDir::setCurrent(previous_);
}

QString TemporaryFolder::Path(const QString& name) const {
    return name.isEmpty() ? folder_.path() : folder_.filePath(name);
}

QList<QPair<WriteStep, QString>> WriteSteps() {
    return {{WriteStep::Create, QStringLiteral("create")},
            {WriteStep::Write, QStringLiteral("write")},
            {WriteStep::Flush, QStringLiteral("flush")},
            {WriteStep::Rename, QStringLiteral("rename")}};
}

void AddWriteStepRows() {
    QTest::addColumn<WriteStep>("step");
    for (const auto& [step, name] : WriteSteps())
        QTest::newRow(qPrintable(name)) << step;
}

void AddEngineRows() {
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgres") << QStringLiteral("postgres");
}

namespace {

// The databases this test program made, dropped as it ends, whoever still holds them.
class ServerDatabases {
public:
    ServerDatabases() = default;
    ServerDatabases(const ServerDatabases&) = delete;
    ServerDatabases& operator=(const ServerDatabases&) = delete;
    ~ServerDatabases() {
        for (const QString& name : names_)
            RunPsql(TestServer(),
                    QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }
    QString Make() {
        QString name = QStringLiteral("essai_%1_%2")
                           .arg(QCoreApplication::applicationPid())
                           .arg(names_.size() + 1);
        RunPsql(TestServer(), QStringLiteral("CREATE DATABASE %1").arg(name));
        names_ << name;
        return name;
    }

private:
    QStringList names_;
};

} // namespace

QString TestServer() {
    const QString record = qEnvironmentVariable("PIVANES_TEST_SERVER");
    QFile file(record);
    if (record.isEmpty() || !file.open(QIODevice::ReadOnly))
        qFatal("No test server: PIVANES_TEST_SERVER names no record of tools/pg-test-cluster.sh "
               "(ctest starts one with the fixture pg_server).");
    return QStringLiteral("host=%1 user=postgres dbname=postgres")
        .arg(QString::fromUtf8(file.readAll()).trimmed());
}

QString FreshServerDatabase() {
    static ServerDatabases databases;
    return TestServer().replace(QStringLiteral("dbname=postgres"),
                                QStringLiteral("dbname=") + databases.Make());
}

QString RunPsql(const QString& connection, const QString& sql) {
    QProcess psql;
    psql.start(QStringLiteral("psql"),
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-At"),
                QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"),
                connection, QStringLiteral("-c"), sql});
    if (!psql.waitForFinished(60000) || psql.exitCode() != 0)
        qFatal("psql failed: %s", psql.readAllStandardError().constData());
    return QString::fromUtf8(psql.readAllStandardOutput()).trimmed();
}

// Each call writes a file of its own in the current folder, or makes a database of its own on
// the test server, which an import fills.
std::unique_ptr<Collection> FreshCollection(const QString& engine, const QList<Card>& cards) {
    if (engine == QLatin1String("postgres")) {
        std::unique_ptr<Collection> collection =
            Collection::Open(CollectionPlace::Server(FreshServerDatabase()));
        qsizetype next = 0;
        collection->Import([&cards, &next](StoredCard& card) {
            if (next == cards.size())
                return false;
            const Card& given = cards[next++];
            card = {given.Numero, given.Cate, given.Titre, given.Pivanes, 0};
            return true;
        });
        return collection;
    }
    if (engine != QLatin1String("sqlite"))
        qFatal("no engine named %s", qPrintable(engine));
    static int made = 0;
    const QString file = QStringLiteral("collection-%1.mdb").arg(++made);
    WriteCollection(cards, file);
    return Collection::OpenLocal(file);
}

void WriteCollection(const QList<Card>& cards, const QString& file) {
    WriteNewCollection(file, cards);
}

void WriteSyntheticCollection(int count, const QString& file) {
    WriteNewCollection(file, count, [](qint64 i) { return SyntheticCard(qint32(i + 1)); });
}

QList<Card> CardsIn(const QList<QPair<QString, int>>& countsByCode) {
    QList<Card> cards;
    for (const auto& [code, count] : countsByCode)
        for (int i = 1; i <= count; ++i) {
            const qint32 numero = qint32(cards.size()) + 1;
            cards.append({numero, code, QStringLiteral("%1 %2").arg(code).arg(numero),
                          QStringLiteral("Texte %1\r\nLigne 2\r\n").arg(numero)});
        }
    return cards;
}

QList<Card> StoredCards(Collection& collection) {
    QList<Card> stored;
    collection.EachCard([&stored](const StoredCard& card) {
        stored.append({card.numero, card.cate.value_or(QString()), card.titre.value_or(QString()),
                       card.pivanes.value_or(QString())});
    });
    return stored;
}

QList<Card> StoredCards(const QString& file) {
    return StoredCards(*Collection::OpenLocal(file));
}

QByteArray FileBytes(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

void WriteBytes(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
}

QString BuiltProgram(const char* pathFromTestFolder) {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QString::fromLocal8Bit(pathFromTestFolder));
}

QString RunSqliteShell(const QString& file, const QString& sql, const QStringList& options) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), QStringList(options) << file << sql);
    if (!shell.waitForFinished(60000) || shell.exitCode() != 0)
        qFatal("sqlite3 failed: %s", shell.readAllStandardError().constData());
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

QStringList IndexNames(const QString& file) {
    return RunSqliteShell(file,
                          QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' "
                                         "AND sql IS NOT NULL ORDER BY name"),
                          {QStringLiteral("-readonly")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
