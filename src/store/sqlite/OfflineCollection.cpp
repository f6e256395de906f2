#include "store/sqlite/OfflineCollection.h"

#include "store/StoreError.h"
#include "store/sqlite/Connection.h"
#include "store/sqlite/CopyFile.h"
#include "store/sqlite/Sql.h"
#include "store/sqlite/SqliteCollection.h"

#include <QUuid>

namespace {

CardFields FieldsOf(const StoredCard& card) {
    return {card.cate, card.titre, card.pivanes};
}

QString NewId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace

OfflineCollection::OfflineCollection(std::unique_ptr<CopyFile> copy, const QString& server)
    : copy_(std::move(copy)), place_(CollectionPlace::Server(server)) {}

OfflineCollection::~OfflineCollection() = default;

std::optional<QString> OfflineCollection::WhyReadOnly() const {
    return copy_->Cards().WhyReadOnly();
}

SelectionCount OfflineCollection::Count(const Selection& selection) {
    return copy_->Cards().Count(selection);
}

std::unique_ptr<CardRows> OfflineCollection::Rows(const Selection& selection) {
    return copy_->Cards().Rows(selection);
}

std::optional<StoredCard> OfflineCollection::ReadCard(qint64 numero) {
    return copy_->Cards().ReadCard(numero);
}

void OfflineCollection::EachCard(const std::function<void(const StoredCard&)>& take) {
    copy_->Cards().EachCard(take);
}

FoundCards OfflineCollection::SearchTitles(const Selection& selection, QByteArrayView keyword,
                                           qint64 upTo) {
    return copy_->Cards().SearchTitles(selection, keyword, upTo);
}

FoundCards OfflineCollection::SearchTexts(const Selection& selection, const TextQuery& query,
                                          qint64 upTo) {
    return copy_->Cards().SearchTexts(selection, query, upTo);
}

qint64 OfflineCollection::Add(const CardFields& fields) {
    qint64 numero = 0;
    copy_->Transaction([&] {
        numero = copy_->connection().FirstText(Sql::kNextProvisional).toLongLong();
        copy_->Put(numero, fields);
        copy_->Queue({NewId(), QueuedChange::Kind::Add, numero, {}, fields});
    });
    return numero;
}

StoredCard OfflineCollection::Update(const StoredCard& asRead, const CardFields& changes) {
    StoredCard updated;
    copy_->Transaction([&] {
        const std::optional<StoredCard> before = copy_->Cards().ReadCard(asRead.numero);
        updated = copy_->Cards().Update(asRead, changes); // refused when there is no card
        copy_->Queue({NewId(), QueuedChange::Kind::Edit, asRead.numero, FieldsOf(*before),
                      FieldsOf(updated)});
    });
    return updated;
}

void OfflineCollection::MoveToTrash(qint64 numero) {
    copy_->Transaction([&] {
        const std::optional<StoredCard> before = copy_->Cards().ReadCard(numero);
        copy_->Cards().MoveToTrash(numero); // refused when there is no card
        copy_->Queue({NewId(), QueuedChange::Kind::Trash, numero, FieldsOf(*before), {}});
    });
}

std::vector<TrashEntry> OfflineCollection::Trash() {
    return copy_->Cards().Trash();
}

void OfflineCollection::EachTrashed(const std::function<void(const TrashedCard&)>& take) {
    copy_->Cards().EachTrashed(take);
}

void OfflineCollection::PutBack(qint64 numero) {
    copy_->Transaction([&] {
        copy_->Cards().PutBack(numero);
        copy_->Queue({NewId(),
                      QueuedChange::Kind::PutBack,
                      numero,
                      {},
                      FieldsOf(*copy_->Cards().ReadCard(numero))});
    });
}

void OfflineCollection::NeedsServer(const QString& what) const {
    throw StoreError(StoreError::Kind::ReadOnly,
                     QStringLiteral("%1 demande le serveur « %2 », qui ne répond pas : Pivanes "
                                    "travaille sur sa copie locale, et rien n'a été fait.")
                         .arg(what, place_.name));
}

Imported OfflineCollection::Import(const CardSource&) {
    NeedsServer(QStringLiteral("Une importation"));
}

qint64 OfflineCollection::EmptyTrash() {
    NeedsServer(QStringLiteral("Vider la corbeille"));
}

void OfflineCollection::AddToTrash(const TrashSource&) {
    NeedsServer(QStringLiteral("Une restauration"));
}

qint64 OfflineCollection::SnapshotInto(const QString&) {
    NeedsServer(QStringLiteral("Une sauvegarde"));
}

void OfflineCollection::ReplaceWith(const QString&) {
    NeedsServer(QStringLiteral("Une restauration"));
}

Compacted OfflineCollection::Compact() {
    NeedsServer(QStringLiteral("Le compactage"));
}
