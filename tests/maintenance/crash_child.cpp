// The other program of the crash and two-program tests. Each mode repeats its work until its
// standard input is closed (or ROUNDS times), reporting each round on its standard output with
// the monotonic clock in microseconds, which both programs share:
//   crash_child compact FOLDER [ROUNDS]          compacts FOLDER/Pivane.mdb     "done START END"
//   crash_child restore BACKUP FOLDER [ROUNDS]   restores BACKUP/PIVANE.MDB     "done START END"
//   crash_child save FOLDER FIRST                adds cards titled "SAVED FIRST", "SAVED FIRST + 1"
//                                                 and so on              "saved NUMERO START FIRST"
//   crash_child bursts FOLDER FIRST COUNT        the same, COUNT cards for each line read
// A round refused because the other program holds the file is tried again.
#include "maintenance/Compaction.h"
#include "maintenance/SafeFiles.h"
#include "platform/UserError.h"
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QString>
#include <cstdio>
#include <ctime>
#include <functional>
#include <poll.h>

namespace {

long long Microseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000LL + now.tv_nsec / 1000;
}

bool StopAsked() {
    pollfd input{0, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0;
}

template <typename... Numbers> void Report(const char* format, Numbers... numbers) {
    std::printf(format, numbers...);
    std::fflush(stdout);
}

// Tries again as long as the other program holds the file.
void UntilNotBusy(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return;
        } catch (const StoreError& error) {
            if (error.kind() != StoreError::Kind::Busy)
                throw;
        }
    }
}

void Repeat(long long rounds, const std::function<void()>& round) {
    for (long long done = 0; done != rounds && !StopAsked(); ++done) {
        const long long start = Microseconds();
        UntilNotBusy(round);
        Report("done %lld %lld\n", start, Microseconds());
    }
}

// As "Ajouter Une Fiche" saves a card: under the number the collection gives it.
void SaveCard(Collection& cards, long long serial) {
    const long long start = Microseconds();
    long long numero = 0;
    UntilNotBusy([&] {
        numero = cards.Add({QStringLiteral("WIN"), QStringLiteral("SAVED %1").arg(serial),
                            QStringLiteral("Saved while the other program works.\r\n")});
    });
    Report("saved %lld %lld %lld\n", numero, start, serial);
}

std::unique_ptr<Collection> OpenCards(const QString& file) {
    std::unique_ptr<Collection> cards;
    UntilNotBusy([&] { cards = Collection::OpenLocal(file); });
    return cards;
}

void SaveCards(const QString& file, qint32 first) {
    const std::unique_ptr<Collection> cards = OpenCards(file);
    for (long long serial = first; !StopAsked(); ++serial)
        SaveCard(*cards, serial);
}

// Saves that leave the file free between bursts, so that the other program's reads, which a
// writer at work without a pause can hold off for long, get their turn.
void SaveBursts(const QString& file, qint32 first, int count) {
    const std::unique_ptr<Collection> cards = OpenCards(file);
    long long serial = first;
    char line[16];
    while (std::fgets(line, sizeof line, stdin))
        for (int saved = 0; saved < count; ++saved)
            SaveCard(*cards, serial++);
}

QString Argument(char** argv, int index) {
    return QString::fromLocal8Bit(argv[index]);
}

long long Rounds(int argc, char** argv, int index) {
    return argc > index ? Argument(argv, index).toLongLong() : -1;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? Argument(argv, 1) : QString();
    // The parent starts counting from here, whatever the start-up took.
    std::fputs("start\n", stdout);
    std::fflush(stdout);
    try {
        if (mode == QLatin1String("compact") && argc >= 3) {
            const QString file = Argument(argv, 2) + QStringLiteral("/Pivane.mdb");
            Repeat(Rounds(argc, argv, 3), [&] { CompactDatabaseFile(file); });
            return 0;
        }
        if (mode == QLatin1String("restore") && argc >= 4) {
            const QString backup = Argument(argv, 2) + QStringLiteral("/PIVANE.MDB");
            const QString live = Argument(argv, 3) + QStringLiteral("/Pivane.mdb");
            Repeat(Rounds(argc, argv, 4), [&] {
                // As the backup window does: the backup is checked whole before it is used.
                Collection::VerifiedCardCount(backup);
                SafeFiles::RestoreDatabase(backup, live);
            });
            return 0;
        }
        if (mode == QLatin1String("bursts") && argc == 5) {
            SaveBursts(Argument(argv, 2) + QStringLiteral("/Pivane.mdb"), Argument(argv, 3).toInt(),
                       Argument(argv, 4).toInt());
            return 0;
        }
        if (mode == QLatin1String("save") && argc == 4) {
            SaveCards(Argument(argv, 2) + QStringLiteral("/Pivane.mdb"), Argument(argv, 3).toInt());
            return 0;
        }
    } catch (const UserError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    std::fputs("usage: crash_child compact FOLDER [ROUNDS] | restore BACKUP FOLDER [ROUNDS] | "
               "save FOLDER FIRST | bursts FOLDER FIRST COUNT\n",
               stderr);
    return 2;
}
