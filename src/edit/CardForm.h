#pragma once

#include "platform/Controls.h"
#include "shell/Window.h"

#include <QLabel>
#include <QPushButton>

struct CardFields;

// What the new-card form and the card editor share: the title and text boxes, the label at the
// top, the line at the bottom, the "Enregistrer" button and the "Retour" command, which is also
// what the window manager's close box and Escape do. None of the three throws away what was
// typed and not saved without asking.
class CardForm : public Window {
    Q_OBJECT

public:
    // A card's text is refused beyond this many characters: ten megabytes or so, which the
    // boxes still show and edit at once, and far more than any tip needs.
    static constexpr int kTextLimit = 10'000'000;
    static QString TextLimitMessage();

protected:
    virtual void commandPressed() = 0;
    // Leaves the window, whatever the boxes hold.
    virtual void goBack() = 0;
    // What is asked before the text typed and not saved is thrown away.
    virtual QString DiscardQuestion() const = 0;

    struct LabelPlace {
        int left;
        int width;
    };
    CardForm(const char* className, LabelPlace labelPlace, int command1Top, Session& session);

    void WindowClosed() override;
    // Empty boxes, shown with the label.
    void ClearCard();
    // The chosen category and the boxes' texts, as the card's fields.
    CardFields TypedFields() const;
    // What the boxes hold now is what was shown or saved: leaving loses nothing.
    void MarkUnchanged();
    static void ReportNotSaved(const QString& reason);

    // The code of the category that the card is stored in.
    QString category_;

    TextBox* Text1;
    TextBox* Text2;
    QLabel* lblLabels;
    QLabel* Label2;
    QPushButton* Command1;
    ImageBox* Image1;
    QAction* Retour;

private:
    // "Retour": leaves once the user agreed to lose what was typed, if anything was.
    void leaveAsked();

    QString unchangedTitle_;
    QString unchangedText_;
};
