#pragma once

#include "browse/CardGrid.h"
#include "browse/CardTableModel.h"
#include "shell/Window.h"

#include <QLabel>
#include <QPushButton>

// The deleted cards, in a grid of number, title and date of deletion: "Remettre" puts the chosen
// card back under its own number, "Vider la corbeille" removes them all for good, "Quitter"
// returns to the main window.
class TrashWindow : public Window {
    Q_OBJECT

public:
    explicit TrashWindow(Session& session);

    void Form_Load() override;

private:
    void rowChosen(int row);
    void putBack();
    void emptyTrash();
    void leave();
    void WindowClosed() override;
    void scaleChanged() override;
    void ShowTrash();
    // The number of the card on the grid's current row, or 0 on the empty row.
    qint64 ChosenCard() const;

    QLabel* Label1;
    QLabel* Label2;
    CardTableModel* cards_;
    CardGrid* MSFlexGrid1;
    QPushButton* Remettre;
    QPushButton* Vider;
    QPushButton* Quitter;
};
