// The main window's print command.
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
    auto& printout = Open<PrintPreview>(Text1->Text(), List1->Items());
    connect(&printout, &Window::finished, this, &MainWindow::comeBack);
    hide();
}
