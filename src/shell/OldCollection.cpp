#include "shell/OldCollection.h"

#include "convert/JetConversion.h"
#include "platform/MessageBox.h"
#include "platform/Worker.h"
#include "shell/ProgressDialog.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace {

// Below this, the conversion is over before a progress bar could be read.
constexpr qint64 kProgressFrom = 2000;

QString Question(const QString& fileName, qint64 cards) {
    return QStringLiteral("Le fichier « %1 » est au format Jet (Access) : c'est une collection "
                          "de l'ancienne version du programme. Elle contient %2 fiche%3.\n\n"
                          "La convertir au format de cette version ? L'original sera gardé tel "
                          "quel à côté, sous le nom « %4 ».\n\n"
                          "Non : rien n'est modifié, et la collection reste fermée.")
        .arg(QFileInfo(fileName).fileName())
        .arg(cards)
        .arg(cards > 1 ? QStringLiteral("s") : QString())
        .arg(QFileInfo(JetConversion::KeptName(fileName)).fileName());
}

// A long conversion runs on the worker while its progress dialog waits for the end; a short one
// is over before a dialog could be read. A failure is told as it ends.
bool Convert(const QString& fileName, qint64 cards, Worker& worker) {
    if (cards < kProgressFrom) {
        JetConversion::Convert(fileName, {});
        return true;
    }
    bool converted = false;
    if (!worker.Start(
            [fileName](const Worker::Progress& progress) {
                JetConversion::Convert(fileName, [&progress](qint64 done, qint64) {
                    progress(QString(), int(done), 0);
                });
            },
            [&converted] { converted = true; }))
        return false;
    ShowTaskProgress("ConversionProgress",
                     QStringLiteral("Conversion de « %1 » (%2 fiches) :\nécriture, puis "
                                    "vérification fiche par fiche…")
                         .arg(QFileInfo(fileName).fileName())
                         .arg(cards),
                     int(2 * cards), worker)
        ->exec();
    return converted;
}

} // namespace

bool OfferConversion(const QString& fileName, Worker& worker) {
    try {
        const qint64 cards = JetConversion::CountCards(fileName);
        if (MessageBox::AskYesNo(Question(fileName, cards)) != MessageBox::Answer::Yes)
            return false;
        return Convert(fileName, cards, worker);
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
        return false;
    }
}
