#pragma once

#include "browse/GridPaging.h"

#include <optional>

// The file "Liste" in the current directory that keeps the grid's page state between two paging
// commands: two lines, the number of cards and the page marker. It is always written whole, and
// only a regular file is read or replaced.
namespace PageStateFile {

inline constexpr const char* kName = "Liste";

// Nothing when the file is missing, empty or does not begin with two numbers. Throws UserError
// when something else than a regular file bears the name or the file cannot be read.
std::optional<GridPaging::PageState> Read();
// Both throw UserError with the system's reason when the file cannot be written; the old file
// then stays as it was.
void Write(GridPaging::PageState state);
// Leaves the file in place with nothing in it.
void Empty();

} // namespace PageStateFile
