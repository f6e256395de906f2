#pragma once

#include <QSize>
#include <optional>

namespace Screen {

// The primary screen's logical height in twips: Qt's own high-DPI scaling is already in it.
int HeightTwips();
// What windows may take of the primary screen (without panels and task bars), in logical pixels.
QSize AvailablePixels();

// A screen of that height; its available area defaults to the whole of a 16:9 screen.
void SetHeightForTests(std::optional<int> twips, QSize availablePixels = QSize());

} // namespace Screen
