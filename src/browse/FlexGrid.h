#pragma once

#include <QTableView>
#include <vector>

class FlexGridCells;

// A grid of text cells worked like the card screens expect: a current cell (Row, Col) that every
// cell operation acts on, row 0 as the fixed header row, column widths in twips, and a Click
// raised when the user clicks a cell or presses Enter on one, after that cell has become the
// current one. Shown, the grid stands on its first row, which the arrows move.
//
// The cells live in a model of their own; while the grid is hidden, writing them tells the view
// nothing, and showing the grid draws the whole page at once.
class FlexGrid : public QTableView {
    Q_OBJECT

public:
    // Alignments of a cell's text, as CellAlignment numbers them.
    enum Alignment { LeftCenter = 1, CenterCenter = 4 };

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // Empties every cell, the header row included; rows, columns and widths stay.
    void Clear();

    bool Visible() const { return !isHidden(); }
    void SetVisible(bool visible);

    int Cols() const;
    void SetCols(int cols);
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);

    // Rows counts the header row: a grid of 2 rows has one row under its header.
    int Rows() const;
    void SetRows(int rows);
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);

    int CellAlignment() const;
    void SetCellAlignment(int alignment);
    QString Text() const;
    void SetText(const QString& text);

    // The text of any cell, without moving the current cell.
    QString TextMatrix(int row, int col) const;

signals:
    void Click();

protected:
    void changeEvent(QEvent* event) override;
    // Enter opens the current row as a click on it does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ClickCell(const QModelIndex& cell);
    void FitRowsToFont();
    void ApplyColumnWidths();

    FlexGridCells* cells_;
    int row_ = 0;
    int col_ = 0;
    std::vector<int> widthsTwips_;
};
