#pragma once

#include "store/Card.h"

#include <QString>
#include <functional>
#include <memory>

class Connection;

// Writes a new card database, its cards and its indexes in one transaction: the fast way to build
// demo, test and benchmark collections. Refuses to replace an existing file.
class CollectionWriter {
public:
    explicit CollectionWriter(const QString& fileName);
    CollectionWriter(const CollectionWriter&) = delete;
    CollectionWriter& operator=(const CollectionWriter&) = delete;
    ~CollectionWriter();

    void Add(const Card& card);
    void Commit();

private:
    std::unique_ptr<Connection> connection_;
    bool committed_ = false;
};
