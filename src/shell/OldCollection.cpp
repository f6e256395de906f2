#include "shell/OldCollection.h"

#include "convert/JetConversion.h"
#include "platform/MessageBox.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>
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
    auto dialog = std::make_unique<QProgressDialog>(
        QStringLiteral("Conversion de « %1 » (%2 fiches) :\nécriture, puis vérification fiche par "
                       "fiche…")
            .arg(QFileInfo(fileName).fileName())
            .arg(cards),
        QString(), 0, int(2 * cards));
    dialog->setObjectName(QStringLiteral("ConversionProgress"));
    dialog->setWindowTitle(MessageBox::AppTitle());
    dialog->setCancelButton(nullptr);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(0);
    dialog->setValue(0);
    return dialog;
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
