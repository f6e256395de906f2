// Changes card titles through the program's record set until it is killed, dropping the title
// index's triggers now and then so that the next write rebuilds the index.
//   title_writer_child FOLDER
#include "store/CardStore.h"
#include "store/Connection.h"
#include "store/Fields.h"
#include "store/Queries.h"
#include "store/StoreError.h"

#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: title_writer_child FOLDER\n", stderr);
        return 2;
    }
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    try {
        Store().OpenDatabase(QStringLiteral("Pivane.mdb"));
        for (int round = 1;; ++round) {
            Recordset& cards = Store().OpenRecordset(Queries::AllCards());
            cards.MoveFirst();
            for (int step = round % 40; step > 0; --step)
                cards.MoveNext();
            cards.Edit();
            cards.SetField(Field::Titre, QStringLiteral("TITRE %1 ÉCRIT").arg(round));
            cards.Update();
            if (round % 5 == 0)
                Store().database().connection().Exec("DROP TRIGGER TrucPivane_Titres_Modif");
            std::fputs("done\n", stdout);
            std::fflush(stdout);
        }
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.text()));
        return 1;
    }
}
