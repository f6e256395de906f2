#pragma once

#include "store/Card.h"

#include <QList>
#include <QStringList>

class QWidget;

enum class CategoryGroup;

// The category buttons of a card form as the catalogue lays them out: "Bureautique" and the
// top-level ones, or the office ones.
QStringList CatalogueButtons(CategoryGroup group);

// Clicks the named button of a window if the user can see it; false otherwise.
bool Press(const QWidget& form, const char* name);
// The names of the buttons the user sees, from top to bottom.
QStringList VisibleButtons(const QWidget& form);

// Makes the open card store refuse every write. The file is write-protected where that stops
// writes; a privileged user writes through file modes, so the connection is then made
// read-only instead.
void RefuseWrites(const QString& fileName = QStringLiteral("Pivane.mdb"));
