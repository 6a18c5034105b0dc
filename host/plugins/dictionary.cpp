// The plug-in name dictionary. Dictionary files are user input: every token is bounded, and texts
// are cut to their fields without splitting a double-byte character.
#include "plugins/dictionary.h"
#include "plugins/install.h"
#include "plugins/loader_internal.h"
#include "image/bindings.h"
#include "base/safefile.h"
#include "base/textutil.h"
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unordered_map>
#include <vector>

static DictionaryEntry *s_head[kDictKinds], *s_tail[kDictKinds];
// The entries of each kind by their exact name: dictionaries of many thousand lines are merged at
// every start, and a walk of the list per line would make that quadratic.
static std::unordered_map<std::string, DictionaryEntry *> s_index[kDictKinds];

// A written line holds two fields of which every byte may be escaped, with its kind and quotes.
enum { kDictionaryLineBytes = 4 * sizeof(DictionaryEntry::name) + 64 };

// Kind words as read (any ASCII case) and written, in the order of the written sections.
static const char *const kKindWords[kDictKinds] = {"Draw", "Effect", "FuncCol", "SubWin", "Trans", "Layer"};

void ResetDictionary()
{
    memset(s_head, 0, sizeof s_head);
    memset(s_tail, 0, sizeof s_tail);
    for (auto &index : s_index)
        index.clear();
}

DictionaryEntry *DictionaryHead(int kind) { return kind >= 0 && kind < kDictKinds ? s_head[kind] : NULL; }

static DictionaryEntry *Find(int kind, const char *name)
{
    auto it = s_index[kind].find(name);
    return it == s_index[kind].end() ? NULL : it->second;
}

const char *LookupTranslation(int kind, const char *name)
{
    if (kind < 0 || kind >= kDictKinds || !name)
        return "";
    DictionaryEntry *e = Find(kind, name);
    return e ? e->translation : "";
}

static void AddEntry(int kind, const char *name, const char *translation)
{
    char cut[sizeof(DictionaryEntry::name)];
    CopyText(cut, sizeof cut, name);
    if (Find(kind, cut))
        return; // the first entry for a name wins
    DictionaryEntry *e = (DictionaryEntry *)calloc(1, sizeof *e);
    if (!e)
        return;
    memcpy(e->name, cut, sizeof cut);
    CopyText(e->translation, sizeof e->translation, translation);
    try {
        s_index[kind].emplace(e->name, e);
    } catch (...) {
        free(e); // an entry that cannot be indexed is not added
        return;
    }
    if (s_tail[kind])
        s_tail[kind]->next = e;
    else
        s_head[kind] = e;
    s_tail[kind] = e;
}

// A lead byte that ends a text is half a character; written before the closing quote it would
// take the quote as its trail byte.
static void DropHalfCharacter(char *text)
{
    size_t i = 0, last = 0;
    while (text[i]) {
        last = i;
        i += IsLeadByte((unsigned char)text[i]) && text[i + 1] ? 2 : 1;
    }
    if (i > 0 && i - last == 1 && IsLeadByte((unsigned char)text[last]))
        text[last] = 0;
}

// The next name or translation. Inside double quotes a backslash keeps a following double quote or
// backslash in the text (any other backslash is itself); a double-byte character is taken whole, so
// that its trail byte 0x5C never counts as a backslash. A bare token is read as everywhere else.
static const char *NextDictionaryText(const char *pos, char *token, size_t size)
{
    while (pos && *pos && IsBlank((unsigned char)*pos))
        pos++;
    if (!pos || *pos != '"') {
        pos = NextTextToken(pos, token, size);
        DropHalfCharacter(token);
        return pos;
    }
    size_t n = 0;
    const char *p = pos + 1;
    auto put = [&](char c) {
        if (n + 1 < size)
            token[n++] = c;
    };
    while (*p && *p != '"') {
        if (IsLeadByte((unsigned char)*p) && p[1]) {
            put(*p++);
        } else if (*p == '\\' && (p[1] == '"' || p[1] == '\\')) {
            p++;
        }
        put(*p++);
    }
    if (size)
        token[n] = 0;
    DropHalfCharacter(token);
    return *p ? p + 1 : p;
}

// A text in double quotes that NextDictionaryText reads back as it is.
static void WriteDictionaryText(FILE *f, const char *text)
{
    fputc('"', f);
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        if (IsLeadByte(*p) && p[1]) {
            fputc(*p++, f);
        } else if (*p == '"' || *p == '\\') {
            fputc('\\', f);
        }
        fputc(*p, f);
    }
    fputc('"', f);
}

