#include "base/textutil.h"
#include "ovrin.h"
#include <string.h>
#include <vector>

int IsBlank(int byte)
{
    return byte == ' ' || byte == '\n' || byte == '\t';
}

int IsLeadByte(int byte)
{
    byte &= 0xFF;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void ConvertTextToCodes(const char *text, uint32_t *codes, size_t count)
{
    if (count == 0)
        return;
    const unsigned char *p = (const unsigned char *)text;
    size_t n = 0;
    while (*p && n + 1 < count) {
        if (IsLeadByte(*p) && p[1]) {
            codes[n++] = (uint32_t)p[0] << 8 | p[1];
            p += 2;
        } else
            codes[n++] = *p++;
    }
    codes[n] = 0;
}

void ConvertCodesToText(const uint32_t *codes, char *text, size_t size)
{
    if (size == 0)
        return;
    size_t n = 0;
    for (; *codes; codes++) {
        if (*codes > 255) {
            if (n + 2 >= size)
                break;
            text[n++] = (char)(*codes >> 8);
            text[n++] = (char)(*codes & 0xFF);
        } else {
            if (n + 1 >= size)
                break;
            text[n++] = (char)*codes;
        }
    }
    text[n] = 0;
}

void CopyText(char *out, size_t size, const char *text)
{
    if (size == 0)
        return;
    size_t n = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (p[n]) {
        size_t step = IsLeadByte(p[n]) && p[n + 1] ? 2 : 1;
        if (n + step >= size)
            break;
        n += step;
    }
    memmove(out, text, n);
    out[n] = 0;
}

void CopyTextForDisplay(char *out, size_t size, const char *text)
{
    size_t length = strlen(text);
    if (length < size || size < 8) {
        CopyText(out, size, text);
        return;
    }
    // The end of a path names the file: the start and the end keep half the room each.
    size_t room = size - 4, head = 0;
    CopyText(out, room / 2 + 1, text);
    head = strlen(out);
    size_t from = length - (room - head), at = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (at < from)
        at += IsLeadByte(p[at]) && p[at + 1] ? 2 : 1;
    memcpy(out + head, "...", 3);
    memcpy(out + head + 3, text + at, length - at + 1);
}

int ReadTextLine(FILE *stream, char *line, size_t size)
{
    int c = fgetc(stream);
    if (c == EOF) {
        if (size)
            line[0] = 0;
        return 0;
    }
    size_t n = 0;
    for (; c != EOF && c != '\n'; c = fgetc(stream))
        if (n + 1 < size)
            line[n++] = (char)c;
    if (n > 0 && line[n - 1] == '\r')
        n--;
    if (size)
        line[n] = 0;
    return 1;
}

int GetNextToken(const char *line, int start, char *token, size_t size)
{
    size_t n = 0;
    int i = start < 0 ? 0 : start;
    // A start past the text's end finds nothing.
    if ((size_t)i > strlen(line))
        i = (int)strlen(line);
    while (line[i] && IsBlank((unsigned char)line[i]))
        i++;
    if (line[i] == '"') {
        i++;
        for (; line[i] && line[i] != '"'; i++)
            if (n + 1 < size)
                token[n++] = line[i];
        if (line[i] == '"')
            i++;
    } else {
        for (; line[i] && !IsBlank((unsigned char)line[i]); i++)
            if (n + 1 < size)
                token[n++] = line[i];
    }
    if (size)
        token[n] = 0;
    return i;
}

const char *NextTextToken(const char *pos, char *token, size_t size)
{
    if (size)
        token[0] = 0;
    if (!pos)
        return NULL;
    while (*pos && IsBlank((unsigned char)*pos))
        pos++;
    if (!*pos)
        return NULL;
    return pos + GetNextToken(pos, 0, token, size);
}

QZS_DECL(int) QzsGetToken(const char *line, int start, char *token)
{
    if (!line || !token)
        return start;
    return GetNextToken(line, start, token, kTokenBytes);
}

static int FoldByte(char c)
{
    if (c >= 'A' && c <= 'Z')
        c = (char)(c - 'A' + 'a');
    return (signed char)c;
}

int CompareTextNoCase(const char *a, const char *b)
{
    if (!*a)
        return *b ? 1 : 0;
    if (!*b)
        return -1;
    for (; *a && *b; a++, b++) {
        int x = FoldByte(*a), y = FoldByte(*b);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (*a)
        return -1;
    if (*b)
        return 1;
    return 0;
}

int CompareTextNoCaseN(const char *a, const char *b, int n)
{
    if (n < 1 || !*a || !*b) {
        if (*a == *b)
            return 0;
        return *a ? -1 : 1;
    }
    for (int i = 0; i < n && a[i] && b[i]; i++) {
        int x = FoldByte(a[i]), y = FoldByte(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

namespace {
struct Codes {
    std::vector<uint32_t> v;
    size_t len = 0;
    explicit Codes(const char *text) : v(kCodeCount)
    {
        ConvertTextToCodes(text, v.data(), v.size());
        while (v[len])
            len++;
    }
    // Position of the last code equal to ch, or -1.
    long Last(int ch) const
    {
        for (size_t i = len; i-- > 0;)
            if (v[i] == (uint32_t)(ch & 0xFF))
                return (long)i;
        return -1;
    }
    void Write(size_t from, size_t to, char *out, size_t size) const
    {
        std::vector<uint32_t> part(v.begin() + from, v.begin() + to);
        part.push_back(0);
        ConvertCodesToText(part.data(), out, size);
    }
};
} // namespace

void GetTextBeforeLast(const char *text, char *out, size_t size, int ch)
{
    Codes c(text);
    long at = c.Last(ch);
    c.Write(0, at > 0 ? (size_t)at : 0, out, size);
}

void GetTextBeforeLastOrAll(const char *text, char *out, size_t size, int ch)
{
    Codes c(text);
    long at = c.Last(ch);
    c.Write(0, at < 0 ? c.len : (size_t)at, out, size);
}

void GetTextAfterLast(const char *text, char *out, size_t size, int ch)
{
    Codes c(text);
    long at = c.Last(ch);
    c.Write(at < 0 ? c.len : (size_t)at + 1, c.len, out, size);
}

void SplitPath(const char *path, char *dir, size_t dirSize, char *name, size_t nameSize, char *ext, size_t extSize)
{
    Codes c(path);
    long at = c.Last('\\');
    c.Write(0, at > 0 ? (size_t)at : 0, dir, dirSize);
    std::vector<char> file(kCodeCount * 2);
    c.Write(at < 0 ? 0 : (size_t)at + 1, c.len, file.data(), file.size());
    GetTextBeforeLastOrAll(file.data(), name, nameSize, '.');
    GetTextAfterLast(file.data(), ext, extSize, '.');
}

int64_t ParseSizeText(const char *text)
{
    int64_t value = 0;
    const char *p = text;
    // Digits past what 63 bits hold leave the value at its largest.
    for (; *p >= '0' && *p <= '9'; p++)
        value = value > (INT64_MAX - 9) / 10 ? INT64_MAX : value * 10 + (*p - '0');
    int shift = 0;
    if (CompareTextNoCase(p, "kb") == 0)
        shift = 10;
    else if (CompareTextNoCase(p, "mb") == 0)
        shift = 20;
    if (shift && value > (INT64_MAX >> shift))
        return INT64_MAX;
    return value << shift;
}

uint32_t ParseHexText(const char *text)
{
    uint32_t value = 0;
    for (const char *p = text; *p; p++) {
        int d = 0;
        if (*p >= '0' && *p <= '9')
            d = *p - '0';
        else if (*p >= 'a' && *p <= 'f')
            d = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F')
            d = *p - 'A' + 10;
        value = value * 16 + (uint32_t)d;
    }
    return value;
}

int32_t *SwapInts(int32_t *a, int32_t *b)
{
    int32_t t = *a;
    *a = *b;
    *b = t;
    return a;
}

void ResolveEscapes(const char *text, char *out, size_t size)
{
    if (size == 0)
        return;
    size_t n = 0;
    const unsigned char *p = (const unsigned char *)text;
    while (*p) {
        unsigned char c = *p++;
        if (IsLeadByte(c) && *p) {
            if (n + 2 >= size)
                break;
            out[n++] = (char)c;
            out[n++] = (char)*p++;
            continue;
        }
        if (c == '\\') {
            if (!*p)
                break; // nothing follows: the backslash is dropped, the NUL kept
            c = *p++;
            c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
        if (n + 1 >= size)
            break;
        out[n++] = (char)c;
    }
    out[n] = 0;
}

void FormatZeroPadded(char *out, size_t size, uint32_t value, int digits)
{
    if (size == 0)
        return;
    if (digits < 1) {
        out[0] = 0;
        return;
    }
    size_t n = (size_t)digits < size ? (size_t)digits : size - 1;
    for (size_t i = n; i-- > 0;) {
        out[i] = (char)('0' + value % 10);
        value /= 10;
    }
    out[n] = 0;
}
