// Tokens of macro and script lines, read as the host tokenizer reads them: a run of non-blank
// bytes, or a double-quoted string without its quotes and nothing else undone, so that a
// backslash in a hand-written path stays a backslash. A value that holds a quote or a line break
// cannot be written that way: the recorder writes it marked, a backslash before its opening quote,
// with its backslashes, quotes and line breaks escaped (\"say \"hi\"\r\n"), and only a token so
// marked has its escapes undone.
#pragma once
#include <stdint.h>
#include <string>

// Appends text as one token: between quotes when quote is set or the text needs them (empty, or
// holding a blank or a control byte), bare otherwise; marked and escaped when it holds a quote or
// a line break.
void AppendMacroToken(std::string &line, const char *text, bool quote);

// The next token from pos on, blanks skipped; with marked set, a marked token comes back with its
// escapes undone (an unknown escape stays as written), else it is an ordinary run of bytes.
// The position after the token; NULL, with an empty token, when only blanks are left.
const char *ReadMacroToken(const char *pos, std::string &token, bool marked);

// A decimal number as the script reads it: leading digits with an optional sign, 0 without any,
// held to the int range.
int ParseScriptNumber(const std::string &token);
