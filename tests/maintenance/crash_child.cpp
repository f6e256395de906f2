// Runs compaction or restore of one database over and over until it is killed.
//   crash_child compact FOLDER          compacts FOLDER/Pivane.mdb through FOLDER/temp.MDB
//   crash_child restore BACKUP FOLDER   copies BACKUP/PIVANE.MDB over FOLDER/Pivane.mdb
#include "maintenance/Compaction.h"
#include "maintenance/SafeFiles.h"
#include "platform/UserError.h"

#include <QString>
#include <cstdio>

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    // The parent starts counting from here, whatever the start-up took.
    std::fputs("start\n", stdout);
    std::fflush(stdout);
    try {
        if (mode == QLatin1String("compact") && argc == 3) {
            const QString folder = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
            for (;;) {
                CompactDatabaseFile(folder + "Pivane.mdb", folder + "temp.MDB");
                std::fputs("done\n", stdout);
                std::fflush(stdout);
            }
        }
        if (mode == QLatin1String("restore") && argc == 4) {
            const QString backup = QString::fromLocal8Bit(argv[2]) + QLatin1Char('/');
            const QString folder = QString::fromLocal8Bit(argv[3]) + QLatin1Char('/');
            for (;;) {
                SafeFiles::CopyFile(backup + "PIVANE.MDB", folder + "Pivane.mdb",
                                    SafeFiles::Check::BytesAndDatabase);
                std::fputs("done\n", stdout);
                std::fflush(stdout);
            }
        }
    } catch (const UserError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
    std::fputs("usage: crash_child compact FOLDER | restore BACKUP FOLDER\n", stderr);
    return 2;
}
