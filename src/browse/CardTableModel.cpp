#include "browse/CardTableModel.h"

namespace {

// More than a cell ever shows, even at the widest scale; a title of megabytes would otherwise
// be laid out whole at every paint.
constexpr qsizetype kShownCharacters = 1024;

} // namespace

CardTableModel::CardTableModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void CardTableModel::setRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

std::optional<qint64> CardTableModel::cardAt(int row) const {
    if (row < 0 || row >= cardCount())
        return std::nullopt;
    return rows_[std::size_t(row)].numero;
}

int CardTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cardCount() + 1;
}

int CardTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant CardTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    const bool cardRow = index.row() < cardCount();
    if (role == Qt::DisplayRole) {
        if (!cardRow)
            return QString();
        const QStringList& cells = rows_[std::size_t(index.row())].cells;
        return index.column() < cells.size() ? cells[index.column()].left(kShownCharacters)
                                             : QString();
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(cardRow ? columns_[std::size_t(index.column())].alignment
                                           : Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return columns_[std::size_t(section)].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return QVariant();
}
