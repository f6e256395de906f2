#include "browse/CardGrid.h"

#include "platform/Look.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>

namespace {

const QColor kHeaderGrey = Rgb(192, 192, 192);

} // namespace

CardGrid::CardGrid(QWidget* parent) : QTableView(parent) {
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
    fitRowsToFont();
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& cell) { emit rowChosen(cell.row()); });
}

void CardGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    connect(model, &QAbstractItemModel::modelReset, this, &CardGrid::standOnFirstRow);
    standOnFirstRow();
}

void CardGrid::setColumnWidths(const std::vector<int>& widths) {
    for (std::size_t col = 0; col < widths.size(); ++col)
        setColumnWidth(int(col), widths[col]);
}

// A new page forgets the current row.
void CardGrid::standOnFirstRow() {
    if (model()->rowCount() > 0)
        setCurrentIndex(model()->index(0, 0));
}

void CardGrid::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || !currentIndex().isValid()) {
        QTableView::keyPressEvent(event);
        return;
    }
    emit rowChosen(currentIndex().row());
}

void CardGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowsToFont();
}

// Rows as high as the text, as a grid of many short rows is read best. The header row takes the
// grid's font, which the style would otherwise keep at its own size.
void CardGrid::fitRowsToFont() {
    horizontalHeader()->setFont(font());
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height + 2);
}
