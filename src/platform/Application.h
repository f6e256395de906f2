#pragma once

// Ending the program: every window goes without further events. Tests see the request instead.
namespace Application {

void End();

namespace Testing {
void Enable();
bool EndRequested();
void Clear();
} // namespace Testing

} // namespace Application
