#pragma once

#include "EngineFakes.h"
#include "convert/Isolated.h"
#include "store/Card.h"
#include "store/Collection.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// Runs the test object in an application of the class given: `before` runs first, `after` once
// the application is there. A test started again to run an isolated work runs that instead.
#define PIVANES_TEST_MAIN_IN(TestObject, Application, before, after)                               \
    int main(int argc, char** argv) {                                                              \
        if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))                  \
            return *served;                                                                        \
        before;                                                                                    \
        Application app(argc, argv);                                                               \
        after;                                                                                     \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
// The engine's tests run without a display and without widgets.
#define PIVANES_ENGINE_TEST_MAIN(TestObject)                                                       \
    PIVANES_TEST_MAIN_IN(TestObject, QCoreApplication, (void)0, (void)0)

// A fresh temporary folder that is the current directory while the test runs.
class TemporaryFolder {
public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    QString Path(const QString& name = QString()) const;

private:
    QTemporaryDir folder_;
    QString previous_;
};

// Every step where a writer meets the disk, with its name for a test row; and the column "step"
// alone, one test row per step.
QList<QPair<WriteStep, QString>> WriteSteps();
void AddWriteStepRows();

// The engines the collection's behaviour is checked on, one global test row each (column
// "engine"), and a fresh collection holding cards on one of them. Collection::Open(Place())
// opens it again, as another program would.
void AddEngineRows();
std::unique_ptr<Collection> FreshCollection(const QString& engine, const QList<Card>& cards);

// The throw-away PostgreSQL cluster that the test command starts (tools/pg-test-cluster.sh), as
// a connection string to its database `postgres`; the test fails when there is none. A fresh,
// empty database of its own on it, dropped when the test program ends.
QString TestServer();
QString FreshServerDatabase();
// Runs SQL through psql, another program as an administrator's would be; answers what it
// printed, one line per row.
QString RunPsql(const QString& connection, const QString& sql);

// "Pivane.mdb" (or another file) with these cards; line ends of texts are written as given.
void WriteCollection(const QList<Card>& cards, const QString& file = QStringLiteral("Pivane.mdb"));
void WriteSyntheticCollection(int count, const QString& file = QStringLiteral("Pivane.mdb"));
// Cards numbered from 1 in the given categories, titled "<CODE> <n>".
QList<Card> CardsIn(const QList<QPair<QString, int>>& countsByCode);

inline bool operator==(const Card& a, const Card& b) {
    return a.Numero == b.Numero && a.Cate == b.Cate && a.Titre == b.Titre && a.Pivanes == b.Pivanes;
}
// Every card of a collection, in ascending number; a field without value reads empty.
QList<Card> StoredCards(Collection& collection);
QList<Card> StoredCards(const QString& file = QStringLiteral("Pivane.mdb"));

QByteArray FileBytes(const QString& file);
void WriteBytes(const QString& file, const QByteArray& bytes);

// A program of the build, from its path relative to this test's own folder.
QString BuiltProgram(const char* pathFromTestFolder);

// Runs SQL through the sqlite3 shell, another program as a user's script would be; answers
// what it printed.
QString RunSqliteShell(const QString& file, const QString& sql,
                       const QStringList& options = QStringList());
// The names of the indexes of a database file, in order.
QStringList IndexNames(const QString& file = QStringLiteral("Pivane.mdb"));
