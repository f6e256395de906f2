#include "maintenance/HelpWindow.h"

#include "store/CategoryCatalogue.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char* const kHelpName = "AidePivanes";

const char* const kHelpText =
    "<h2>Pivanes</h2>"
    "<p>Pivanes garde une collection d'astuces informatiques, les fiches, rangées en "
    "catégories.</p>"
    "<h3>Menu « Categories »</h3>"
    "<p>Choisissez une catégorie (%1) ou « Bureautique » pour les catégories du groupe "
    "bureautique (%2) ; « GENERALE » montre toutes les fiches. Les flèches parcourent les "
    "fiches de la catégorie.</p>"
    "<h3>Menu « Menu »</h3>"
    "<ul>"
    "<li><b>Retour</b> : revient à l'écran d'accueil.</li>"
    "<li><b>Imprimer Fiche</b> : imprime la fiche affichée.</li>"
    "<li><b>Liste</b> : liste les fiches de la catégorie ; un clic ouvre une fiche.</li>"
    "<li><b>Recherche</b> : cherche un mot dans les titres des fiches.</li>"
    "<li><b>Lisez Moi</b> : ouvre cette aide.</li>"
    "<li><b>Talmir</b> : ouvre le site web de Pivanes.</li>"
    "<li><b>Sauvegarde</b> : copie la base des fiches dans un dossier de votre choix, ou la "
    "restaure depuis une sauvegarde (le programme se ferme après une restauration).</li>"
    "<li><b>Compression de Base</b> : compacte la base des fiches.</li>"
    "<li><b>Quitter</b> : ferme le programme.</li>"
    "</ul>"
    "<h3>Menu « Utilitaire »</h3>"
    "<p><b>Ajouter Une Fiche</b> écrit une nouvelle fiche ; <b>Modif une fiche</b> modifie le "
    "titre et le texte d'une fiche existante.</p>";

QString MenuCaptions(CategoryGroup group) {
    QStringList captions;
    for (const Category* category : CategoryCatalogue::InGroup(group))
        captions << QString::fromLatin1(category->menuCaption);
    return captions.join(QStringLiteral(", "));
}

QDialog* MakeHelp() {
    auto* dialog = new QDialog;
    dialog->setObjectName(QString::fromLatin1(kHelpName));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Aide de Pivanes"));
    auto* text = new QTextBrowser(dialog);
    text->setHtml(QString::fromUtf8(kHelpText).arg(MenuCaptions(CategoryGroup::Top),
                                                   MenuCaptions(CategoryGroup::Office)));
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* close = buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog->resize(560, 480);
    return dialog;
}

} // namespace

void ShowProgramHelp() {
    QWidget* help = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(kHelpName))
            help = window;
    if (!help)
        help = MakeHelp();
    help->show();
    help->raise();
    help->activateWindow();
}
