#include "browse/FlexGrid.h"

#include "platform/Look.h"
#include "platform/Twips.h"
#include "platform/UserError.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>
#include <array>
#include <functional>

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

// Checked before the grid is touched, so a refused change leaves it as it was.
void Require(bool valid, const char* what) {
    if (!valid)
        throw UserError(QStringLiteral("La grille des fiches refuse cette opération (%1) ; elle "
                                       "reste telle qu'elle était.")
                            .arg(QString::fromUtf8(what)));
}

} // namespace

// The cells of a grid, row 0 being the header. Changes made while the grid is hidden are kept
// inside one reset of the model, which ends when the grid is shown again.
class FlexGridCells : public QAbstractTableModel {
public:
    struct Cell {
        QString text;
        int alignment = FlexGrid::LeftCenter;
    };

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(cells_.size()) - 1;
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : cols_;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        return Role(At(index.row() + 1, index.column()), role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= cols_)
            return QVariant();
        return Role(At(0, section), role);
    }

    int Rows() const { return int(cells_.size()); }
    int Cols() const { return cols_; }
    const Cell& At(int row, int col) const { return cells_[std::size_t(row)][std::size_t(col)]; }

    // Runs a change, inside the open reset or in one of its own.
    template <class Change> void Apply(Change&& change) {
        if (deferring_) {
            change();
            return;
        }
        beginResetModel();
        change();
        endResetModel();
    }
    void Defer(bool defer) {
        if (defer == deferring_)
            return;
        deferring_ = defer;
        if (defer)
            beginResetModel();
        else
            endResetModel();
    }

    void SetRows(int rows) {
        Apply([&] { cells_.resize(std::size_t(rows), std::vector<Cell>(std::size_t(cols_))); });
    }
    void SetCols(int cols) {
        Apply([&] {
            cols_ = cols;
            for (auto& row : cells_)
                row.resize(std::size_t(cols));
        });
    }
    void Clear() {
        Apply([&] {
            for (auto& row : cells_)
                for (Cell& cell : row)
                    cell = Cell();
        });
    }
    void Set(int row, int col, const std::function<void(Cell&)>& change) {
        Apply([&] { change(cells_[std::size_t(row)][std::size_t(col)]); });
    }

private:
    static QVariant Role(const Cell& cell, int role) {
        if (role == Qt::DisplayRole)
            return cell.text;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(kAlignments[std::size_t(cell.alignment)]);
        return QVariant();
    }

    std::vector<std::vector<Cell>> cells_{1};
    int cols_ = 0;
    bool deferring_ = false;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), cells_(new FlexGridCells) {
    cells_->setParent(this);
    setModel(cells_);
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
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& cell) {
        row_ = cell.row() + 1;
        col_ = cell.column();
        emit Click();
    });
}

FlexGrid::~FlexGrid() {
    cells_->Defer(false);
}

void FlexGrid::SetVisible(bool visible) {
    cells_->Defer(!visible);
    // A reset of the model forgets the columns' widths.
    if (visible)
        ApplyColumnWidths();
    setVisible(visible);
}

int FlexGrid::Cols() const {
    return cells_->Cols();
}

int FlexGrid::Rows() const {
    return cells_->Rows();
}

void FlexGrid::ApplyColumnWidths() {
    for (std::size_t col = 0; col < widthsTwips_.size(); ++col)
        setColumnWidth(int(col), TwipsToPixels(widthsTwips_[col]));
}

void FlexGrid::Clear() {
    cells_->Clear();
}

void FlexGrid::SetCols(int cols) {
    Require(cols >= 1, "nombre de colonnes incorrect");
    cells_->SetCols(cols);
    widthsTwips_.resize(std::size_t(cols), 0);
    ApplyColumnWidths();
    col_ = std::min(col_, cols - 1);
}

int FlexGrid::ColWidth(int col) const {
    Require(col >= 0 && col < Cols(), "numéro de colonne incorrect");
    return widthsTwips_[std::size_t(col)];
}

void FlexGrid::SetColWidth(int col, int twips) {
    Require(col >= 0 && col < Cols(), "numéro de colonne incorrect");
    widthsTwips_[std::size_t(col)] = twips;
    setColumnWidth(col, TwipsToPixels(twips));
}

void FlexGrid::SetRows(int rows) {
    Require(rows >= 1, "nombre de lignes incorrect");
    cells_->SetRows(rows);
    row_ = std::min(row_, rows - 1);
}

void FlexGrid::SetRow(int row) {
    Require(row >= 0 && row < Rows(), "numéro de ligne incorrect");
    row_ = row;
}

void FlexGrid::SetCol(int col) {
    Require(col >= 0 && col < Cols(), "numéro de colonne incorrect");
    col_ = col;
}

int FlexGrid::CellAlignment() const {
    return cells_->At(row_, col_).alignment;
}

void FlexGrid::SetCellAlignment(int alignment) {
    Require(alignment >= 0 && alignment < int(kAlignments.size()), "alignement incorrect");
    cells_->Set(row_, col_, [alignment](FlexGridCells::Cell& cell) { cell.alignment = alignment; });
}

QString FlexGrid::Text() const {
    return TextMatrix(row_, col_);
}

void FlexGrid::SetText(const QString& text) {
    cells_->Set(row_, col_, [&text](FlexGridCells::Cell& cell) { cell.text = text; });
}

QString FlexGrid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= Cols())
        return QString();
    return cells_->At(row, col).text;
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitRowsToFont();
}

// Rows as high as the text, as a grid of many short rows is read best.
void FlexGrid::FitRowsToFont() {
    const int height = fontMetrics().height() + 4;
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height + 2);
}
