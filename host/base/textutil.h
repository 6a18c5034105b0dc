// Text routines shared by every reader of the program's text files. Texts are Shift-JIS byte
// strings: path routines walk them by character so that a trail byte 0x5C is never a separator.
// Every routine that writes takes the size of its buffer and cuts what does not fit.
#pragma once
#include <stdint.h>
#include <stdio.h>
#include <stddef.h>

enum { kLineBytes = 256, kTokenBytes = 256, kCodeCount = 2048 };

int IsBlank(int byte);     // space, line feed, tab
int IsLeadByte(int byte);  // first byte of a double-byte character

// Codes: one 32-bit value per character, a double-byte character as lead * 256 + trail, ending
// with 0. A lead byte at the very end of the text stands alone. Results are cut to the room given.
void ConvertTextToCodes(const char *text, uint32_t *codes, size_t count);
void ConvertCodesToText(const uint32_t *codes, char *text, size_t size);

// One line without its line feed (and without a carriage return before it); 1 with a line, 0 at
// the end of the stream. Bytes past the buffer are skipped up to the line end.
int ReadTextLine(FILE *stream, char *line, size_t size);
// The token from start on (blanks skipped, double quotes group); the position after it. The
// token is cut to its buffer; the position always moves past the whole token.
int GetNextToken(const char *line, int start, char *token, size_t size);

// The same walk with a pointer: NULL (and an empty token) when only blanks are left.
const char *NextTextToken(const char *pos, char *token, size_t size);

int CompareTextNoCase(const char *a, const char *b);
int CompareTextNoCaseN(const char *a, const char *b, int n);

void GetTextBeforeLast(const char *text, char *out, size_t size, int ch);
void GetTextBeforeLastOrAll(const char *text, char *out, size_t size, int ch);
void GetTextAfterLast(const char *text, char *out, size_t size, int ch);
void SplitPath(const char *path, char *dir, size_t dirSize, char *name, size_t nameSize, char *ext, size_t extSize);

int64_t ParseSizeText(const char *text);
uint32_t ParseHexText(const char *text);
int32_t *SwapInts(int32_t *a, int32_t *b);
// A backslash at the very end of the text is dropped.
void ResolveEscapes(const char *text, char *out, size_t size);
// Values outside 0 to 10^digits - 1 keep their lowest digits.
void FormatZeroPadded(char *out, size_t size, uint32_t value, int digits);
// Copies at most size - 1 bytes and terminates; never splits a double-byte character.
void CopyText(char *out, size_t size, const char *text);
// A text for a message: whole when it fits, else its start and its end joined by "...".
void CopyTextForDisplay(char *out, size_t size, const char *text);