int ReadDictionaryFile(const char *path)
{
    FILE *f = fopen(path, "r");
    if (!f)
        return 0;
    // Tokens are read whole into line-sized buffers and only then cut to their fields.
    char line[kDictionaryLineBytes], word[kDictionaryLineBytes], name[kDictionaryLineBytes],
        translation[kDictionaryLineBytes];
    while (ReadTextLine(f, line, sizeof line)) {
        const char *p = NextTextToken(line, word, sizeof word);
        p = NextDictionaryText(p, name, sizeof name);
        NextDictionaryText(p, translation, sizeof translation);
        if (!name[0] || !translation[0])
            continue;
        for (int k = 0; k < kDictKinds; k++)
            if (CompareTextNoCase(word, kKindWords[k]) == 0) {
                AddEntry(k, name, translation);
                break;
            }
    }
    fclose(f);
    return 1;
}

static bool DictionaryPath(char *out, size_t size, const char *dir, const char *stem)
{
    return (size_t)snprintf(out, size, "%s\\%s.%s", dir, stem, g_cfg.ExtensionOfDictionary) < size;
}

void LoadDictionary()
{
    char path[kPathBytes], pattern[kPathBytes];
    if (DictionaryPath(path, sizeof path, g_cfg.Stat_dir, "othDic"))
        ReadDictionaryFile(path);
    if ((size_t)snprintf(pattern, sizeof pattern, "*.pld.%s", g_cfg.ExtensionOfDictionary) >= sizeof pattern)
        return;
    for (const std::string &name : ListPlainFiles(g_cfg.appDir, pattern)) {
        char from[kPathBytes], to[kPathBytes];
        if (!JoinPath(from, sizeof from, g_cfg.appDir, name.c_str()))
            continue;
        ReadDictionaryFile(from);
        if (JoinPath(to, sizeof to, g_cfg.OldPlug_dir, name.c_str()))
            InstallIfNewer(from, to, NULL);
    }
}

int WriteDictionaryFile(const char *path)
{
    SafeFile safe;
    FILE *f = OpenSafeFile(&safe, path);
    if (!f)
        return 0;
    for (int k = 0; k < kDictKinds; k++)
        for (DictionaryEntry *e = s_head[k]; e; e = e->next) {
            fprintf(f, "%s\t", kKindWords[k]);
            WriteDictionaryText(f, e->name);
            fputs("\t\t\t", f);
            WriteDictionaryText(f, e->translation);
            fputs("\r\n", f);
        }
    return CloseSafeFile(&safe, path, 1) == 0;
}

void SaveDictionary()
{
    char merged[kPathBytes], main[kPathBytes], old[kPathBytes];
    if (!DictionaryPath(merged, sizeof merged, g_cfg.Stat_dir, "othDicbk") ||
        !DictionaryPath(main, sizeof main, g_cfg.Stat_dir, "othDic") ||
        !DictionaryPath(old, sizeof old, g_cfg.OldPlug_dir, "othDic"))
        return;
    if (WriteDictionaryFile(merged))
        InstallIfNewer(merged, main, old);
}

void FreeDictionary()
{
    for (int k = 0; k < kDictKinds; k++)
        while (DictionaryEntry *e = s_head[k]) {
            s_head[k] = e->next;
            free(e);
        }
    ResetDictionary();
}

// Fills the empty translated names of a table's loaded rows; a longer translation is cut to the
// field at a character boundary.
template <typename Row> static void Apply(Row *rows, int count, int kind)
{
    for (int i = 0; i < count; i++)
        if (rows[i].module && !rows[i].translated[0])
            CopyText(rows[i].translated, sizeof rows[i].translated, LookupTranslation(kind, rows[i].name));
}

void ApplyDictionaryToDraws() { Apply(g_drawPlugins, kDrawRows, kDictDraw); }
void ApplyDictionaryToEffects() { Apply(g_effectPlugins, kEffectRows, kDictEffect); }
void ApplyDictionaryToSubWindows() { Apply(g_subWindows, kSubWindowRows, kDictSubWin); }
void ApplyDictionaryToTransforms() { Apply(g_transformPlugins, kTransformRows, kDictTrans); }
void ApplyDictionaryToFuncColors() { Apply(g_colorFunctions, kColorFunctionRows, kDictFuncCol); }
void ApplyDictionaryToLayerBlends() { Apply(g_layerBlends, kLayerBlendRows, kDictLayer); }
