// Bounded line and token reading for the menu files and the key map.
#include "shell/linefile.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

bool OpenLineFile(LineFile *file, const char *path)
{
    file->data = NULL;
    file->size = file->pos = 0;
    FILE *f = fopen(path, "rb");
    if (!f)
        return false;
    char *data = (char *)malloc(kLineFileMaxBytes);
    if (!data) {
        fclose(f);
        return false;
    }
    // Anything past the limit is not read: a menu file or key map is never that large.
    size_t n = fread(data, 1, kLineFileMaxBytes, f);
    fclose(f);
    file->data = data;
    file->size = n;
    return true;
}

void CloseLineFile(LineFile *file)
{
    free(file->data);
    file->data = NULL;
    file->size = file->pos = 0;
}

bool NextFileLine(LineFile *file, char *out, size_t size)
{
    if (size == 0)
        return false;
    out[0] = 0;
    if (!file->data || file->pos >= file->size)
        return false;
    size_t n = 0;
    while (file->pos < file->size) {
        char c = file->data[file->pos++];
        if (c == '\n')
            break;
        if (n + 1 < size)
            out[n++] = c;
    }
    if (n > 0 && out[n - 1] == '\r')
        n--;
    out[n] = 0;
    return true;
}

static bool IsBlankChar(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

static bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

const char *NextLineToken(const char *pos, char *out, size_t size)
{
    if (size > 0)
        out[0] = 0;
    if (!pos)
        return NULL;
    while (*pos && IsBlankChar(*pos))
        pos++;
    if (!*pos)
        return NULL;
    size_t n = 0;
    if (*pos == '"') {
        pos++;
        while (*pos && *pos != '"') {
            if (n + 1 < size)
                out[n++] = *pos;
            pos++;
        }
        if (*pos == '"')
            pos++;
    } else {
        while (*pos && !IsBlankChar(*pos)) {
            if (n + 1 < size)
                out[n++] = *pos;
            pos++;
        }
    }
    if (size > 0) {
        out[n] = 0;
        CopyTextCut(out, size, out); // a cut token keeps no half character
    }
    return pos;
}

void CopyTextCut(char *out, size_t size, const char *text)
{
    if (size == 0)
        return;
    size_t n = 0;
    while (text[n] && n + 1 < size) {
        if (IsLeadByte((unsigned char)text[n])) {
            if (!text[n + 1] || n + 2 >= size)
                break;
            n += 2;
        } else {
            n++;
        }
    }
    memmove(out, text, n);
    out[n] = 0;
}
