// Tokens of macro and script lines. Effect values are written between double quotes with their
// backslashes, quotes and line breaks escaped, so that a value replays byte for byte; names are
// quoted only when they hold a blank, a quote or a control byte. Paths and numbers stay plain
// tokens as the host tokenizer reads them: a backslash there is part of the path.
#pragma once
#include <stdint.h>
#include <string>

// Appends text as one token: always between quotes with its escapes when quote is set, else bare
// unless it needs quoting (an empty text is written as "").
void AppendMacroToken(std::string &line, const char *text, bool quote);

// The next token from pos on, blanks skipped: a run of non-blank bytes, or a double-quoted string
// without its quotes (escapes undone when unescape is set; an unknown escape stays as written).
// The position after the token; NULL, with an empty token, when only blanks are left.
const char *ReadMacroToken(const char *pos, std::string &token, bool unescape);

// A decimal number as the script reads it: leading digits with an optional sign, 0 without any,
// held to the int range.
int ParseScriptNumber(const std::string &token);
