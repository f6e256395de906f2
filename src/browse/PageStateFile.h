#pragma once

#include "browse/GridPaging.h"

#include <optional>

// The file "Liste" in the current directory that keeps the grid's page state between two paging
// commands: two lines, the number of cards and the page marker. It is always written whole.
namespace PageStateFile {

inline constexpr const char* kName = "Liste";

// Nothing when the file is missing, empty or does not begin with two numbers.
std::optional<GridPaging::PageState> Read();
// False when the file cannot be written.
bool Write(GridPaging::PageState state);
// Leaves the file in place with nothing in it; false when that cannot be done.
bool Empty();

} // namespace PageStateFile
