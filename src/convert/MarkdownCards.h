#pragma once

#include "convert/CardText.h"

#include <memory>

// Cards as a folder of Markdown files: a sub-folder a category, named as the main window's menu
// names it, and a file a card, named from its number and title. Each file starts with a small
// header between two lines "---" (numero, categorie: its code, titre as a JSON string); the text
// follows as stored, byte for byte. A text missing from the collection comes back empty.
namespace MarkdownCards {

// Writes into the folder, which must exist and hold nothing.
std::unique_ptr<CardText::Writer> Writer(const QString& folder);
// Every ".md" file under the folder, in ascending card number.
std::unique_ptr<CardText::Reader> Reader(const QString& folder);

} // namespace MarkdownCards
