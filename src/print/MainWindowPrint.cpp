// The main window's print command.
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "print/PrintPreview.h"
#include "shell/MainWindow.h"

// With no card on screen (an empty category, the office menu) the boxes may still hold an
// earlier card, which must not be printed in its place.
void MainWindow::printShownCard() {
    if (Text1->isHidden()) {
        MessageBox::Show(QStringLiteral("AUCUNE FICHE A IMPRIMER"));
        return;
    }
    Forms::Load<PrintPreview>(session());
    hide();
}

QString MainWindow::shownTitle() const {
    return Text1->Text();
}

QStringList MainWindow::shownTextLines() const {
    return List1->Items();
}
