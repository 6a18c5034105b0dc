// Quoting and reading the tokens of macro lines.
#include "script/scripttext.h"
#include "base/textutil.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

// A quote or a line break: no plain token can hold it.
static bool NeedsMark(const char *text)
{
    return strpbrk(text, "\"\r\n") != NULL;
}

static bool NeedsQuotes(const char *text)
{
    if (!*text)
        return true;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (*p < 0x20 || *p == ' ' || *p == 0x7F)
            return true;
    return false;
}

void AppendMacroToken(std::string &line, const char *text, bool quote)
{
    if (!text)
        text = "";
    if (!NeedsMark(text)) {
        if (quote || NeedsQuotes(text))
            line.append(1, '"').append(text).append(1, '"');
        else
            line += text;
        return;
    }
    // Byte by byte on both sides: a Shift-JIS trail byte 0x5C is escaped and comes back as it was.
    line += "\\\"";
    for (const char *p = text; *p; p++) {
        switch (*p) {
        case '\\': line += "\\\\"; break;
        case '"': line += "\\\""; break;
        case '\r': line += "\\r"; break;
        case '\n': line += "\\n"; break;
        default: line += *p;
        }
    }
    line += '"';
}

// A marked token's text after its opening quote, up to the closing quote that no backslash escapes.
static const char *ReadEscaped(const char *p, std::string &token)
{
    for (; *p && *p != '"'; p++) {
        if (*p != '\\' || !p[1]) {
            token += *p;
            continue;
        }
        switch (p[1]) {
        case '\\': token += '\\'; break;
        case '"': token += '"'; break;
        case 'r': token += '\r'; break;
        case 'n': token += '\n'; break;
        default: token += '\\'; token += p[1]; break;
        }
        p++;
    }
    return *p == '"' ? p + 1 : p;
}

const char *ReadMacroToken(const char *pos, std::string &token, bool marked)
{
    token.clear();
    if (!pos)
        return NULL;
    while (*pos && IsBlank((unsigned char)*pos))
        pos++;
    if (!*pos)
        return NULL;
    if (marked && pos[0] == '\\' && pos[1] == '"')
        return ReadEscaped(pos + 2, token);
    if (*pos == '"') {
        const char *end = strchr(pos + 1, '"');
        if (!end)
            end = pos + strlen(pos);
        token.assign(pos + 1, (size_t)(end - pos - 1));
        return *end ? end + 1 : end;
    }
    const char *start = pos;
    while (*pos && !IsBlank((unsigned char)*pos))
        pos++;
    token.assign(start, (size_t)(pos - start));
    return pos;
}

int ParseScriptNumber(const std::string &token)
{
    long long v = strtoll(token.c_str(), NULL, 10);
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v;
}
