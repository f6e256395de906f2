#include "browse/FlexGrid.h"

#include "platform/Look.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QHeaderView>
#include <array>
#include <stdexcept>

namespace {

// CellAlignment 0 to 8: left, centre, right, each at the top, centre and bottom.
constexpr std::array<Qt::Alignment, 9> kAlignments = {
    Qt::AlignLeft | Qt::AlignTop,        Qt::AlignLeft | Qt::AlignVCenter,
    Qt::AlignLeft | Qt::AlignBottom,     Qt::AlignHCenter | Qt::AlignTop,
    Qt::AlignHCenter | Qt::AlignVCenter, Qt::AlignHCenter | Qt::AlignBottom,
    Qt::AlignRight | Qt::AlignTop,       Qt::AlignRight | Qt::AlignVCenter,
    Qt::AlignRight | Qt::AlignBottom,
};

const QColor kHeaderGrey = Rgb(192, 192, 192);

void Require(bool valid, const char* what) {
    if (!valid)
        throw std::out_of_range(what);
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // White cells under a grey header row, whatever colour the window around it has.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Colors::White);
    colours.setColor(QPalette::Text, Colors::Black);
    colours.setColor(QPalette::Window, kHeaderGrey);
    colours.setColor(QPalette::Button, kHeaderGrey);
    colours.setColor(QPalette::WindowText, Colors::Black);
    colours.setColor(QPalette::ButtonText, Colors::Black);
    setPalette(colours);
    FitRowsToFont();
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int col) {
        row_ = row + 1;
        col_ = col;
        emit Click();
    });
}

void FlexGrid::Clear() {
    clearContents();
    for (int col = 0; col < columnCount(); ++col)
        setHorizontalHeaderItem(col, new QTableWidgetItem);
}

void FlexGrid::SetCols(int cols) {
    Require(cols >= 1, "Nombre de colonnes incorrect");
    const int added = columnCount();
    setColumnCount(cols);
    // A header cell without an item would show the column's number.
    for (int col = added; col < cols; ++col)
        setHorizontalHeaderItem(col, new QTableWidgetItem);
    widthsTwips_.resize(std::size_t(cols), 0);
    col_ = std::min(col_, cols - 1);
}

int FlexGrid::ColWidth(int col) const {
    Require(col >= 0 && col < columnCount(), "Numéro de colonne incorrect");
    return widthsTwips_[std::size_t(col)];
}

void FlexGrid::SetColWidth(int col, int twips) {
    Require(col >= 0 && col < columnCount(), "Numéro de colonne incorrect");
    widthsTwips_[std::size_t(col)] = twips;
    setColumnWidth(col, TwipsToPixels(twips));
}

void FlexGrid::SetRows(int rows) {
    Require(rows >= 1, "Nombre de lignes incorrect");
    setRowCount(rows - 1);
    row_ = std::min(row_, rows - 1);
}

void FlexGrid::SetRow(int row) {
    Require(row >= 0 && row < Rows(), "Numéro de ligne incorrect");
    row_ = row;
}

void FlexGrid::SetCol(int col) {
    Require(col >= 0 && col < columnCount(), "Numéro de colonne incorrect");
    col_ = col;
}

QTableWidgetItem* FlexGrid::Cell(int row, int col) const {
    return row == 0 ? horizontalHeaderItem(col) : item(row - 1, col);
}

QTableWidgetItem* FlexGrid::CurrentCell() {
    if (QTableWidgetItem* cell = Cell(row_, col_))
        return cell;
    auto* cell = new QTableWidgetItem;
    if (row_ == 0)
        setHorizontalHeaderItem(col_, cell);
    else
        setItem(row_ - 1, col_, cell);
    return cell;
}

int FlexGrid::CellAlignment() const {
    const QTableWidgetItem* cell = Cell(row_, col_);
    const Qt::Alignment alignment =
        cell ? Qt::Alignment(QFlag(cell->textAlignment())) : kAlignments[LeftCenter];
    for (std::size_t i = 0; i < kAlignments.size(); ++i)
        if (kAlignments[i] == alignment)
            return int(i);
    return LeftCenter;
}

void FlexGrid::SetCellAlignment(int alignment) {
    Require(alignment >= 0 && alignment < int(kAlignments.size()), "Alignement incorrect");
    CurrentCell()->setTextAlignment(kAlignments[std::size_t(alignment)]);
}

QString FlexGrid::Text() const {
    return TextMatrix(row_, col_);
}

void FlexGrid::SetText(const QString& text) {
    CurrentCell()->setText(text);
}

QString FlexGrid::TextMatrix(int row, int col) const {
    const QTableWidgetItem* cell = Cell(row, col);
    return cell ? cell->text() : QString();
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitRowsToFont();
}

// Rows as high as the text, as a grid of many short rows is read best.
void FlexGrid::FitRowsToFont() {
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height + 2);
}
