// The key map: key bindings read from a text file into four tables (no modifier, Ctrl,
// Ctrl+Shift, Alt), the accelerator table made from them, the key texts shown in menus, and the
// commands that plug-ins register.
#include "shell/keymap.h"
#include "base/app.h"
#include "base/filefaults.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "base/textutil.h"
#include "base/messages.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static uint16_t s_keyTables[kKeyTables][256];
static uint32_t s_firstBinding[kFirstBindingEntries];

struct KeyName {
    const char *name;
    int key;
};
static const KeyName kKeyNameTable[] = {
    {"F1", 112},         {"F2", 113},          {"F3", 114},       {"F4", 115},         {"F5", 116},
    {"F6", 117},         {"F7", 118},          {"F8", 119},       {"F9", 120},         {"F10", 121},
    {"F11", 122},        {"F12", 123},         {"F13", 124},      {"F14", 125},        {"F15", 126},
    {"F16", 127},        {"F17", 128},         {"F18", 129},      {"F19", 130},        {"F20", 131},
    {"F21", 132},        {"F22", 133},         {"F23", 134},      {"F24", 135},        {"LEFTARROW", 37},
    {"RIGHTARROW", 39},  {"UPARROW", 38},      {"DOWNARROW", 40}, {"SPACE", 32},       {"ESC", 27},
    {"ENTER", 13},       {"DEL", 46},          {"INS", 45},       {"TAB", 9},          {"PAGEUP", 33},
    {"PAGEDOWN", 34},    {"HOME", 36},         {"END", 35},       {"PAUSE", 19},       {"HELP", 47},
};

static const int kModifierCodes[kKeyTables] = {kKeyNone, kKeyCtrl, kKeyCtrlShift, kKeyAlt};

void ClearKeyTables()
{
    memset(s_keyTables, 0, sizeof s_keyTables);
    memset(s_firstBinding, 0, sizeof s_firstBinding);
}

bool ParseKeyToken(const char *token, int *table, int *virtualKey)
{
    if (!token || !token[0])
        return false;
    *table = kKeyTablePlain;
    switch (token[0]) {
    case '^': *table = kKeyTableCtrl; token++; break;
    case '~': *table = kKeyTableCtrlShift; token++; break;
    case '@': *table = kKeyTableAlt; token++; break;
    case '\\': token++; break;
    }
    if (!token[0])
        return false;
    for (const KeyName &k : kKeyNameTable)
        if (strcmp(k.name, token) == 0) {
            *virtualKey = k.key;
            return true;
        }
    unsigned char c = (unsigned char)token[0];
    if (c >= 'A' && c <= 'Z')
        c = (unsigned char)(c - 'A' + 'a');
    SHORT scan = VkKeyScanA((CHAR)c);
    if (scan == -1 || (scan & 0xFF) == 0xFF)
        return false;
    *virtualKey = scan & 0xFF;
    return true;
}

int GetKeyBinding(int table, int virtualKey)
{
    if (table < 0 || table >= kKeyTables || virtualKey < 0 || virtualKey > 255)
        return 0;
    return s_keyTables[table][virtualKey];
}

static void BindKey(int table, int virtualKey, int id)
{
    if (id <= 0 || id > 0xFFFF)
        return; // accelerators carry 16-bit identifiers
    s_keyTables[table][virtualKey] = (uint16_t)id;
    int entry = id - kFirstBoundCommand;
    if (entry >= 0 && entry < kFirstBindingEntries && s_firstBinding[entry] == 0)
        s_firstBinding[entry] = (uint32_t)(kModifierCodes[table] * 256 + virtualKey);
}

static void ParseKeyMapLine(const char *line, FileFaults *faults)
{
    if (!line[0] || line[0] == '#')
        return;
    char keyToken[kLineBytes], commandToken[kLineBytes];
    const char *pos = NextTextToken(line, keyToken, sizeof keyToken);
    int table, key;
    if (!pos || !ParseKeyToken(keyToken, &table, &key)) {
        ReportFaultLine(faults, 53, keyToken);
        return;
    }
    NextTextToken(pos, commandToken, sizeof commandToken);
    int id;
    const char *label;
    if (!LookUpCommand(commandToken, &id, &label)) {
        ReportFaultLine(faults, 54, commandToken);
        return;
    }
    BindKey(table, key, id);
}

void LoadKeyMap()
{
    char path[kPathBytes + kPathBytes];
    snprintf(path, sizeof path, "%s\\%s", g_cfg.Stat_dir, g_cfg.KeyMap);
    FILE *file = fopen(path, "r");
    if (!file) {
        ShowErrorMessage(NULL, 52);
        return;
    }
    FileFaults faults;
    BeginFileFaults(&faults, path, NULL);
    char line[kLineBytes];
    while (ReadTextLine(file, line, sizeof line)) {
        NextFaultLine(&faults);
        ParseKeyMapLine(line, &faults);
    }
    fclose(file);
    EndFileFaults(&faults);
}

