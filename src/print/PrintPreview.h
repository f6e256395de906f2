#pragma once

#include "shell/Window.h"

#include "platform/Controls.h"
#include <QPushButton>

class PrintJob;

// The printout of the card shown in the main window: a preview of its print lines, and the
// command that prints them in pages of 65 lines.
// Its objectName, which scripts and the guide know, is "ImprimeR".
class PrintPreview : public Window {
    Q_OBJECT

public:
    explicit PrintPreview(Session& session);

    void Form_Load() override;

protected:
    void WindowClosed() override;
    // The preview's font follows the scale.
    void scaleChanged() override;

private:
    void printCard();
    void leave();
    void CopyMainWindowCard();
    void ShowPrintout(PrintJob& job);

    ListBox* List1;
    ListBox* List2;
    QPushButton* Imprim;
    QPushButton* Retour;
};
