#pragma once

#include <optional>

namespace Screen {

// The primary screen's logical height in twips.
int HeightTwips();
void SetHeightForTests(std::optional<int> twips);

} // namespace Screen
