// The main window's print command.
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"

void KorPivane::Imprime_Click() {
    MessageBox::Show(QStringLiteral("L'impression n'est pas encore disponible."));
}
