// The key map and the accelerator table; commands registered by plug-ins.
#pragma once
#include "ovrin.h"

// Modifier codes of the first-binding table; the four key tables in this order.
enum { kKeyNone = 1, kKeyAlt = 3, kKeyCtrl = 4, kKeyCtrlShift = 5 };
enum { kKeyTablePlain, kKeyTableCtrl, kKeyTableCtrlShift, kKeyTableAlt, kKeyTables };
enum { kFirstBoundCommand = 32009, kFirstBindingEntries = 300, kMaxAccelerators = 1024 };

HACCEL LoadKeyMapAndAccelerators(); // clears the tables, reads the key map, makes the table
void ClearKeyTables();
void LoadKeyMap();
HACCEL BuildAcceleratorTable();
// Parses a key token: the key's table (kKeyTable...) and virtual key; false when it names no key.
bool ParseKeyToken(const char *token, int *table, int *virtualKey);
int GetKeyBinding(int table, int virtualKey); // command id, 0 unbound
void KeyTextForCommand(int id, char *out, size_t size);
void KeyNameText(int virtualKey, char *out, size_t size);

int FindKeyCommand(int id, INT_PTR *owner, int *param); // 1 when a registered command has the id
int FindKeyCommandByName(const char *name);            // its id, or 0
void FreeKeyCommands();
