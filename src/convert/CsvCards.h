#pragma once

#include "convert/CardText.h"

#include <memory>

// Cards as CSV (RFC 4180, UTF-8): a header, then one record a card, ended by CR LF: numero,
// categorie (its code), nom_categorie, titre, texte. A field is quoted when it holds a comma, a
// quote or a line end; a value missing from the collection is written empty.
namespace CsvCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file);
// The file is read in place (mapped), never whole into memory.
std::unique_ptr<CardText::Reader> Reader(const QString& fileName);

} // namespace CsvCards
