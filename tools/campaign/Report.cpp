#include "Report.h"

#include "ReturnKills.h"

#include <QDateTime>
#include <QSysInfo>
#include <QTextStream>
#include <sqlite3.h>

namespace {

QString Row(const QString& what, qint64 value) {
    return QStringLiteral("| %1 | %2 |\n").arg(what).arg(value);
}

QString Faults(int count) {
    return count == 0 ? QStringLiteral("0") : QStringLiteral("**%1**").arg(count);
}

} // namespace

QString ReliabilityReport(const Figures& figures, const ReportContext& context) {
    QString page;
    QTextStream out(&page);
    out << "# Reliability\n\n"
        << "Figures from `bash tools/campaign.sh` (the program `pivanes-campaign`) on "
        << QSysInfo::prettyProductName() << ", SQLite " << sqlite3_libversion() << ", "
        << QDateTime::currentDateTime().toString(Qt::ISODate)
        << (context.commit.isEmpty() ? "" : ", commit ") << context.commit << ", "
        << (context.sanitized ? "built with AddressSanitizer and UndefinedBehaviorSanitizer"
                              : "built without sanitizers")
        << ", seed " << context.seed << ".\n\n"
        << "Command: `" << context.command << "`\n\n";

    out << "## Summary\n\n| Figure | Count |\n|---|---:|\n"
        << Row(QStringLiteral("Kills (SIGKILL)"), figures.kills)
        << Row(QStringLiteral("Cards checked byte for byte"), figures.cardsChecked)
        << "| Crashes | " << Faults(figures.crashes) << " |\n"
        << "| Hangs | " << Faults(figures.hangs) << " |\n"
        << "| Sanitizer reports | " << Faults(figures.sanitizerReports) << " |\n"
        << Row(QStringLiteral("Bad files opened"), figures.filesOpened)
        << "| Files changed by opening | " << Faults(figures.filesChangedByOpening) << " |\n"
        << "| Refusals without a French message | " << Faults(figures.filesWithoutFrenchMessage)
        << " |\n"
        << "| Data lost (see below) | " << Faults(figures.DataLost()) << " |\n\n";

    out << "Data lost counts every database found damaged (" << figures.damagedDatabases
        << "), card lost (" << figures.cardsLost << "), card changed or from nowhere ("
        << figures.cardsChanged << "), marker or page-state file neither old nor new ("
        << figures.smallFilesPartial << ") and save reported done but gone (" << figures.savesLost
        << ").\n\n";

    out << "## Kills during writes\n\n"
        << "Each run starts from a fresh data folder whose old and new contents differ (other "
           "cards, "
           "another backup, another marker), starts the command in a child process and kills it "
           "with SIGKILL after a random delay, drawn up to 1.25 times the command's measured "
           "duration. Afterwards the database must pass `PRAGMA integrity_check` and hold, byte "
           "for "
           "byte, exactly the cards before the command or after it (every write the child had "
           "reported done included), and the marker \"Sauve.kor\" and page-state file \"Liste\" "
           "must be whole, old or new.\n\n"
        << "| Command | Kills |\n|---|---:|\n";
    for (const auto& [operation, count] : figures.killsByOperation)
        out << "| " << operation << " | " << count << " |\n";
    out << "\n"
        << figures.killsDuringOperation << " of the " << figures.kills
        << " kills came before the command had finished; the others checked the finished result. "
        << figures.cardsChecked << " cards and " << figures.smallFilesChecked
        << " small files were compared in all. Time: " << qRound(context.killSeconds) << " s.\n\n"
        << "The commands run the program's own code: the new-card and card-editor writes through "
           "the collection (`Add`, `Update`), \"Compression de Base\" of the main window, "
           "and the backup window's \"Ecrire la sauvegarde\" and \"Lire la sauvegarde\" "
           "(offscreen, "
           "message boxes recorded), and the grid's page-state writer.\n\n";

    out << "## Bad files\n\n"
        << "Each file is put in an empty data folder and opened by the program's own reading path "
           "in a child process with a time limit: the main window's start on \"Pivane.mdb\" "
           "followed by all cards, every step of the viewer and a category; the backup window's "
           "reading of \"Sauve.kor\"; the grid's reading of \"Liste\". The child must end normally "
           "without a sanitizer report; a database it refuses must come with a message in French; "
           "the file's bytes, size and times must be as before.\n\n"
        << "| File | Opened |\n|---|---:|\n";
    for (const auto& [kind, count] : figures.filesByKind)
        out << "| " << kind << " | " << count << " |\n";
    out << "\nKinds: truncated, flipped bytes, zeroed or random pages, header fields out of range, "
           "wrong schemas (missing or extra columns, a view, a table without row ids, a broken "
           "schema "
           "text, other page sizes and encodings, WAL mode), NULLs, numbers of 2^31 and beyond, "
           "texts of 1 MB, invalid UTF-8, random and foreign files, and special files (FIFO, "
           "folder, socket, links to nowhere, to a folder, to /dev/zero, /dev/null and "
           "/dev/urandom). "
        << figures.filesRefused << " files were refused. A refused marker or page-state file is "
        << "treated by the program as missing, as the windows do, without a message. "
        << figures.sideFilesLeft << " openings left another file beside the opened one. Time: "
        << qRound(context.fileSeconds) << " s.\n\n";

    out << "## Two processes on one folder\n\n"
        << "One child saves cards in a loop through the collection while another runs "
           "\"Compression "
           "de Base\" (even rounds) or a restore from a backup (odd rounds) several times, as a "
           "second copy of the program or a script would. Afterwards the database must pass the "
           "integrity check and hold every card the saver reported done (after a restore: every "
           "save reported done after the last restore finished, and the backup's cards).\n\n"
        << "| Figure | Count |\n|---|---:|\n"
        << Row(QStringLiteral("Rounds"), figures.rounds)
        << Row(QStringLiteral("Saves reported done"), figures.savesDone)
        << Row(QStringLiteral("Saves that had to be there, checked"), figures.savesChecked)
        << Row(QStringLiteral("Saves refused with a message"), figures.savesRefused)
        << Row(QStringLiteral("Compactions and restores done"), figures.otherCommandsDone)
        << Row(QStringLiteral("Compactions and restores refused"), figures.otherCommandsRefused)
        << "| Saves reported done but gone | " << Faults(figures.savesLost) << " |\n\n"
        << "Time: " << qRound(context.twoProcessSeconds) << " s.\n\n";

    out << "## Kills during the return of a local copy\n\n"
        << "Each round makes a collection on a throw-away PostgreSQL cluster, a local copy of it, "
           "and changes on the copy as if away from the server (adds, edits, trashes, put backs), "
           "while another program edits, trashes and empties the trash on the server. A child "
           "process then sends the copy's changes back and is killed with SIGKILL after a random "
           "delay, "
        << QString::number(ReturnSettings().killsPerRound)
        << " times, then runs to its end. Afterwards every text typed away must be on the "
           "server exactly once, and the copy must hold the server's cards and trash byte for "
           "byte.\n\n"
        << "| Figure | Count |\n|---|---:|\n"
        << Row(QStringLiteral("Rounds"), figures.returnRounds)
        << Row(QStringLiteral("Kills"), figures.returnKills)
        << Row(QStringLiteral("Kills before the return had finished"), figures.returnKillsDuring)
        << "\n"
        << "Time: " << qRound(context.returnSeconds) << " s.\n\n";

    out << "## Faults found\n\n";
    if (figures.findings.isEmpty())
        out << "None.\n\n";
    for (const QString& finding : figures.findings.mid(0, 200))
        out << "- " << QString(finding).replace(QLatin1Char('|'), QLatin1Char('/')) << "\n";
    if (figures.findings.size() > 200)
        out << "- … and " << figures.findings.size() - 200 << " more.\n";
    if (!figures.findings.isEmpty())
        out << "\n";

    out << "## Running it again\n\n"
        << "    bash tools/campaign.sh            # the whole campaign under AddressSanitizer, "
           "writes this page\n"
        << "    bash tools/campaign.sh --short    # about 50 kills, 50 files, 2 rounds\n\n"
        << "Each fault above ends with what replays it, for example "
           "`build-asan/tools/pivanes-campaign --replay restore:123456:2500` (command, seed, delay "
           "in "
           "microseconds), `--seed S --file N` (one bad file) or `--seed S --round N` (one round "
           "of "
           "the two-process test). Every kill run is also logged with its seed and delay in "
           "`kills.log` of the work folder (`--work DIR`, kept when given). A shorter campaign "
           "(50 kills, 50 files, 2 rounds) runs with the tests as `campaign_short`.\n";
    return page;
}
