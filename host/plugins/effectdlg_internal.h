// State the effect dialog's files share.
#pragma once
#include "plugins/effectdlg.h"
#include "plugins/loader.h"

struct EffectDialogState {
    HWND dialog = NULL;
    bool effectMode = false;
    RECT area = {-1, -1, -1, -1}; // layer coordinates, -1 when none
    int available = 0;            // 1 when an effect can run on the area
    int activeRegion = 0;
    int scrollX = 0, scrollY = 0;
    RECT window = {-1, -1, -1, -1}; // the part of the area the preview shows
    int panelReady = 0;
    ParameterPanel *panel = NULL;
    int lastEffect = -1;
    int outerWidth = 0, outerHeight = 0;
    int previewX = kPreviewX, previewY = kPreviewY; // where the preview is drawn in the dialog
    bool imagesMade = false;
    CDIB display = {}, source = {}, result = {}; // EffectPreviewDisplay, EffectPreviewSource, EffectPreviewResult
};
extern EffectDialogState g_effectDlg;

void PlacePreview(HWND dialog); // the preview below its frame's caption, the scroll bars beside it
void DrawSourceView(HWND dialog, bool topDown);
void RunPreview(HWND dialog);
void UpdatePreviewWindow(HWND dialog); // the preview window and the scroll bars from the state
bool CreatePreviewImages();
void FreePreviewImages();
bool IsCurrentImage32();
EffectPluginRecord *GetEffectRow(int row); // NULL outside the table or for an empty row
