#pragma once

#include "convert/CardText.h"

#include <memory>

// Cards as one page to read or print: a section a category, in the catalogue's order, then the
// cards of no known category; each card its number, title and text with its line breaks. The
// page is for people: it is not read back.
namespace HtmlCards {

std::unique_ptr<CardText::Writer> Writer(FileWriter& file);

} // namespace HtmlCards
