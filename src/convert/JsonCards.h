#pragma once

#include "convert/CardText.h"

#include <memory>

// Cards as a JSON array, one object a card on a line of its own: numero, categorie (its code),
// nom_categorie, titre, texte. A value missing from the collection is null.
namespace JsonCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file);
std::unique_ptr<CardText::Reader> Reader(const QString& fileName);

} // namespace JsonCards
