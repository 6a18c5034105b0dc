// Line reading, tokens, comparisons, path splitting and number parsing over Shift-JIS text.
#include "base/textutil.h"
#include "testsupport.h"
#include <string.h>

static std::vector<std::string> Tokens(const char *line, size_t size = kTokenBytes)
{
    std::vector<std::string> out;
    std::vector<char> token(size);
    int pos = 0;
    for (;;) {
        int next = GetNextToken(line, pos, token.data(), token.size());
        if (next == pos || (!token[0] && !line[next]))
            break;
        out.push_back(token.data());
        pos = next;
    }
    return out;
}

TEST(TextUtil, TokensSkipBlanksAndGroupQuotes)
{
    EXPECT_EQ(Tokens(" Saver_dir\t\"C:\\My Plug\"  "), (std::vector<std::string>{"Saver_dir", "C:\\My Plug"}));
    EXPECT_EQ(Tokens("a \"\" b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Tokens("x\"y z"), (std::vector<std::string>{"x\"y", "z"}));
    // An unclosed quote runs to the end of the line.
    char token[16];
    EXPECT_EQ(GetNextToken("\"open end", 0, token, sizeof token), 9);
    EXPECT_STREQ(token, "open end");
    EXPECT_EQ(GetNextToken("   ", 0, token, sizeof token), 3);
    EXPECT_STREQ(token, "");
}

TEST(TextUtil, OverlongTokensAreCutButSkippedWhole)
{
    std::string longWord(600, 'k');
    std::string line = longWord + " next";
    char token[8];
    int pos = GetNextToken(line.c_str(), 0, token, sizeof token);
    EXPECT_STREQ(token, "kkkkkkk");
    EXPECT_EQ(pos, 600);
    GetNextToken(line.c_str(), pos, token, sizeof token);
    EXPECT_STREQ(token, "next");
    // The exported form cuts at its 256-byte buffer.
    std::vector<char> big(300, 'x');
    std::string longer(1000, 'q');
    EXPECT_EQ(QzsGetToken(longer.c_str(), 0, big.data()), 1000);
    EXPECT_EQ(strlen(big.data()), 255u);
    EXPECT_EQ(big[256], 'x');
}

TEST(TextUtil, ReadTextLineCutsLongLinesAndSeesTheEnd)
{
    TempDir dir;
    std::string path = dir.file("lines.txt");
    WriteFileText(path, std::string(400, 'a') + "\nsecond\r\n\nlast");
    FILE *f = fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    char line[16];
    std::vector<std::string> got;
    while (ReadTextLine(f, line, sizeof line))
        got.push_back(line);
    fclose(f);
    EXPECT_EQ(got, (std::vector<std::string>{std::string(15, 'a'), "second", "", "last"}));
}

TEST(TextUtil, CompareWithoutCase)
{
    struct {
        const char *a, *b;
        int n, full, partial;
    } cases[] = {
        {"Draw", "draw", 4, 0, 0},     {"Draw", "DrawLine", 4, 1, 0}, {"DrawLine", "Draw", 8, -1, 0},
        {"", "", 3, 0, 0},             {"", "x", 3, 1, 1},            {"x", "", 3, -1, -1},
        {"abc", "abd", 3, -1, -1},     {"abd", "ABC", 2, 1, 0},       {"\x81" "a", "a", 1, -1, -1},
        {"key", "KEY", 0, 0, -1},
    };
    for (auto &c : cases) {
        EXPECT_EQ(CompareTextNoCase(c.a, c.b), c.full) << c.a << " / " << c.b;
        EXPECT_EQ(CompareTextNoCaseN(c.a, c.b, c.n), c.partial) << c.a << " / " << c.b << " n " << c.n;
    }
}

