// Changes card titles through the program's store until it is killed, dropping the title index's
// triggers now and then so that the next write rebuilds the index.
//   title_writer_child FOLDER
#include "store/StoreError.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/SqliteCollection.h"

#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: title_writer_child FOLDER\n", stderr);
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    try {
        SqliteCollection collection(QStringLiteral("Pivane.mdb"));
        for (int round = 1;; ++round) {
            const qint64 numero = 1 + round % 40;
            collection.Update(*collection.ReadCard(numero),
                              {{}, QStringLiteral("TITRE %1 ÉCRIT").arg(round), {}});
            if (round % 5 == 0)
                collection.connection().Exec("DROP TRIGGER TrucPivane_Titres_Modif");
            std::fputs("done\n", stdout);
            std::fflush(stdout);
        }
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
}
