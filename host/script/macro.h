// Keyboard macros: recording steps as text lines.
#pragma once

// Writes the line to the macro being recorded; nothing while no macro is recorded.
void RecordMacroLine(const char *line);
