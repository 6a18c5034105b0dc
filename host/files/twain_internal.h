// Shared inside the TWAIN glue: the session's calls and its error record.
#pragma once
#include "files/twain_proto.h"

// 64-bit programs use the 64-bit manager, which lives in the system directory.
#ifdef _WIN64
#define TWAIN_MANAGER_NAME "TWAINDSM.DLL"
#else
#define TWAIN_MANAGER_NAME "TWAIN_32.DLL"
#endif

// A call of the manager's entry for the program (dest NULL: the manager itself); the return code
// is kept as the last one.
uint16_t CallTwainManager(TwIdentity *dest, uint32_t group, uint16_t dat, uint16_t msg, void *data);
TwIdentity *TwainSourceIdentity();
// Keeps the first error of an operation with the last return code and the condition code.
void RecordTwainError(int code);
void GetTwainRecordedError(int *code, int *rc, int *cc);
void ShowTwainBox(const char *text);
void ShowTwainErrorReport(const char *message);
void ClearTwainError();

// The session's steps; each acts only from the state it belongs to.
void SetTwainParent(HWND parent);
HWND GetTwainParent();
bool OpenTwainManager();  // to state 3
void CloseTwainManager(); // 3 to 2
bool OpenTwainSource();   // 3 to 4: the default source
void CloseTwainSource();  // 4 to 3
bool EnableTwainSource(); // 4 to 5, with or without the source's dialog
void DisableTwainSource(); // 5 to 4
void EndTwainTransfer();   // 6 or 7 to 5, or 6 while more are pending
void ResetTwainTransfers(); // 6 to 5
void SetTwainTransferState(int state);
void CloseTwainSession();  // down to 1, the manager unloaded
void ReturnTwainToState(int state);
