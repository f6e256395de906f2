#include "shell/OldCollection.h"

#include "convert/JetConversion.h"
#include "platform/MessageBox.h"
#include "shell/ProgressDialog.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QFileInfo>
#include <memory>

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

std::unique_ptr<QProgressDialog> ProgressFor(const QString& fileName, qint64 cards) {
    if (cards < kProgressFrom)
        return nullptr;
    return CopyProgress("ConversionProgress",
                        QStringLiteral("Conversion de « %1 » (%2 fiches) :\nécriture, puis "
                                       "vérification fiche par fiche…")
                            .arg(QFileInfo(fileName).fileName())
                            .arg(cards),
                        int(2 * cards));
}

} // namespace

bool OfferConversion(const QString& fileName) {
    try {
        const qint64 cards = JetConversion::CountCards(fileName);
        if (MessageBox::AskYesNo(Question(fileName, cards)) != MessageBox::Answer::Yes)
            return false;
        const std::unique_ptr<QProgressDialog> progress = ProgressFor(fileName, cards);
        JetConversion::Convert(fileName, [&progress](qint64 done, qint64) {
            if (!progress)
                return;
            progress->setValue(int(done));
            QApplication::processEvents();
        });
        return true;
    } catch (const StoreError& error) {
        MessageBox::Error(error.text());
        return false;
    }
}
