#pragma once

// Lets the window repaint between two copied files: pending events run until the time of day,
// rounded to the whole second when the pause began, has passed by 0.05 s. The mark is a moment
// of a given day, so a pause that begins just before midnight ends as well.
void PauseBetweenFiles();
