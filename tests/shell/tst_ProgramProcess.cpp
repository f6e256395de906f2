// The real program as a process: answers that need no display, no display at all, and one
// program per data folder, with a second real process and a real SIGKILL.
#include "RealFaults.h"
#include "TestSupport.h"

#include "platform/FolderLock.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QProcess>
#include <csignal>

namespace {

struct Run {
    int exitCode = -1;
    bool crashed = true;
    QString out;
    QString err;
};

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    return environment;
}

QProcessEnvironment Offscreen() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

void Start(QProcess& process, const QStringList& arguments,
           const QProcessEnvironment& environment) {
    process.setProcessEnvironment(environment);
    process.start(BuiltProgram(PIVANES_PROGRAM), arguments);
    QVERIFY(process.waitForStarted());
}

// Runs the program to its end; a copy that does not end fails the test instead of hanging it.
Run RunProgram(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    Start(process, arguments, environment);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

qint64 Holder(const QString& folder) {
    QLockFile probe(QDir(folder).filePath(FolderLock::FileName()));
    qint64 pid = 0;
    QString host;
    QString application;
    return probe.getLockInfo(&pid, &host, &application) ? pid : 0;
}

// Waits, woken by every change in the folder, until this process holds the folder's lock.
bool HoldsTheFolder(QProcess& process, const QString& folder) {
    QFileSystemWatcher watcher({folder});
    const QString lockFile = QDir(folder).filePath(FolderLock::FileName());
    QSignalSpy folderChanged(&watcher, &QFileSystemWatcher::directoryChanged);
    QSignalSpy fileChanged(&watcher, &QFileSystemWatcher::fileChanged);
    for (int round = 0; round < 120; ++round) {
        if (QFileInfo::exists(lockFile))
            watcher.addPath(lockFile);
        if (Holder(folder) == process.processId())
            return true;
        if (process.state() == QProcess::NotRunning)
            return false;
        folderChanged.wait(500) || fileChanged.wait(1);
    }
    return false;
}

// Every file of a folder with its bytes and time of change.
QStringList Snapshot(const QString& folder) {
    QStringList entries;
    QDirIterator files(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(file.fileName(), file.lastModified().toString(Qt::ISODateWithMs),
                            QCryptographicHash::hash(FileBytes(file.filePath()),
                                                     QCryptographicHash::Sha1)
                                .toHex());
    }
    entries.sort();
    return entries;
}

void Kill(QProcess& process) {
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished();
}

} // namespace

