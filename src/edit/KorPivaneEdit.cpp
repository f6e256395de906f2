// The main window's commands that open the card forms.
#include "edit/KorAjouter.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "shell/KorPivane.h"

void KorPivane::Ajout_Click() {
    MessageBox::Show(QStringLiteral("La modification des fiches n'est pas encore disponible."));
}

void KorPivane::Modif_Click() {
    Forms::Load<KorAjouter>();
    Forms::Unload<KorPivane>();
}