HACCEL BuildAcceleratorTable()
{
    static const BYTE kFlags[kKeyTables] = {FVIRTKEY, FVIRTKEY | FCONTROL, FVIRTKEY | FSHIFT | FCONTROL,
                                            FVIRTKEY | FALT};
    ACCEL *entries = (ACCEL *)calloc(kMaxAccelerators, sizeof(ACCEL));
    if (!entries)
        return NULL;
    int count = 0;
    for (int key = 0; key < 256; key++)
        for (int t = 0; t < kKeyTables; t++)
            if (s_keyTables[t][key] && count < kMaxAccelerators) {
                entries[count].fVirt = kFlags[t];
                entries[count].key = (WORD)key;
                entries[count].cmd = s_keyTables[t][key];
                count++;
            }
    HACCEL table = count ? CreateAcceleratorTableA(entries, count) : NULL;
    free(entries);
    return table;
}

HACCEL LoadKeyMapAndAccelerators()
{
    ClearKeyTables();
    LoadKeyMap();
    if (g_accelerators)
        DestroyAcceleratorTable(g_accelerators);
    g_accelerators = BuildAcceleratorTable();
    return g_accelerators;
}

void KeyNameText(int virtualKey, char *out, size_t size)
{
    if (size == 0)
        return;
    out[0] = 0;
    for (const KeyName &k : kKeyNameTable)
        if (k.key == virtualKey) {
            snprintf(out, size, "%s", k.name);
            return;
        }
    UINT c = MapVirtualKeyA((UINT)virtualKey, MAPVK_VK_TO_CHAR) & 0xFF;
    if (c && size > 1) {
        out[0] = (char)c;
        out[1] = 0;
    }
}

void KeyTextForCommand(int id, char *out, size_t size)
{
    if (size == 0)
        return;
    out[0] = 0;
    int entry = id - kFirstBoundCommand;
    if (entry < 0 || entry >= kFirstBindingEntries || s_firstBinding[entry] == 0)
        return;
    int modifier = (int)(s_firstBinding[entry] >> 8), key = (int)(s_firstBinding[entry] & 0xFF);
    char name[32];
    KeyNameText(key, name, sizeof name);
    const char *format = modifier == kKeyAlt ? "Alt+%s"
                         : modifier == kKeyCtrl ? "Ctrl+%s"
                         : modifier == kKeyCtrlShift ? "Ctrl+Shift+%s"
                                                     : "%s";
    snprintf(out, size, format, name);
}

// ---- commands registered by plug-ins ----

struct KeyCommandNode {
    INT_PTR owner;
    char *name;
    int id;
    int param;
    KeyCommandNode *next;
};

static KeyCommandNode *s_firstKeyCommand, *s_lastKeyCommand;
static int s_nextKeyCommandId = kFirstKeyCommand;

QZS_DECL(int) QzsRegisterKeyCommand(INT_PTR owner, const char *name, int param)
{
    if (!name)
        return 0;
    KeyCommandNode *node = (KeyCommandNode *)calloc(1, sizeof(KeyCommandNode));
    if (!node)
        return 0;
    node->name = _strdup(name);
    if (!node->name) {
        free(node);
        return 0;
    }
    node->owner = owner;
    node->param = param;
    node->id = s_nextKeyCommandId++;
    if (s_lastKeyCommand)
        s_lastKeyCommand->next = node;
    else
        s_firstKeyCommand = node;
    s_lastKeyCommand = node;
    return 1;
}

int FindKeyCommand(int id, INT_PTR *owner, int *param)
{
    for (KeyCommandNode *n = s_firstKeyCommand; n; n = n->next)
        if (n->id == id) {
            *owner = n->owner;
            *param = n->param;
            return 1;
        }
    return 0;
}

int FindKeyCommandByName(const char *name)
{
    for (KeyCommandNode *n = s_firstKeyCommand; n; n = n->next)
        if (strcmp(n->name, name) == 0)
            return n->id;
    return 0;
}

void FreeKeyCommands()
{
    while (s_firstKeyCommand) {
        KeyCommandNode *next = s_firstKeyCommand->next;
        free(s_firstKeyCommand->name);
        free(s_firstKeyCommand);
        s_firstKeyCommand = next;
    }
    s_lastKeyCommand = NULL;
    s_nextKeyCommandId = kFirstKeyCommand;
}
