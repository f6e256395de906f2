// Times the conversion of a Jet (Access) collection beside the least work that reading it and
// writing plain SQLite needs, and prints a Markdown section for docs/PERFORMANCE.md.
//
//   pivanes-bench-jet [--cards 100000] [--reps 3]
#include "JetWriter.h"
#include "Measuring.h"
#include "SyntheticCards.h"
#include "convert/Isolated.h"
#include "convert/JetConversion.h"
#include "convert/JetSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <sqlite3.h>
#include <vector>

namespace {

// Every card read through the same reader and inserted in one transaction: no second reading,
// no card-by-card comparison, no integrity check, no flush, no rename.
void PlainCopy(const QString& jetFile, const QString& target) {
    sqlite3* db = nullptr;
    sqlite3_open(target.toUtf8().constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA synchronous = OFF; CREATE TABLE TrucPivane (Numero INTEGER PRIMARY KEY, "
                 "Cate TEXT, Titre TEXT, Pivanes TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO TrucPivane VALUES (?1, ?2, ?3, ?4)", -1, &insert, nullptr);
    JetSource source(jetFile);
    JetCardRow row;
    while (source.Next(row)) {
        sqlite3_bind_int64(insert, 1, row.Numero);
        const std::optional<QString>* texts[] = {&row.Cate, &row.Titre, &row.Pivanes};
        for (int i = 0; i < 3; ++i) {
            if (*texts[i]) {
                const QByteArray utf8 = (*texts[i])->toUtf8();
                sqlite3_bind_text(insert, i + 2, utf8.constData(), int(utf8.size()),
                                  SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_null(insert, i + 2);
            }
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> served = Isolated::ServeIfAsked(argc, argv))
        return *served;
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    int cards = 100000;
    int reps = 3;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--cards"))
            cards = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--reps"))
            reps = std::max(1, args[i + 1].toInt());
    }
    QTemporaryDir folder;
    const QString jet = folder.filePath(QStringLiteral("Jet.mdb"));
    const QString file = folder.filePath(QStringLiteral("Pivane.mdb"));
    {
        JetWriter writer(JetWriter::Version::Jet4);
        for (qint32 numero = 1; numero <= cards; ++numero) {
            const Card card = SyntheticCard(numero);
            writer.Add({static_cast<qint32>(card.Numero), card.Cate, card.Titre, card.Pivanes});
        }
        writer.Write(jet);
    }
    const qint64 jetBytes = QFileInfo(jet).size();
    std::vector<double> program, plain;
    for (int run = 0; run < reps; ++run) {
        QFile::remove(file);
        QFile::remove(folder.filePath(QStringLiteral("Pivane-jet.mdb")));
        QFile::copy(jet, file);
        QElapsedTimer timer;
        timer.start();
        JetConversion::Convert(file);
        program.push_back(double(timer.nsecsElapsed()) / 1e6);

        QFile::remove(folder.filePath(QStringLiteral("plain.db")));
        timer.restart();
        PlainCopy(jet, folder.filePath(QStringLiteral("plain.db")));
        plain.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const double programMs = Measuring::Median(program), plainMs = Measuring::Median(plain);
    out << "\n## Conversion of a Jet collection\n\n"
        << "`pivanes-bench-jet`: a Jet 4 file of made-up cards (" << jetBytes / 1048576
        << " MiB) converted by the program (`pivanes --convertir`), beside the same cards read "
           "through the same reader and inserted into plain SQLite in one transaction (median of "
        << reps
        << " runs, milliseconds). The program also reads the Jet file a second time and "
           "compares every card, checks the integrity of the new file, flushes it to the disk, "
           "and does it all in a child process.\n\n"
        << "| Command | Cards | Program (ms) | Plain SQLite (ms) | Ratio |\n"
        << "|---|---:|---:|---:|---:|\n"
        << "| Conversion Jet 4 → collection | " << cards << " | "
        << QString::number(programMs, 'f', 1) << " | " << QString::number(plainMs, 'f', 1) << " | "
        << QString::number(programMs / plainMs, 'f', 2) << " |\n";
    return 0;
}
