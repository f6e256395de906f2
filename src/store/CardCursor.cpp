#include "store/CardCursor.h"

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

} // namespace

CardCursor::CardCursor(std::weak_ptr<Collection> collection, Selection selection)
    : collection_(std::move(collection)), selection_(std::move(selection)) {}

CardCursor::~CardCursor() = default;

Collection& CardCursor::collection() const {
    const std::shared_ptr<Collection> open = collection_.lock();
    if (!open)
        throw StoreError::CollectionClosed();
    return *open;
}

CardRows& CardCursor::Rows() {
    Collection& open = collection();
    if (!rows_)
        rows_ = open.Rows(selection_);
    return *rows_;
}

bool CardCursor::Load(const std::vector<CardRow>& rows) {
    windowRows_ = std::min(windowRows_ * 8, kLargestWindowRows);
    if (rows.empty())
        return false;
    window_.clear();
    for (const CardRow& row : rows)
        window_.push_back(row.numero);
    return true;
}

bool CardCursor::LoadAfter(qint64 numero) {
    if (numero == kAfterAll || !Load(Rows().Upward(numero + 1, 0, windowRows_)))
        return false;
    index_ = 0;
    return true;
}

bool CardCursor::LoadBefore(qint64 numero) {
    if (numero == kBeforeAll || !Load(Rows().Downward(numero - 1, 0, windowRows_)))
        return false;
    std::reverse(window_.begin(), window_.end());
    index_ = window_.size() - 1;
    return true;
}

void CardCursor::MoveFirst() {
    windowRows_ = kFirstWindowRows;
    position_ = LoadAfter(kBeforeAll) ? Position::OnRow : Position::AfterLast;
}

void CardCursor::MoveLast() {
    windowRows_ = kFirstWindowRows;
    if (!LoadBefore(kAfterAll)) {
        position_ = Position::AfterLast;
        throw NoCurrentRecord();
    }
    position_ = Position::OnRow;
}

bool CardCursor::Seek(qint64 numero) {
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

void CardCursor::MoveNext() {
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

void CardCursor::MovePrevious() {
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
qint64 CardCursor::CurrentNumero() const {
    collection();
    if (position_ != Position::OnRow)
        throw NoCurrentRecord();
    return window_[index_];
}

const StoredCard& CardCursor::CurrentCard() const {
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
