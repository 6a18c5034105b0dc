// Numbered messages: every failure the user sees is shown by number, in English from the built-in
// table or, in language mode, from the translation file; error boxes are collected while batching.
#pragma once
#include <windows.h>

enum { kMessageCount = 109, kTranslationSlots = 300, kBatchLimit = 50, kBatchBytes = 2560,
       kFormatBytes = 300 };

const char *MessageText(int number); // the text shown for a number (translation or English), never NULL
// The text of a message formatted with its argument (NULL: none) in the shared formatting buffer.
const char *FormatMessageText(int number, const char *text);

int ShowErrorMessage(HWND owner, int number);
int ShowErrorMessageArg(HWND owner, int number, const char *text);
int ShowErrorMessageArg(HWND owner, int number, int value);
void ShowWarningMessage(HWND owner, int number);
void ShowSysErrorMessage(HWND owner, int number);
int ShowQuestionMessage(HWND owner, int number); // IDYES, IDNO or IDCANCEL
int ShowQuestionMessageArg(HWND owner, int number, const char *text);

// Batching: while on, error boxes are collected (at most 50 texts) instead of shown.
void SetMessageBatching(bool on);
bool IsMessageBatching();
void ResetMessageBatch();
void CollectMessage(const char *text);
int MessageBatchCount();
const char *MessageBatchText();

int LoadMessageTranslations();
void FreeMessageTranslations();
void SetMessageTranslation(int number, const char *text); // takes a copy; NULL or "" clears it

const char *PickLangText(const char *english, const char *translated);
