// Keyboard macros: recording the user's steps as text lines in one file, and replaying them at
// the mouse position through the script interpreter.
#pragma once

// RecordMacro: starts recording into the file at path (the state written afresh before the first
// figure), or stops when a macro is being recorded. 1 recording afterwards.
int ToggleMacroRecording(const char *path);
bool IsMacroRecording();
// Every snapshot forgotten: the next figure is preceded by the whole state.
void ResetMacroRecorder();

// Writes the line to the macro being recorded; nothing while no macro is recorded.
void RecordMacroLine(const char *line);
// The state lines (colour records, pen, draw method) that changed since they were last written.
void RecordMacroState();
// A point event of the figure being drawn ("Draw SetPoint|DrawIt|CancelOne x y keys"), preceded by
// the state that changed since the last figure.
void RecordMacroDraw(const char *word, int x, int y, int keys);
void MarkMacroStateChanged(); // a figure was completed: the next one writes the changed state first
// The Effect line: the effect's name and every set slot of the effect parameter table.
void RecordMacroEffect(const char *name);

// ExecuteMacro: replays the file with its first point at the mouse position in the current image
// window. 0 when refused (messages 63 while recording, 64 when the file does not open), else 1.
int PlayMacroFile(const char *path);
