#include "store/Recordset.h"

#include "store/Connection.h"
#include "store/Database.h"

#include <algorithm>
#include <limits>

namespace {

// A walk reads ever larger windows of rows, so that opening a set reads a handful of rows and a
// long walk makes few queries.
constexpr qint64 kFirstWindowRows = 2;
constexpr qint64 kLargestWindowRows = 1024;

// Statements are cached by text, so each shape of query is its own constant.
constexpr const char* kAllAfter = "SELECT Numero, Titre FROM TrucPivane WHERE Numero > ?1 "
                                  "ORDER BY Numero LIMIT ?3";
constexpr const char* kCategoryAfter = "SELECT Numero, Titre FROM TrucPivane "
                                       "WHERE Cate = ?2 AND Numero > ?1 ORDER BY Numero LIMIT ?3";
constexpr const char* kAllBefore = "SELECT Numero, Titre FROM TrucPivane WHERE Numero < ?1 "
                                   "ORDER BY Numero DESC LIMIT ?3";
constexpr const char* kCategoryBefore = "SELECT Numero, Titre FROM TrucPivane WHERE Cate = "
                                        "?2 AND Numero < ?1 ORDER BY Numero DESC LIMIT ?3";
constexpr const char* kCountAll = "SELECT COUNT(*) FROM TrucPivane";
constexpr const char* kCountCategory = "SELECT COUNT(*) FROM TrucPivane WHERE Cate = ?1";
constexpr const char* kReadRow = "SELECT Numero, Cate, Titre, Pivanes FROM TrucPivane "
                                 "WHERE Numero = ?1";

QVariant TextOrNull(const Statement& statement, int column) {
    return statement.IsNull(column) ? QVariant() : QVariant(statement.Text(column));
}

StoreError NoCurrentRecord() {
    return StoreError(StoreError::Kind::NoCurrentRecord,
                      QStringLiteral("Aucune fiche en cours : la sélection est vide ou "
                                     "a été parcourue jusqu'au bout."));
}

} // namespace

Recordset::Recordset(std::shared_ptr<Connection> connection, bool allCards, QString categoryCode)
    : connection_(std::move(connection)), allCards_(allCards),
      categoryCode_(std::move(categoryCode)) {}

Recordset::~Recordset() = default;

Recordset::Column Recordset::ColumnNamed(const QString& name) {
    static const std::pair<const char*, Column> kColumns[] = {{"Numero", Column::Numero},
                                                              {"Cate", Column::Cate},
                                                              {"Titre", Column::Titre},
                                                              {"Pivanes", Column::Pivanes}};
    for (const auto& [columnName, column] : kColumns)
        if (name.compare(QLatin1String(columnName), Qt::CaseInsensitive) == 0)
            return column;
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("La table des fiches n'a pas de colonne « %1 ».").arg(name));
}

void Recordset::Window::Clear() {
    numbers_.clear();
    ends_.clear();
    nulls_.clear();
    titles_.clear();
    descending_ = false;
}

void Recordset::Window::Append(qint64 numero, QByteArrayView title, bool titleNull) {
    numbers_.push_back(numero);
    titles_.append(title);
    ends_.push_back(titles_.size());
    nulls_.push_back(titleNull);
}

QByteArrayView Recordset::Window::Title(std::size_t i) const {
    const std::size_t slot = Slot(i);
    const qsizetype begin = slot == 0 ? 0 : ends_[slot - 1];
    return QByteArrayView(titles_.constData() + begin, ends_[slot] - begin);
}

bool Recordset::LoadWindow(const char* sql, qint64 numero) {
    Statement statement(*connection_, sql);
    statement.Bind(1, numero);
    if (!allCards_)
        statement.Bind(2, categoryCode_);
    statement.Bind(3, windowRows_);
    windowRows_ = std::min(windowRows_ * 8, kLargestWindowRows);
    if (!statement.Step())
        return false;
    window_.Clear();
    do
        window_.Append(statement.Int64(0), statement.View(1), statement.IsNull(1));
    while (statement.Step());
    return true;
}

