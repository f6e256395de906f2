// The main window's commands that open the grid screens.
#include "browse/KorListe.h"
#include "browse/KorRecherche.h"
#include "platform/Forms.h"
#include "shell/KorPivane.h"
#include "store/CardStore.h"
#include "store/Donnees.h"
#include "store/Queries.h"

void KorPivane::ListeFiche_Click() {
    Forms::Load<KorListe>();
    hide();
}

void KorPivane::Recher_Click() {
    if (!CollectionIsOpen())
        return;
    Recordset& cards = Store().OpenRecordset(Queries::AllCards());
    // A count that fails leaves none counted.
    Donnees.CardCount = 0;
    Donnees.CardCount = cards.CountAndRewind();
    Forms::Load<KorRecherche>();
    hide();
}
