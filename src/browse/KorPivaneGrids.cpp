// The main window's commands that open the grid screens.
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"

void KorPivane::ListeFiche_Click() {
    MessageBox::Show(QStringLiteral("La liste des fiches n'est pas encore disponible."));
}

void KorPivane::Recher_Click() {
    MessageBox::Show(QStringLiteral("La recherche n'est pas encore disponible."));
}
