// A small bounded reader for the menu files and the key map: the whole file is read into memory
// (at most kLineFileMaxBytes), then walked line by line and token by token. Lines and tokens longer
// than the caller's buffer are cut, never copied past it.
#pragma once
#include <stddef.h>

enum { kLineFileMaxBytes = 1 << 20, kLineBytes = 256 };

struct LineFile {
    char *data;
    size_t size;
    size_t pos;
};

bool OpenLineFile(LineFile *file, const char *path); // false when the file cannot be read
void CloseLineFile(LineFile *file);
// Next line without its line end, cut to size - 1 bytes; false at the end of the file.
bool NextFileLine(LineFile *file, char *out, size_t size);
// Next token of text from pos: blank-separated (space, tab, line ends) or double-quoted ("" is an
// empty token; an unclosed quote runs to the end). Result: the position after the token, or NULL
// when no token is left (out is then empty).
const char *NextLineToken(const char *pos, char *out, size_t size);
// Copies text into out (size bytes), cut so that no half of a two-byte character is left at the end.
void CopyTextCut(char *out, size_t size, const char *text);
