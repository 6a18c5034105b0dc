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
#include <vector>

static DictionaryEntry *s_head[kDictKinds], *s_tail[kDictKinds];

// Kind words as read (any ASCII case) and written, in the order of the written sections.
static const char *const kKindWords[kDictKinds] = {"Draw", "Effect", "FuncCol", "SubWin", "Trans", "Layer"};

void ResetDictionary()
{
    memset(s_head, 0, sizeof s_head);
    memset(s_tail, 0, sizeof s_tail);
}

DictionaryEntry *DictionaryHead(int kind) { return kind >= 0 && kind < kDictKinds ? s_head[kind] : NULL; }

static DictionaryEntry *Find(int kind, const char *name)
{
    for (DictionaryEntry *e = s_head[kind]; e; e = e->next)
        if (strcmp(e->name, name) == 0)
            return e;
    return NULL;
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
    if (s_tail[kind])
        s_tail[kind]->next = e;
    else
        s_head[kind] = e;
    s_tail[kind] = e;
}

int ReadDictionaryFile(const char *path)
{
    FILE *f = fopen(path, "r");
    if (!f)
        return 0;
    // Tokens are read whole into line-sized buffers and only then cut to their fields.
    char line[kListLineBytes], word[kListLineBytes], name[kListLineBytes], translation[kListLineBytes];
    while (ReadTextLine(f, line, sizeof line)) {
        const char *p = NextTextToken(line, word, sizeof word);
        p = NextTextToken(p, name, sizeof name);
        NextTextToken(p, translation, sizeof translation);
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
        for (DictionaryEntry *e = s_head[k]; e; e = e->next)
            fprintf(f, "%s\t\"%s\"\t\t\t\"%s\"\r\n", kKindWords[k], e->name, e->translation);
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