bool Recordset::LoadAfter(qint64 numero) {
    if (!LoadWindow(allCards_ ? kAllAfter : kCategoryAfter, numero))
        return false;
    index_ = 0;
    return true;
}

bool Recordset::LoadBefore(qint64 numero) {
    if (!LoadWindow(allCards_ ? kAllBefore : kCategoryBefore, numero))
        return false;
    window_.Reverse();
    index_ = window_.Size() - 1;
    return true;
}

void Recordset::MoveFirst() {
    connection_->Handle();
    windowRows_ = kFirstWindowRows;
    position_ =
        LoadAfter(std::numeric_limits<qint64>::min()) ? Position::OnRow : Position::AfterLast;
}

void Recordset::MoveLast() {
    countPending_ = true;
    windowRows_ = kFirstWindowRows;
    if (!LoadBefore(std::numeric_limits<qint64>::max())) {
        position_ = Position::AfterLast;
        lastRow_ = std::numeric_limits<qint64>::min();
        throw NoCurrentRecord();
    }
    position_ = Position::OnRow;
    lastRow_ = window_.Numero(index_);
}

bool Recordset::Seek(qint64 numero) {
    windowRows_ = kFirstWindowRows;
    position_ = Position::AfterLast;
    Statement read(*connection_, kReadRow);
    read.Bind(1, numero);
    if (!read.Step())
        return false;
    const QVariant cate = TextOrNull(read, 1);
    if (!allCards_ && cate.toString() != categoryCode_)
        return false;
    LoadSingleRow(read);
    position_ = Position::OnRow;
    KeepRestOfRow(numero, cate, TextOrNull(read, 3));
    return true;
}

// Counting a large table costs a scan: only callers that read the count pay for it.
qint32 Recordset::RecordCount() const {
    if (countPending_) {
        Statement count(*connection_, allCards_ ? kCountAll : kCountCategory);
        if (!allCards_)
            count.Bind(1, categoryCode_);
        count.Step();
        recordCount_ = qint32(count.Int64(0));
        countPending_ = false;
        countedLast_ = lastRow_;
    }
    return recordCount_;
}

std::optional<qint64> Recordset::LastRowOfCount(qint32 count) const {
    if (countPending_ || !countedLast_ || recordCount_ != count)
        return std::nullopt;
    return countedLast_;
}

std::unique_ptr<SelectionRows> Recordset::Rows() const {
    connection_->Handle();
    return std::make_unique<SelectionRows>(connection_, allCards_, categoryCode_);
}

void Recordset::MoveNext() {
    connection_->Handle();
    switch (position_) {
    case Position::AfterLast:
        return;
    case Position::BeforeFirst:
        MoveFirst();
        return;
    case Position::OnRow:
        if (index_ + 1 < window_.Size()) {
            ++index_;
            return;
        }
        if (!LoadAfter(window_.Numero(index_)))
            position_ = Position::AfterLast;
        return;
    }
}

void Recordset::MovePrevious() {
    connection_->Handle();
    switch (position_) {
    case Position::BeforeFirst:
        return;
    case Position::AfterLast:
        position_ = LoadBefore(std::numeric_limits<qint64>::max()) ? Position::OnRow
                                                                   : Position::BeforeFirst;
        return;
    case Position::OnRow:
        if (index_ > 0) {
            --index_;
            return;
        }
        if (!LoadBefore(window_.Numero(index_)))
            position_ = Position::BeforeFirst;
        return;
    }
}

// Every access goes through the connection's state, so that a closed database never shows
// half a card from the window of rows kept in memory.
std::size_t Recordset::CurrentRow() const {
    connection_->Handle();
    if (position_ != Position::OnRow)
        throw NoCurrentRecord();
    return index_;
}

