#pragma once

#include "platform/Guard.h"

#include <memory>

// Builds the application object. Where no screen can be reached Qt would abort with an English
// message; this says so in French first and ends the process with code 1.
std::unique_ptr<PivanesApplication> MakeApplication();

// Whether windows are shown on a screen that someone can see (not a screenless platform).
bool HasVisibleScreen();
