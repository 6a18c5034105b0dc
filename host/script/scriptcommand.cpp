// The sub-commands of the script word "command": the image resized on its canvas, offset mode off,
// an image loaded, the group saved in a named format, a region cleared.
#include "script/script.h"
#include "script/scripttext.h"
#include "base/app.h"
#include "base/messages.h"
#include "base/textutil.h"
#include "files/openimage.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/dibconvert.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/display.h"
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

enum { kMessageNoNewImage = 9, kMessageUndefinedSaveType = 77 };

namespace {

// The new size of "add", "fix" or "rate"; false for any other mode.
bool NewSize(const std::string &mode, int w0, int h0, int w, int h, int64_t *nw, int64_t *nh)
{
    if (CompareTextNoCase(mode.c_str(), "add") == 0) {
        *nw = (int64_t)w0 + w, *nh = (int64_t)h0 + h;
    } else if (CompareTextNoCase(mode.c_str(), "fix") == 0) {
        *nw = w, *nh = h;
    } else if (CompareTextNoCase(mode.c_str(), "rate") == 0) {
        // Each side by its own percentage.
        *nw = (int64_t)w0 + (int64_t)w0 * w / 100, *nh = (int64_t)h0 + (int64_t)h0 * h / 100;
    } else {
        return false;
    }
    return true;
}

// The old image's pixels at 32 bits: its own store, or a converted copy of a view-only picture.
const uint32_t *WidePixels(const CDIB *old, int w, int h, int d, CDIB *wide)
{
    if (d == 32 && old->editDepth == 32)
        return (const uint32_t *)old->pixels;
    if (!old->header || InitImageRecord(w, h, 32, wide, 1, 1) != 0)
        return NULL;
    const RGBQUAD *palette = (const RGBQUAD *)((const uint8_t *)old->header + old->header->bmiHeader.biSize);
    ConvertDibToImage(wide, old, palette, w, h, d, w, h, 0);
    return (const uint32_t *)wide->pixels;
}

// The new image and the window rebuilt for it must both fit before the old image is given up: a
// window that fails to build afterwards would show an image it has no buffers for.
bool FitsBeside(const ImageWindow *window, int w, int h)
{
    int64_t bytes = GetPixelBufferSize(w, h, 32);
    void *store = bytes < 0 ? NULL : malloc((size_t)bytes);
    bool fits = store && CanBuildWindowDisplay(window, w, h);
    free(store);
    return fits;
}

void ResizeImage(ImageWindow *window, const char *p)
{
    std::string mode, token;
    p = ReadMacroToken(p, mode, false);
    int v[4];
    for (int &n : v) {
        p = ReadMacroToken(p, token, false);
        n = ParseScriptNumber(token);
    }
    CDIB *old = window->group ? window->layerImage : NULL;
    int w0, h0, d0;
    if (!old || !old->pixels || !GetImageSize(old, &w0, &h0, &d0))
        return;
    int64_t nw, nh;
    if (!NewSize(mode, w0, h0, v[0], v[1], &nw, &nh))
        return;
    if (nw < 1 || nh < 1 || nw > INT32_MAX || nh > INT32_MAX || !FitsBeside(window, (int)nw, (int)nh)) {
        ShowErrorMessage(g_mainWindow, kMessageNoNewImage);
        return;
    }
    CDIB wide = {};
    const uint32_t *from = WidePixels(old, w0, h0, d0, &wide);
    CDIB *fresh = NULL;
    if (!from || CreateImageRecord(&fresh, (int)nw, (int)nh, 32) != 0) {
        FreeImageData(&wide);
        return;
    }
    FillImageBackground(fresh, 0, 255);
    // The old image with its top-left corner at (x, y), clipped to the new one on every side.
    int64_t x = v[2], y = v[3];
    int64_t sx0 = x < 0 ? -x : 0, sy0 = y < 0 ? -y : 0;
    int64_t sx1 = w0 < nw - x ? w0 : nw - x, sy1 = h0 < nh - y ? h0 : nh - y;
    uint32_t *to = (uint32_t *)fresh->pixels;
    for (int64_t sy = sy0; sy < sy1 && sx0 < sx1; sy++)
        memcpy(to + (sy + y) * nw + sx0 + x, from + sy * w0 + sx0, (size_t)(sx1 - sx0) * 4);
    FreeImageData(&wide);
    // Kept for undo, as the turns of the rotation window are.
    QzsReplaceWinImage(window, fresh, 1);
}

// Every token from p on as save option 0, 1, ...
void SetSaveOptions(const char *p)
{
    std::string token;
    ClearSaveOptions();
    for (int i = 0; (p = ReadMacroToken(p, token, false)) != NULL; i++)
        SetSaveOption(i, token.c_str());
}

void SaveImageAs(ImageWindow *window, const char *p)
{
    std::string path, name, token;
    p = ReadMacroToken(p, path, false);
    p = ReadMacroToken(p, name, false);
    p = ReadMacroToken(p, token, false);
    int depth = ParseScriptNumber(token);
    if (!window->group)
        return;
    int format = FindSaveFormatByName(name.c_str());
    if (format < 1) {
        ShowErrorMessage(g_mainWindow, kMessageUndefinedSaveType);
        return;
    }
    // The user's format, depth and options are the dialog's: the line only borrows them.
    int keptFormat = GetSaveFormat(), keptDepth = GetSaveDepth();
    std::vector<std::string> keptOptions(GetSaveOptionTable(), GetSaveOptionTable() + GetSaveOptionCount());
    SetSaveFormat(format);
    SetSaveDepth(depth);
    SetSaveOptions(p);
    SaveImageGroup(window->group, path.c_str());
    SetSaveFormat(keptFormat);
    SetSaveDepth(keptDepth);
    ClearSaveOptions();
    for (size_t i = 0; i < keptOptions.size(); i++)
        SetSaveOption((int)i, keptOptions[i].c_str());
}

void LoadImage(const char *p)
{
    std::string path;
    if (!ReadMacroToken(p, path, false))
        return;
    CDIB *before = g_lastImage;
    if (OpenImageFile(path.c_str(), 1, 0) == 0)
        AddOpenedImage(NULL, before, g_lastImage);
}

} // namespace

void RunMacroCommand(ImageWindow *window, const char *line, int position)
{
    if (!window || !line || position < 0 || (size_t)position > strlen(line))
        return;
    std::string word, token;
    const char *p = ReadMacroToken(line + position, word, false);
    if (!p)
        return;
    if (CompareTextNoCase(word.c_str(), "resizeimage") == 0) {
        ResizeImage(window, p);
    } else if (CompareTextNoCase(word.c_str(), "fixpoint") == 0) {
        SetScriptOffsetMode(0);
    } else if (CompareTextNoCase(word.c_str(), "loadimage") == 0) {
        LoadImage(p);
    } else if (CompareTextNoCase(word.c_str(), "saveimage") == 0) {
        SaveImageAs(window, p);
    } else if (CompareTextNoCase(word.c_str(), "clearregion") == 0) {
        ReadMacroToken(p, token, false);
        if (window->group)
            QzsClearRegion(ParseScriptNumber(token));
    }
}
