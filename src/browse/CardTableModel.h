#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <optional>
#include <vector>

// One page of cards as the rows of a table: a column per header, one row per card with its
// number, and always an empty row below the last card, as the grids of the card screens show it.
class CardTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        QString header;
        // Of the cells under it; the header itself is centred.
        Qt::Alignment alignment;
    };
    struct Row {
        qint64 numero;
        // The texts of the row's cells, in column order.
        QStringList cells;
    };

    explicit CardTableModel(std::vector<Column> columns, QObject* parent = nullptr);

    void setRows(std::vector<Row> rows);
    // The card on a row; none on the empty row or outside the table.
    std::optional<qint64> cardAt(int row) const;
    int cardCount() const { return int(rows_.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Column> columns_;
    std::vector<Row> rows_;
};