class TestProgramProcess : public QObject {
    Q_OBJECT

private slots:
    void answersWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("errLines");
        const QString noDisplay =
            QStringLiteral("Pivanes ne peut pas s'ouvrir : aucun écran graphique");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Utilisation : pivanes"
                                << "" << 0;
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "Pivanes 5.0.2\n"
                                   << "" << 0;
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << ""
                                        << "Option inconnue : --bogus." << 2;
        QTest::newRow("missing folder") << QStringList{"absent"} << 1 << ""
                                        << "Le dossier « absent » n'existe pas" << 1;
        // One French sentence, and the user's data folder (in the test's folder) is not made.
        QTest::newRow("no display") << QStringList{"."} << 1 << "" << noDisplay << 1;
        QTest::newRow("no display, the user's data folder")
            << QStringList{} << 1 << "" << noDisplay << 1;
    }
    void answersWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, errLines);
        ProgramFixture fixture;
        QProcessEnvironment environment = WithoutDisplay();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), fixture.Path("donnees"));
        const Run run = RunProgram(arguments, environment);
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, exitCode);
        if (out.isEmpty())
            QCOMPARE(run.out, QString());
        else
            QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
        if (err.isEmpty())
            QCOMPARE(run.err, QString());
        else
            QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), errLines);
        QVERIFY2(QDir(fixture.Path()).isEmpty(), "nothing is written in the folder");
    }

    void searchesWithoutADisplay_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("accents and case") << "notes"
                                          << "ETE" << 0 << "1\tFSTAB\n3\tÉTÉ\n"
                                          << "2 fiches trouvées.";
        QTest::newRow("only punctuation") << "notes"
                                          << "\" *" << 0 << ""
                                          << "0 fiches trouvées.";
        QTest::newRow("no collection") << "vide"
                                       << "ete" << 1 << ""
                                       << "Pivane.mdb";
    }
    void searchesWithoutADisplay() {
        QFETCH(QString, folder);
        QFETCH(QString, keyword);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ProgramFixture fixture;
        QVERIFY(QDir().mkpath("notes") && QDir().mkpath("vide"));
        WriteCollection({{1, "WIN", "FSTAB", "Monter un disque à l'été"},
                         {2, "MAT", "CRONTAB", "tâches"},
                         {3, "WIN", "ÉTÉ", ""}},
                        "notes/Pivane.mdb");
        const Run run = RunProgram({folder, "--chercher", keyword}, WithoutDisplay());
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
    }

    void worksInTheUsersDataFolderByDefault() {
        ProgramFixture fixture;
        QProcessEnvironment environment = Offscreen();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), fixture.Path("donnees"));
        QProcess program;
        Start(program, {}, environment);
        const QString folder = fixture.Path("donnees/pivanes");
        QVERIFY(QDir().mkpath(folder)); // so that it can be watched before the program makes it
        QVERIFY(HoldsTheFolder(program, folder));
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/cwd").arg(program.processId())).symLinkTarget(),
                 folder);
        Kill(program);
    }

    void aSecondCopyOnTheSameFolderTouchesNothing() {
        ProgramFixture fixture;
        QDir().mkdir("notes");
        WriteCollection(CardsIn({{"WIN", 3}}), "notes/Pivane.mdb");
        WriteBytes("notes/Sauve.kor", "C:\\\r\n/\r\n01/01/2026\r\n");
        const QString folder = fixture.Path("notes");
        QProcess first;
        Start(first, {folder}, Offscreen());
        QVERIFY(HoldsTheFolder(first, folder));
        // A copy left open for hours keeps its folder all the same.
        QFile lockFile(QDir(folder).filePath(FolderLock::FileName()));
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(qint64{-3} * 3600),
                                     QFileDevice::FileModificationTime));
        lockFile.close();
        const QStringList before = Snapshot(folder);

        for (const QStringList& arguments :
             {QStringList{folder}, QStringList{"--dossier", "notes"}}) {
            const Run second = RunProgram(arguments, Offscreen());
            QVERIFY(!second.crashed);
            QCOMPARE(second.exitCode, 1);
            QVERIFY2(second.err.contains(QStringLiteral("Pivanes est déjà ouvert sur le dossier « "
                                                        "%1 » (processus %2). Rien n'a été modifié")
                                             .arg(folder)
                                             .arg(first.processId())),
                     qPrintable(second.err));
            QCOMPARE(Snapshot(folder), before);
        }
        QCOMPARE(first.state(), QProcess::Running);
        Kill(first);
    }

    // The cards can still be read where no lock file can be written; nothing can be written
    // there by any copy either.
    void aFolderWithoutRoomForTheLockStillOpens_data() { AddDiskFaultRows(); }
    void aFolderWithoutRoomForTheLockStillOpens() {
        QFETCH(DiskFault, fault);
        ProgramFixture fixture;
        ScratchVolume volume;
        SKIP_WITHOUT_VOLUME(volume);
        WriteCollection(CardsIn({{"WIN", 2}}), volume.Path("Pivane.mdb"));
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        const QStringList before = Snapshot(volume.Path());

        QProcess program;
        program.setReadChannel(QProcess::StandardError);
        Start(program, {volume.Path()}, Offscreen());
        QString said;
        while (!said.contains(QStringLiteral("n'en lancez pas un second")) &&
               program.waitForReadyRead(60000))
            said += QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Le verrou de Pivanes n'a pas pu être posé dans le "
                                              "dossier « %1 » (dossier en lecture seule ou disque "
                                              "plein) : Pivanes s'ouvre quand même")
                                   .arg(volume.Path())),
                 qPrintable(said));
        QCOMPARE(program.state(), QProcess::Running);
        QCOMPARE(Snapshot(volume.Path()), before);
        Kill(program);
    }

    void theLockOfAKilledCopyIsTakenOver() {
        ProgramFixture fixture;
        const QString folder = fixture.Path();
        QProcess killed;
        Start(killed, {folder}, Offscreen());
        QVERIFY(HoldsTheFolder(killed, folder));
        const qint64 dead = killed.processId();
        Kill(killed);
        QCOMPARE(Holder(folder), dead); // the dead copy's lock is still there

        QProcess next;
        Start(next, {folder}, Offscreen());
        QVERIFY(HoldsTheFolder(next, folder));
        const Run third = RunProgram({folder}, Offscreen());
        QCOMPARE(third.exitCode, 1);
        QVERIFY(third.err.contains(QStringLiteral("(processus %1)").arg(next.processId())));
        Kill(next);
    }
};

PIVANES_TEST_MAIN(TestProgramProcess)
#include "tst_ProgramProcess.moc"