QVariant Recordset::Fields(const QString& name) const {
    const Column column = ColumnNamed(name);
    const std::size_t row = CurrentRow();
    const qint64 numero = window_.Numero(row);
    switch (column) {
    case Column::Numero:
        return QVariant(numero);
    case Column::Titre:
        return window_.TitleNull(row) ? QVariant()
                                      : QVariant(QString::fromUtf8(window_.Title(row)));
    case Column::Cate:
    case Column::Pivanes:
        break;
    }
    if (!rest_ || rest_->numero != numero) {
        Statement statement(*connection_, kReadRow);
        statement.Bind(1, numero);
        if (!statement.Step())
            throw StoreError(
                StoreError::Kind::Failed,
                QStringLiteral("La fiche N° %1 n'existe plus dans la base.").arg(numero));
        KeepRestOfRow(numero, TextOrNull(statement, 1), TextOrNull(statement, 3));
    }
    return column == Column::Cate ? rest_->cate : rest_->text;
}

QByteArrayView Recordset::TitleBytes() const {
    return window_.Title(CurrentRow());
}

void Recordset::KeepRestOfRow(qint64 numero, QVariant cate, QVariant text) const {
    rest_ = RestOfRow{numero, std::move(cate), std::move(text)};
}

void Recordset::AddNew() {
    connection_->Handle();
    mode_ = Mode::Adding;
    pending_.clear();
}

void Recordset::Edit() {
    CurrentRow();
    mode_ = Mode::Editing;
    pending_.clear();
}

void Recordset::SetField(const QString& name, const QVariant& value) {
    if (mode_ == Mode::Browse)
        throw StoreError(
            StoreError::Kind::Failed,
            QStringLiteral("Écriture d'un champ hors d'un ajout ou d'une modification."));
    const Column column = ColumnNamed(name);
    for (auto& entry : pending_)
        if (entry.first == column) {
            entry.second = value;
            return;
        }
    pending_.emplace_back(column, value);
}

namespace {

void BindValue(Statement& statement, int index, const QVariant& value, bool isNumber) {
    if (value.isNull())
        statement.BindNull(index);
    else if (isNumber)
        statement.Bind(index, value.toLongLong());
    else
        statement.Bind(index, value.toString());
}

} // namespace

void Recordset::Update() {
    if (mode_ == Mode::Browse)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Aucun ajout ni modification en cours."));
    Database::PrepareForWrites(*connection_);
    // Every column is always written, so the two statements have a fixed text.
    QVariant values[4];
    qint64 target = 0;
    if (mode_ == Mode::Editing) {
        target = window_.Numero(CurrentRow());
        values[0] = QVariant(target);
        {
            Statement read(*connection_, kReadRow);
            read.Bind(1, target);
            if (!read.Step())
                throw StoreError(
                    StoreError::Kind::Failed,
                    QStringLiteral("La fiche N° %1 n'existe plus dans la base.").arg(target));
            for (int column = 1; column < 4; ++column)
                values[column] = TextOrNull(read, column);
        }
    }
    for (const auto& [column, value] : pending_)
        values[int(column)] = value;
    Database::EnsureIndexes(*connection_);

    if (mode_ == Mode::Adding) {
        Statement insert(*connection_, "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                                       "VALUES (?1, ?2, ?3, ?4)");
        for (int column = 0; column < 4; ++column)
            BindValue(insert, column + 1, values[column], column == 0);
        insert.Step();
    } else {
        Statement update(*connection_, "UPDATE TrucPivane SET Numero = ?1, Cate = ?2, "
                                       "Titre = ?3, Pivanes = ?4 WHERE Numero = ?5");
        for (int column = 0; column < 4; ++column)
            BindValue(update, column + 1, values[column], column == 0);
        update.Bind(5, target);
        update.Step();
        RefreshCurrentRow(values[0].toLongLong());
    }
    mode_ = Mode::Browse;
    pending_.clear();
}

void Recordset::LoadSingleRow(const Statement& read) {
    window_.Clear();
    window_.Append(read.Int64(0), read.View(2), read.IsNull(2));
    index_ = 0;
}

// The edited row alone: its neighbours are read again when the walk goes on.
void Recordset::RefreshCurrentRow(qint64 numero) {
    rest_.reset();
    Statement read(*connection_, kReadRow);
    read.Bind(1, numero);
    if (read.Step())
        LoadSingleRow(read);
}