TEST(TextUtil, PathsSplitByCharacterNotByByte)
{
    // 0x95 0x5C is one character whose trail byte is a backslash.
    struct {
        const char *path, *dir, *name, *ext;
    } cases[] = {
        {"C:\\pics\\\x95\x5C.bmp", "C:\\pics", "\x95\x5C", "bmp"},
        {"C:\\pics\\noext", "C:\\pics", "noext", ""},
        {"plain.name.mrf", "", "plain.name", "mrf"},
        {"\\root.bmp", "", "root", "bmp"},
        {"C:\\dir\\.hidden", "C:\\dir", "", "hidden"},
    };
    for (auto &c : cases) {
        char dir[64], name[64], ext[64];
        SplitPath(c.path, dir, sizeof dir, name, sizeof name, ext, sizeof ext);
        EXPECT_STREQ(dir, c.dir) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(ext, c.ext) << c.path;
    }
    char out[8];
    GetTextBeforeLast("abc", out, sizeof out, '.');
    EXPECT_STREQ(out, "");
    GetTextAfterLast("abc.", out, sizeof out, '.');
    EXPECT_STREQ(out, "");
    GetTextBeforeLastOrAll("a_very_long_name.x", out, sizeof out, '.');
    EXPECT_STREQ(out, "a_very_");
}

TEST(TextUtil, NumbersAndEscapes)
{
    EXPECT_EQ(ParseSizeText("2mb"), 2097152);
    EXPECT_EQ(ParseSizeText("512KB"), 524288);
    EXPECT_EQ(ParseSizeText("300"), 300);
    EXPECT_EQ(ParseSizeText("300gb"), 300);
    EXPECT_EQ(ParseSizeText("mb"), 0);
    EXPECT_EQ(ParseSizeText("99999999999999999999999mb"), INT64_MAX);
    EXPECT_EQ(ParseHexText("ff"), 255u);
    EXPECT_EQ(ParseHexText("FF"), 255u);
    EXPECT_EQ(ParseHexText("g1"), 1u);
    EXPECT_EQ(ParseHexText("123456789"), 0x23456789u);
    EXPECT_EQ(ParseHexText(""), 0u);

    char out[32];
    ResolveEscapes("a\\nb\\tc\\\\d\\q", out, sizeof out);
    EXPECT_STREQ(out, "a\nb\tc\\dq");
    // A backslash trail byte is part of its character; a final backslash does not eat the NUL.
    ResolveEscapes("\x95\x5Cn\\", out, sizeof out);
    EXPECT_STREQ(out, "\x95\x5Cn");
    ResolveEscapes("\x95", out, sizeof out);
    EXPECT_STREQ(out, "\x95");
    ResolveEscapes("abcdef", out, 4);
    EXPECT_STREQ(out, "abc");

    FormatZeroPadded(out, sizeof out, 7, 3);
    EXPECT_STREQ(out, "007");
    FormatZeroPadded(out, sizeof out, 1234, 3);
    EXPECT_STREQ(out, "234");
    FormatZeroPadded(out, sizeof out, 5, 0);
    EXPECT_STREQ(out, "");
    int32_t a = 1, b = 2;
    EXPECT_EQ(SwapInts(&a, &b), &a);
    EXPECT_EQ(a * 10 + b, 21);
}

// Texts for messages keep their start and their end; a double-byte character is never split.
TEST(TextUtil, TextForDisplayKeepsStartAndEnd)
{
    std::string jp;
    for (int i = 0; i < 10; i++)
        jp += "\x82\xa0";
    struct {
        std::string text;
        size_t size;
        std::string shown;
    } cases[] = {
        {"short", 16, "short"},
        {"abcdefghijklmno", 16, "abcdefghijklmno"},
        {"abcdefghijklmnopqrstuvwxyz", 16, "abcdef...uvwxyz"},
        {"abc" + jp, 16, "abc\x82\xa0...\x82\xa0\x82\xa0\x82\xa0"},
    };
    for (auto &c : cases) {
        char out[64];
        CopyTextForDisplay(out, c.size, c.text.c_str());
        EXPECT_EQ(std::string(out), c.shown) << c.text;
        EXPECT_LT(strlen(out), c.size);
    }
}
