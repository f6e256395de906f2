// The main window's commands that open the card forms.
#include "edit/KorAjouter.h"
#include "edit/KorModifie.h"
#include "platform/Forms.h"
#include "shell/KorPivane.h"

void KorPivane::Ajout_Click() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<KorModifie>();
    hide();
}

void KorPivane::Modif_Click() {
    if (!CollectionIsOpen())
        return;
    Forms::Load<KorAjouter>();
    Forms::Unload<KorPivane>();
}
