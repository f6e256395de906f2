#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

#include <QLabel>
#include <QPushButton>

struct CardFields;

// What the new-card form and the card editor share: the title and text boxes, the label at the
// top, the line at the bottom, the "Enregistrer" button and the "Retour" command, which is also
// what the window manager's close box does.
class CardForm : public Form {
    Q_OBJECT

public:
    TextBox* Text1;
    TextBox* Text2;
    QLabel* lblLabels;
    QLabel* Label2;
    QPushButton* Command1;
    ImageBox* Image1;
    QAction* Retour;

    // A card's text is refused beyond this many characters: ten megabytes or so, which the
    // boxes still show and edit at once, and far more than any tip needs.
    static constexpr int kTextLimit = 10'000'000;
    static QString TextLimitMessage();

    // Turns each character typed in the title box into its capital.
    void Text1_KeyPress(int& keyAscii);

public slots:
    virtual void Command1_Click() = 0;
    virtual void Retour_Click() = 0;

protected:
    struct LabelPlace {
        int left;
        int width;
    };
    CardForm(const char* className, LabelPlace labelPlace, int command1Top);

    void WindowClosed() override;
    // Empty boxes, shown with the label.
    void ClearCard();
    // The chosen category and the boxes' texts, as the card's fields.
    CardFields TypedFields() const;
    static void ReportNotSaved(const QString& reason);
};
