// The main window's maintenance commands: backup, compaction, help and web page.
#include "maintenance/Compaction.h"
#include "maintenance/HelpWindow.h"
#include "maintenance/KorSauve.h"
#include "platform/Desktop.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/ResumeNext.h"
#include "platform/UserError.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Donnees.h"

namespace {
const QString kHelpFile = QStringLiteral("Lisez-Moi.chm");
const QString kWebPage = QStringLiteral("https://pivanes.example.org/");
const QString kCompactionFile = QStringLiteral("temp.MDB");
} // namespace

void KorPivane::Quitter_Click() {
    Forms::Load<KorSauve>();
    Forms::Unload(this);
}

void KorPivane::Compacte_Click() {
    ResumeNext([] { Store().CloseDatabase(); });
    try {
        CompactDatabaseFile(Donnees.DatabaseFileName, kCompactionFile);
        MessageBox::Show(QStringLiteral("Compactage de la Base de Données et Terminée"));
    } catch (const UserError& error) {
        MessageBox::Error(error.text());
    }
    Store().OpenDatabase(Donnees.DatabaseFileName);
}

void KorPivane::Lisezmoi_Click() {
    if (!Desktop::OpenFile(kHelpFile))
        ShowProgramHelp();
}

void KorPivane::Talm_Click() {
    if (!Desktop::OpenUrl(kWebPage))
        MessageBox::Error(QStringLiteral("Aucun navigateur web n'a pu être ouvert. L'adresse du "
                                         "site de Pivanes est : %1")
                              .arg(kWebPage));
}
