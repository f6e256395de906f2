// Files replaced whole: on a real full or read-only disk the old file keeps its bytes and the
// failure says why; a folder, a pipe or a device under the name is refused without waiting.
#include "EngineTestSupport.h"
#include "RealFaults.h"

#include "platform/FileWriter.h"
#include "platform/UserError.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t TypeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// Replaces target by a copy of source, or by a few bytes without one; answers the failure.
std::optional<UserError> Replace(const QString& target, const QString& source,
                                 FileWriter::Flush flush) {
    try {
        if (source.isEmpty()) {
            WriteFileWhole(target, "750\r\n300\r\n", flush);
        } else {
            FileWriter file(target);
            file.CopyFrom(source);
            file.Commit(flush);
        }
    } catch (const UserError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

class TestFileWriter : public QObject {
    Q_OBJECT

private slots:
    void replacesWholeThroughALinkKeepingTheMode_data() {
        QTest::addColumn<FileWriter::Flush>("flush");
        QTest::newRow("flushed") << FileWriter::Flush::ToDisk;
        QTest::newRow("not flushed") << FileWriter::Flush::NotNeeded;
    }
    void replacesWholeThroughALinkKeepingTheMode() {
        QFETCH(FileWriter::Flush, flush);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("Sauve.kor"));
        const QString link = folder.filePath(QStringLiteral("lien"));
        QCOMPARE(ReadRegularFile(target, 100), std::nullopt);
        WriteBytes(target, QByteArray(10000, 'o'));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::ReadUser |
                                                  QFile::WriteUser));
        const QFile::Permissions mode = QFile::permissions(target);
        QVERIFY(QFile::link(target, link));

        WriteFileWhole(link, "new\r\n", flush);

        QCOMPARE(ReadRegularFile(link, 100), QByteArray("new\r\n"));
        QCOMPARE(QFile::permissions(target), mode);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(Entries(folder.path()), QStringList({"Sauve.kor", "lien"}));
    }

    void failedWriteKeepsTheOldFile_data() {
        QTest::addColumn<DiskFault>("fault");
        QTest::addColumn<bool>("copy");
        QTest::newRow("full disk, bytes") << DiskFault::Full << false;
        QTest::newRow("full disk, copy") << DiskFault::Full << true;
        QTest::newRow("read-only disk, bytes") << DiskFault::ReadOnly << false;
        QTest::newRow("read-only disk, copy") << DiskFault::ReadOnly << true;
    }
    void failedWriteKeepsTheOldFile() {
        QFETCH(DiskFault, fault);
        QFETCH(bool, copy);
        ScratchVolume volume;
        SKIP_WITHOUT_VOLUME(volume);
        QTemporaryDir elsewhere;
        const QString source = elsewhere.filePath(QStringLiteral("source"));
        WriteBytes(source, QByteArray(20000, 'n'));
        const QString target = volume.Path(QStringLiteral("Liste"));
        const QByteArray old("1200\r\n901\r\n");
        WriteBytes(target, old);
        const QStringList before = Entries(volume.Path());
        QVERIFY2(volume.Break(fault), qPrintable(volume.WhyNot()));
        const QStringList present = Entries(volume.Path());

        const std::optional<UserError> failure =
            Replace(target, copy ? source : QString(), FileWriter::Flush::ToDisk);

        QVERIFY2(failure, "reported as written");
        QCOMPARE(failure->reason(), UserError::SystemReason(ErrorNumberOf(fault)));
        QVERIFY(failure->sentence().contains(target));
        QVERIFY(failure->text().startsWith(failure->sentence()));
        QCOMPARE(FileBytes(target), old);
        QCOMPARE(Entries(volume.Path()), present);
        QVERIFY(present.size() >= before.size());
    }

    // The same at every step where the disk can fail, without a broken disk.
    void failureAtEachStepKeepsTheOldFile_data() {
        QTest::addColumn<WriteStep>("step");
        QTest::addColumn<QString>("way");
        for (const auto& [step, name] : WriteSteps())
            for (const char* way : {"flushed", "not flushed", "copy"})
                QTest::newRow(qPrintable(name + QLatin1String(", ") + QLatin1String(way)))
                    << step << QString::fromLatin1(way);
    }
    void failureAtEachStepKeepsTheOldFile() {
        QFETCH(WriteStep, step);
        QFETCH(QString, way);
        QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("source"));
        WriteBytes(source, QByteArray(300000, 'n'));
        const QString target = folder.filePath(QStringLiteral("Liste"));
        const QByteArray old("1200\r\n901\r\n");
        WriteBytes(target, old);
        FailingWrites fault(step, folder.path());

        const std::optional<UserError> failure =
            Replace(target, way == QLatin1String("copy") ? source : QString(),
                    way == QLatin1String("not flushed") ? FileWriter::Flush::NotNeeded
                                                        : FileWriter::Flush::ToDisk);

        QVERIFY(fault.Struck());
        QVERIFY2(failure, "reported as written");
        QCOMPARE(failure->reason(), UserError::SystemReason(FailingWrites::ErrorNumberOf(step)));
        QVERIFY(failure->sentence().contains(target));
        QCOMPARE(FileBytes(target), old);
        QCOMPARE(Entries(folder.path()), QStringList({"Liste", "source"}));
    }

    void onlyRegularFilesAreReadOrReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("device") << "device";
    }
    void onlyRegularFilesAreReadOrReplaced() {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        const QString name = folder.filePath(QStringLiteral("Liste"));
        std::optional<WatchedPipe> pipe;
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(name));
        } else if (kind == QLatin1String("pipe")) {
            pipe.emplace(name);
            QVERIFY(pipe->Made());
        } else if (::mknod(QFile::encodeName(name).constData(), S_IFCHR | 0666, makedev(1, 3)) !=
                   0) {
            QSKIP("making a device node needs root");
        }
        const mode_t type = TypeOf(name);
        const QString target = folder.filePath(QStringLiteral("copie"));

        const std::function<void()> uses[] = {
            [&] { ReadRegularFile(name, 100); },
            [&] { WriteFileWhole(name, "750\r\n300\r\n"); },
            [&] {
                FileWriter file(target);
                file.CopyFrom(name);
                file.Commit();
            },
        };
        for (const auto& use : uses) {
            try {
                use();
                QFAIL("used as a regular file");
            } catch (const UserError& error) {
                QVERIFY(error.sentence().contains(name));
                QVERIFY2(error.reason().contains(QStringLiteral("pas un fichier ordinaire")),
                         qPrintable(error.text()));
            }
        }
        QCOMPARE(TypeOf(name), type);
        QCOMPARE(Entries(folder.path()), QStringList{QStringLiteral("Liste")});
        if (pipe)
            QVERIFY2(!pipe->Released(), "blocked on the pipe");
    }
};

PIVANES_ENGINE_TEST_MAIN(TestFileWriter)
#include "tst_FileWriter.moc"
