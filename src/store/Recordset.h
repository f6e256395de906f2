#pragma once

#include "store/CardRows.h"
#include "store/Fields.h"

#include <QString>
#include <QVariant>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class Connection;
class Statement;

// A live, updatable view of the rows of one query, in order of addition (ascending Numero).
// It holds only a window of numbers, categories and titles around the current row and reads a
// card's text when asked for it, so a very large table opens and steps in constant memory.
// Stepping past either end is no error; reading a field there is.
class Recordset {
public:
    // The cards whose Cate equals the category code; all cards without one.
    Recordset(std::shared_ptr<Connection> connection, std::optional<QString> categoryCode);
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    void MoveFirst();
    void MoveLast(); // throws on an empty set; the count itself waits for RecordCount
    void MoveNext();
    void MovePrevious();
    bool Eof() const { return position_ == Position::AfterLast; }
    bool Bof() const { return position_ == Position::BeforeFirst; }
    // Stands on the row numbered numero when the set holds it; otherwise past the last row.
    bool Seek(qint64 numero);
    // The number of rows, counted at the first call after the last MoveLast; 0 before any.
    qint32 RecordCount() const;
    // Counts the rows as the windows do: to the last row, its count, back to the first. An empty
    // set counts none and stays past its end.
    qint32 CountAndRewind();
    // The number of the last row when the set was last counted, if that count was `count`: the
    // rows numbered up to it are the set's first `count` rows, unless another program removed
    // some since.
    std::optional<qint64> LastRowOfCount(qint32 count) const;
    // The set's rows, read a few at a time from any card number.
    std::unique_ptr<SelectionRows> Rows() const;
    const std::shared_ptr<Connection>& connection() const { return connection_; }
    bool IsAllCards() const { return allCards_; }

    // One of the Field names, in any case. A field without value is a null variant; the number
    // is a 64-bit integer, as stored.
    QVariant Fields(const QString& name) const;
    // The title as stored (UTF-8; empty when it has no value): what collecting the titles of a
    // whole table reads, without converting each one.
    QByteArrayView TitleBytes() const;

    void AddNew();
    void Edit();
    void SetField(const QString& name, const QVariant& value);
    // Writes the pending row in one statement, without reading it first: an edit writes only the
    // fields set since Edit.
    void Update();

private:
    enum class Position { BeforeFirst, OnRow, AfterLast };
    enum class Mode { Browse, Adding, Editing };
    enum class Column { Numero, Cate, Titre, Pivanes };
    // Numbers and titles of consecutive rows, the titles packed in one buffer (as stored, UTF-8)
    // so that a walk through a large table allocates per window, not per row.
    class Window {
    public:
        void Clear();
        void Append(qint64 numero, QByteArrayView title, bool titleNull);
        void Reverse() { descending_ = !descending_; }
        std::size_t Size() const { return numbers_.size(); }
        qint64 Numero(std::size_t i) const { return numbers_[Slot(i)]; }
        QByteArrayView Title(std::size_t i) const;
        bool TitleNull(std::size_t i) const { return nulls_[Slot(i)]; }

    private:
        std::size_t Slot(std::size_t i) const { return descending_ ? Size() - 1 - i : i; }
        std::vector<qint64> numbers_;
        std::vector<qsizetype> ends_;
        std::vector<bool> nulls_;
        QByteArray titles_;
        bool descending_ = false;
    };
    // The long text and the category of one row, read when first asked for.
    struct RestOfRow {
        qint64 numero;
        QVariant cate;
        QVariant text;
    };

    static const QString& NameOf(Column column);
    static Column ColumnNamed(const QString& name);
    bool LoadWindow(const char* sql, qint64 numero);
    bool LoadAfter(qint64 numero);  // window of rows above numero; false when there are none
    bool LoadBefore(qint64 numero); // window of rows below numero, in ascending order
    std::size_t CurrentRow() const; // index in the window
    void LoadSingleRow(const Statement& read); // a window of the row just read by number
    void Insert();
    void Rewrite();
    void KeepWrittenRow(qint64 target);
    void KeepRestOfRow(qint64 numero, QVariant cate, QVariant text) const;

    std::shared_ptr<Connection> connection_;
    bool allCards_;
    QString categoryCode_;
    Window window_;
    std::size_t index_ = 0;
    qint64 windowRows_ = 2;
    mutable std::optional<RestOfRow> rest_;
    Position position_ = Position::BeforeFirst;
    mutable qint32 recordCount_ = 0;
    mutable bool countPending_ = false;
    qint64 lastRow_ = 0;                        // at the last MoveLast
    mutable std::optional<qint64> countedLast_; // at the last count
    Mode mode_ = Mode::Browse;
    // By Column: the fields set since AddNew or Edit.
    std::array<std::optional<QVariant>, 4> pending_;
};
