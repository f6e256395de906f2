#pragma once

#include <QTableView>
#include <vector>

// The grid of the card screens: rows as high as their bold text under a grey header row, white
// cells, whole rows chosen one at a time. A click on a row, or Enter on the current one, chooses
// that row. After each new page the grid stands on its first row, which the arrows move.
class CardGrid : public QTableView {
    Q_OBJECT

public:
    explicit CardGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // In pixels.
    void setColumnWidths(const std::vector<int>& widths);

signals:
    void rowChosen(int row);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void standOnFirstRow();
    void fitRowsToFont();
};
