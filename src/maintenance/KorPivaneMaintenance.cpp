// The main window's maintenance commands: backup, compaction, help and web page.
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"

void KorPivane::Quitter_Click() {
    MessageBox::Show(QStringLiteral("La sauvegarde n'est pas encore disponible."));
}

void KorPivane::Compacte_Click() {
    MessageBox::Show(QStringLiteral("La compression n'est pas encore disponible."));
}

void KorPivane::Lisezmoi_Click() {
    MessageBox::Show(QStringLiteral("L'aide n'est pas encore disponible."));
}

void KorPivane::Talm_Click() {
    MessageBox::Show(QStringLiteral("Le site web n'est pas encore disponible."));
}
