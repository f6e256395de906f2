#pragma once

#include "platform/Guard.h"
#include "store/Card.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

class Form;
class QAction;

// Message boxes, the program's end and the clock are test seams; Qt runs without a display.
void PrepareTestEnvironment();
void EnableTestSeams();

#define PIVANES_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                              \
        PrepareTestEnvironment();                                                                  \
        PivanesApplication app(argc, argv);                                                        \
        EnableTestSeams();                                                                         \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// Each test runs in a fresh temporary folder that is the current directory, with the program's
// shared state as at start; everything is put back when it ends.
class ProgramFixture {
public:
    ProgramFixture();
    ProgramFixture(const ProgramFixture&) = delete;
    ProgramFixture& operator=(const ProgramFixture&) = delete;
    ~ProgramFixture();

    QString Path(const QString& name = QString()) const;

private:
    QTemporaryDir folder_;
    QString previous_;
};

void ResetProgramState();

// Runs the unloads that windows asked for (they are deferred deletes).
void ProcessUnloads();

// "Pivane.mdb" (or another file) with these cards; line ends of texts are written as given.
void WriteCollection(const QList<Card>& cards, const QString& file = QStringLiteral("Pivane.mdb"));
void WriteSyntheticCollection(int count, const QString& file = QStringLiteral("Pivane.mdb"));
// Cards numbered from 1 in the given categories, titled "<CODE> <n>".
QList<Card> CardsIn(const QList<QPair<QString, int>>& countsByCode);

// Types text key by key; QTest::keyClicks knows only ASCII, and accented letters are typed too.
void TypeText(QWidget* widget, const QString& text);

inline bool operator==(const Card& a, const Card& b) {
    return a.Numero == b.Numero && a.Cate == b.Cate && a.Titre == b.Titre && a.Pivanes == b.Pivanes;
}
// Every card of a database file, read through a connection of its own, in ascending number.
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

QAction* MenuItem(const Form& form, const char* name);
QStringList ShownMessages();
