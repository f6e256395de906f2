#pragma once

#include "convert/JetHeader.h"
#include "store/StoreError.h"

#include <QString>
#include <memory>
#include <optional>

// A Jet file that cannot be converted, with the French reason; the file is left as it was.
class JetError : public StoreError {
public:
    using StoreError::StoreError;
};

// One card as the old collection holds it: texts may be missing (NULL), which is not the same as
// empty.
struct JetCardRow {
    qint32 Numero = 0;
    std::optional<QString> Cate;
    std::optional<QString> Titre;
    std::optional<QString> Pivanes;

    bool operator==(const JetCardRow&) const = default;
};

// The card table of a Jet collection, read through libmdb row by row in the file's order. Texts
// come decoded from the file's own encoding; memo texts come whole. Every refusal is a JetError
// with a French sentence; the file is only ever read.
class JetSource {
public:
    explicit JetSource(const QString& fileName);
    JetSource(const JetSource&) = delete;
    JetSource& operator=(const JetSource&) = delete;
    ~JetSource();

    // False after the last card.
    bool Next(JetCardRow& row);
    // Counts the cards by reading the table through, from the start.
    qint64 CountCards();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Says in French why a Jet file cannot be converted, or nothing when it can be read.
std::optional<QString> JetRefusal(const QString& fileName, const JetHeader& header);
