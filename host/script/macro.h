// Keyboard macros: recording steps as text lines.
#pragma once

// Writes the line to the macro being recorded; nothing while no macro is recorded.
void RecordMacroLine(const char *line);
// A point event of the figure being drawn ("Draw SetPoint|DrawIt|CancelOne x y keys"), preceded by
// the state that changed since the last figure.
void RecordMacroDraw(const char *word, int x, int y, int keys);
void MarkMacroStateChanged(); // a figure was completed: the next one writes the changed state first
