#pragma once

#include "shell/Window.h"

#include "platform/Controls.h"
#include <QPushButton>

class PrintJob;

// The printout of a card: a preview of its print lines, and the command that prints them in pages
// of 65 lines.
// Its objectName, which scripts and the guide know, is "ImprimeR".
class PrintPreview : public Window {
    Q_OBJECT

public:
    // The card's title and its text's print lines, as the main window shows them.
    PrintPreview(Session& session, const QString& title, const QStringList& textLines);

    void Form_Load() override;

protected:
    void WindowClosed() override;
    // The preview's font follows the scale.
    void scaleChanged() override;

private:
    void printCard();
    void leave();
    void ShowCardLines();
    void ShowPrintout(PrintJob& job);

    ListBox* List1;
    ListBox* List2;
    QPushButton* Imprim;
    QPushButton* Retour;
    QString title_;
    QStringList textLines_;
};
