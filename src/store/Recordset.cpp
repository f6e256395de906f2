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

StoreError RowGone(qint64 numero) {
    return StoreError(StoreError::Kind::Failed,
                      QStringLiteral("La fiche N° %1 n'existe plus dans la base.").arg(numero));
}

} // namespace

Recordset::Recordset(std::shared_ptr<Connection> connection, std::optional<QString> categoryCode)
    : connection_(std::move(connection)), allCards_(!categoryCode),
      categoryCode_(std::move(categoryCode).value_or(QString())) {}

Recordset::~Recordset() = default;

const QString& Recordset::NameOf(Column column) {
    static const QString* const kNames[] = {&Field::Numero, &Field::Cate, &Field::Titre,
                                            &Field::Pivanes};
    return *kNames[int(column)];
}

Recordset::Column Recordset::ColumnNamed(const QString& name) {
    for (int column = 0; column < 4; ++column)
        if (name.compare(NameOf(Column(column)), Qt::CaseInsensitive) == 0)
            return Column(column);
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

qint32 Recordset::CountAndRewind() {
    MoveFirst();
    if (Eof())
        return 0;
    MoveLast();
    const qint32 count = RecordCount();
    MoveFirst();
    return count;
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
            throw RowGone(numero);
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
    pending_ = {};
}

void Recordset::Edit() {
    CurrentRow();
    mode_ = Mode::Editing;
    pending_ = {};
}

void Recordset::SetField(const QString& name, const QVariant& value) {
    if (mode_ == Mode::Browse)
        throw StoreError(
            StoreError::Kind::Failed,
            QStringLiteral("Écriture d'un champ hors d'un ajout ou d'une modification."));
    pending_[std::size_t(ColumnNamed(name))] = value;
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

// A text field as it reads back once written.
QVariant AsWritten(const QVariant& value) {
    return value.isNull() ? QVariant() : QVariant(value.toString());
}

} // namespace

void Recordset::Update() {
    if (mode_ == Mode::Browse)
        throw StoreError(StoreError::Kind::Failed,
                         QStringLiteral("Aucun ajout ni modification en cours."));
    Database::PrepareForWrites(*connection_);
    Database::EnsureIndexes(*connection_);
    if (mode_ == Mode::Adding)
        Insert();
    else
        Rewrite();
    mode_ = Mode::Browse;
    pending_ = {};
}

// Every column is written, those not set as nulls, so the statement has a fixed text.
void Recordset::Insert() {
    Statement insert(*connection_, "INSERT INTO TrucPivane (Numero, Cate, Titre, Pivanes) "
                                   "VALUES (?1, ?2, ?3, ?4)");
    for (std::size_t column = 0; column < pending_.size(); ++column)
        BindValue(insert, int(column) + 1, pending_[column].value_or(QVariant()), column == 0);
    insert.Step();
}

// Only the fields set are written, so the row needs no reading first, and a field that another
// program changed meanwhile keeps its change. The text depends only on which fields are set.
void Recordset::Rewrite() {
    const qint64 target = window_.Numero(CurrentRow());
    // The row is ?1 and each field its column's place after it.
    QStringList assignments;
    for (std::size_t column = 0; column < pending_.size(); ++column)
        if (pending_[column])
            assignments << QStringLiteral("%1 = ?%2").arg(NameOf(Column(column))).arg(column + 2);
    if (assignments.isEmpty())
        assignments << QStringLiteral("Numero = Numero");
    const QByteArray sql = QStringLiteral("UPDATE TrucPivane SET %1 WHERE Numero = ?1")
                               .arg(assignments.join(QStringLiteral(", ")))
                               .toLatin1();
    {
        Statement update(*connection_, sql.constData());
        update.Bind(1, target);
        for (std::size_t column = 0; column < pending_.size(); ++column)
            if (pending_[column])
                BindValue(update, int(column) + 2, *pending_[column], column == 0);
        update.Step();
    }
    if (connection_->Changes() == 0)
        throw RowGone(target);
    KeepWrittenRow(target);
}

void Recordset::LoadSingleRow(const Statement& read) {
    window_.Clear();
    window_.Append(read.Int64(0), read.View(2), read.IsNull(2));
    index_ = 0;
}

// The written row alone: its neighbours are read again when the walk goes on. A row whose every
// text was just written is known without reading it back; what another program may have
// changed meanwhile is read.
void Recordset::KeepWrittenRow(qint64 target) {
    const auto& [numero, cate, title, text] = pending_;
    const qint64 written = numero ? numero->toLongLong() : target;
    rest_.reset();
    if (!cate || !title || !text) {
        Statement read(*connection_, kReadRow);
        read.Bind(1, written);
        if (read.Step())
            LoadSingleRow(read);
        return;
    }
    window_.Clear();
    window_.Append(written, title->toString().toUtf8(), title->isNull());
    index_ = 0;
    KeepRestOfRow(written, AsWritten(*cate), AsWritten(*text));
}
