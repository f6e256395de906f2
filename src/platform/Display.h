#pragma once

#include "platform/Guard.h"

#include <memory>

// Builds the application object. Where no screen can be reached Qt would abort with English
// messages; this says so in French alone and ends the process with code 1.
std::unique_ptr<PivanesApplication> MakeApplication();

// Whether windows are shown on a screen that someone can see (not a screenless platform).
bool HasVisibleScreen();
