// The main window's commands that open the card forms.
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"

void KorPivane::Ajout_Click() {
    MessageBox::Show(QStringLiteral("La modification des fiches n'est pas encore disponible."));
}

void KorPivane::Modif_Click() {
    MessageBox::Show(QStringLiteral("L'ajout de fiches n'est pas encore disponible."));
}
