#pragma once

#include "platform/Form.h"

#include "platform/Controls.h"
#include <QPushButton>

class PrintJob;

// The printout of the card shown in the main window: a preview of its print lines, and the
// command that prints them in pages of 65 lines.
// Its objectName, which scripts and the guide know, is "ImprimeR".
class PrintPreview : public Form {
    Q_OBJECT

public:
    PrintPreview();

    ListBox* List1;
    ListBox* List2;
    QPushButton* Imprim;
    QPushButton* Retour;

public slots:
    void Form_Load() override;
    void Imprim_Click();
    void Retour_Click();

protected:
    void WindowClosed() override;
    // The preview's font follows the scale.
    void ScaleChanged() override;

private:
    void CopyMainWindowCard();
    void ShowPrintout(PrintJob& job);
};
