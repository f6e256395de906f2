// Another program on the same server collection, for the tests that need a second process.
//   server_child CONNEXION ajouter N MARQUE   adds N cards titled "MARQUE i", one at a time
//   server_child CONNEXION modifier NUMERO TEXTE
//                reads the card, says "lue", waits for a line, then saves TEXTE as its text
//   server_child CONNEXION importer N          imports N cards, says "en cours" halfway through
//                                              the copy and waits there to be killed
// Prints what the store said and exits with 1 when it refused.
#include "store/Collection.h"
#include "store/StoreError.h"

#include <QThread>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Say(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Add(Collection& collection, int count, const QString& mark) {
    for (int i = 1; i <= count; ++i)
        collection.Add({QStringLiteral("WIN"), QStringLiteral("%1 %2").arg(mark).arg(i), {}});
}

void Edit(Collection& collection, qint64 numero, const QString& text) {
    const StoredCard read = *collection.ReadCard(numero);
    Say("lue");
    std::string go;
    std::getline(std::cin, go);
    collection.Update(read, {{}, {}, text});
    Say("enregistrée");
}

void ImportAndWait(Collection& collection, int count) {
    int given = 0;
    collection.Import([&](StoredCard& card) {
        if (given == count / 2) {
            Say("en cours");
            QThread::sleep(600);
        }
        if (given == count)
            return false;
        ++given;
        card = {given, QStringLiteral("WIN"), QStringLiteral("IMPORTÉE %1").arg(given),
                QString(1000, QLatin1Char('x')), 0};
        return true;
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fputs("usage: server_child CONNEXION ajouter|modifier|importer ...\n", stderr);
        return 2;
    }
    const QString command = QString::fromLocal8Bit(argv[2]);
    const QString third = QString::fromLocal8Bit(argv[3]);
    try {
        const std::unique_ptr<Collection> collection =
            Collection::Open(CollectionPlace::Server(QString::fromLocal8Bit(argv[1])));
        if (command == QLatin1String("ajouter") && argc == 5)
            Add(*collection, third.toInt(), QString::fromLocal8Bit(argv[4]));
        else if (command == QLatin1String("modifier") && argc == 5)
            Edit(*collection, third.toLongLong(), QString::fromLocal8Bit(argv[4]));
        else if (command == QLatin1String("importer"))
            ImportAndWait(*collection, third.toInt());
        else
            return 2;
    } catch (const StoreError& error) {
        Say(qPrintable(error.text()));
        return 1;
    }
    return 0;
}
