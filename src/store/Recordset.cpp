#include "store/Recordset.h"

#include "store/StoreError.h"

#include <algorithm>
#include <limits>

namespace {

// A walk reads ever larger windows of rows, so that opening a set reads a handful of rows and a
// long walk makes few queries.
constexpr qint64 kFirstWindowRows = 2;
constexpr qint64 kLargestWindowRows = 1024;
constexpr qint64 kBeforeAll = std::numeric_limits<qint64>::min();
constexpr qint64 kAfterAll = std::numeric_limits<qint64>::max();

StoreError NoCurrentRecord() {
    return StoreError(StoreError::Kind::NoCurrentRecord,
                      QStringLiteral("Aucune fiche en cours : la sélection est vide ou "
                                     "a été parcourue jusqu'au bout."));
}

QVariant TextOrNull(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

} // namespace

Recordset::Recordset(std::weak_ptr<Collection> collection, Selection selection)
    : collection_(std::move(collection)), selection_(std::move(selection)) {}

Recordset::~Recordset() = default;

Collection& Recordset::collection() const {
    const std::shared_ptr<Collection> open = collection_.lock();
    if (!open)
        throw StoreError::CollectionClosed();
    return *open;
}

CardRows& Recordset::Rows() {
    Collection& open = collection();
    if (!rows_)
        rows_ = open.Rows(selection_);
    return *rows_;
}

bool Recordset::Load(const std::vector<CardRow>& rows) {
    windowRows_ = std::min(windowRows_ * 8, kLargestWindowRows);
    if (rows.empty())
        return false;
    window_.clear();
    for (const CardRow& row : rows)
        window_.push_back(row.numero);
    return true;
}

bool Recordset::LoadAfter(qint64 numero) {
    if (numero == kAfterAll || !Load(Rows().Upward(numero + 1, 0, windowRows_)))
        return false;
    index_ = 0;
    return true;
}

bool Recordset::LoadBefore(qint64 numero) {
    if (numero == kBeforeAll || !Load(Rows().Downward(numero - 1, 0, windowRows_)))
        return false;
    std::reverse(window_.begin(), window_.end());
    index_ = window_.size() - 1;
    return true;
}

void Recordset::MoveFirst() {
    windowRows_ = kFirstWindowRows;
    position_ = LoadAfter(kBeforeAll) ? Position::OnRow : Position::AfterLast;
}

void Recordset::MoveLast() {
    countPending_ = true;
    windowRows_ = kFirstWindowRows;
    if (!LoadBefore(kAfterAll)) {
        position_ = Position::AfterLast;
        throw NoCurrentRecord();
    }
    position_ = Position::OnRow;
}

bool Recordset::Seek(qint64 numero) {
    windowRows_ = kFirstWindowRows;
    position_ = Position::AfterLast;
    std::optional<StoredCard> card = collection().ReadCard(numero);
    if (!card || (!selection_.IsAllCards() && card->cate != selection_.Code()))
        return false;
    window_ = {numero};
    index_ = 0;
    position_ = Position::OnRow;
    card_ = std::move(card);
    return true;
}

// Counting a large table costs a scan: only callers that read the count pay for it.
qint32 Recordset::RecordCount() const {
    if (countPending_) {
        const SelectionCount counted = collection().Count(selection_);
        recordCount_ = qint32(counted.cards);
        countedLast_ = counted.last;
        countPending_ = false;
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

void Recordset::MoveNext() {
    switch (position_) {
    case Position::AfterLast:
        collection();
        return;
    case Position::BeforeFirst:
        MoveFirst();
        return;
    case Position::OnRow:
        if (index_ + 1 < window_.size()) {
            collection();
            ++index_;
            return;
        }
        if (!LoadAfter(window_[index_]))
            position_ = Position::AfterLast;
        return;
    }
}

void Recordset::MovePrevious() {
    switch (position_) {
    case Position::BeforeFirst:
        collection();
        return;
    case Position::AfterLast:
        position_ = LoadBefore(kAfterAll) ? Position::OnRow : Position::BeforeFirst;
        return;
    case Position::OnRow:
        if (index_ > 0) {
            collection();
            --index_;
            return;
        }
        if (!LoadBefore(window_[index_]))
            position_ = Position::BeforeFirst;
        return;
    }
}

// Every access goes through the collection, so that a closed one never shows half a card from
// the window of rows kept in memory.
qint64 Recordset::CurrentNumero() const {
    collection();
    if (position_ != Position::OnRow)
        throw NoCurrentRecord();
    return window_[index_];
}

const StoredCard& Recordset::CurrentCard() const {
    const qint64 numero = CurrentNumero();
    if (!card_ || card_->numero != numero) {
        card_ = collection().ReadCard(numero);
        if (!card_)
            throw StoreError(
                StoreError::Kind::Failed,
                QStringLiteral("La fiche N° %1 n'existe plus dans la base.").arg(numero));
    }
    return *card_;
}

QVariant Recordset::Fields(const QString& name) const {
    if (name.compare(Field::Numero, Qt::CaseInsensitive) == 0)
        return QVariant(CurrentNumero());
    if (name.compare(Field::Cate, Qt::CaseInsensitive) == 0)
        return TextOrNull(CurrentCard().cate);
    if (name.compare(Field::Titre, Qt::CaseInsensitive) == 0)
        return TextOrNull(CurrentCard().titre);
    if (name.compare(Field::Pivanes, Qt::CaseInsensitive) == 0)
        return TextOrNull(CurrentCard().pivanes);
    throw StoreError(StoreError::Kind::Failed,
                     QStringLiteral("La table des fiches n'a pas de colonne « %1 ».").arg(name));
}
