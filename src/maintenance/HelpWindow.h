#pragma once

// The program's own help, in French, for when the help file cannot be opened.
void ShowProgramHelp();
