// Saving: one routine runs every save; around it the default save, save-all, the BMP save and the
// wallpaper.
#include "view/groupview.h"
#include "files/save.h"
#include "base/notify.h"
#include "base/recent.h"
#include "files/bmp.h"
#include "files/mr2.h"
#include "files/mrf.h"
#include "files/openimage.h"
#include "files/outside.h"
#include "image/colorreduce.h"
#include "plugins/params.h"
#include "files/progress.h"
#include "base/safefile.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/undo.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "view/winlist.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kConvertingText[] = "Format converting                ";

int QZCAPI ShowSaveProgress(int done, int total, int reserved)
{
    if (done == 0) {
        if (!IsFileProgressOpen()) {
            snprintf(g_progressText, sizeof g_progressText, "Now Saving...");
            OpenFileProgress(NULL);
        } else {
            DrawFileProgressText(g_progressText);
        }
        RestartFileProgress();
        return 0;
    }
    StepFileProgress(done, total);
    return 0;
}

static int QZCAPI NoProgress(int, int, int) { return 0; }

// ---- depth conversion ----

static int Dither5Level(int v, int threshold)
{
    int level = v >> 3;
    if (2 * (v & 7) >= threshold && level <= 30)
        level++;
    return level;
}

static const int kM4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Row y of a picture as 32-bit colours with full alpha, as ReadPicturePixel reads them; a 32-bit
// store is read as it stands.
static void ReadPictureRow(const CDIB *source, int w, int y, uint32_t *colors)
{
    const BITMAPINFOHEADER *h = &source->header->bmiHeader;
    if (h->biBitCount == 32) {
        const uint32_t *row = (const uint32_t *)source->pixels + (int64_t)y * GetRowLength(h->biWidth, 32);
        for (int x = 0; x < w; x++)
            colors[x] = row[x] | 0xFF000000u;
        return;
    }
    for (int x = 0; x < w; x++)
        ReadPicturePixel(source->header, source->pixels, x, y, (uint8_t *)(colors + x));
}

// Colours of row y into a file row of a direct depth (8 is the 3-3-2 palette); 16 bits are
// dithered by the row's place.
static void ConvertPictureRow(const uint32_t *colors, int w, int y, int depth, uint8_t *line)
{
    switch (depth) {
    case 32: memcpy(line, colors, (size_t)w * 4); break;
    case 24:
        for (int x = 0; x < w; x++) {
            uint32_t c = colors[x];
            line[3 * x] = (uint8_t)c;
            line[3 * x + 1] = (uint8_t)(c >> 8);
            line[3 * x + 2] = (uint8_t)(c >> 16);
        }
        break;
    case 16:
        for (int x = 0; x < w; x++) {
            uint32_t c = colors[x];
            int m = kM4[y & 3][x & 3];
            int v = Dither5Level(c >> 16 & 255, m) << 10 | Dither5Level(c >> 8 & 255, m) << 5 |
                    Dither5Level(c & 255, m);
            line[2 * x] = (uint8_t)v;
            line[2 * x + 1] = (uint8_t)(v >> 8);
        }
        break;
    default:
        for (int x = 0; x < w; x++) {
            uint32_t c = colors[x];
            line[x] = (uint8_t)((c >> 8 & 0xE0) | ((c >> 19) & 0x1C) | (c >> 6 & 3));
        }
        break;
    }
}

// False when the row buffer could not be had.
static bool WriteDirect(const CDIB *source, CDIB *dest, int depth, int w, int h)
{
    uint32_t *colors = (uint32_t *)malloc((size_t)w * 4);
    if (!colors)
        return false;
    int64_t row = GetDibRowBytes(w, depth);
    uint8_t *bits = (uint8_t *)dest->pixels;
    for (int y = 0; y < h; y++) {
        ReadPictureRow(source, w, y, colors);
        ConvertPictureRow(colors, w, y, depth, bits + (int64_t)(h - 1 - y) * row); // packed rows are bottom-up
    }
    free(colors);
    return true;
}

// The rows of an image at a direct depth, converted one at a time as a BMP file asks for them.
struct DirectRows {
    const CDIB *source;
    int depth, w, h;
    uint32_t *colors;
};

static bool FillDirectRow(void *context, int fileRow, uint8_t *line)
{
    const DirectRows &rows = *(const DirectRows *)context;
    int y = rows.h - 1 - fileRow; // file rows are bottom-up
    ReadPictureRow(rows.source, rows.w, y, rows.colors);
    ConvertPictureRow(rows.colors, rows.w, y, rows.depth, line);
    return true;
}

// Writes an image as a BMP file at 16, 24 or 32 bits, converting each row as it is written rather
// than the whole picture first. 0 written, 1 failed, -1 another depth (the caller converts).
static int WriteBmpDirect(const char *path, CDIB *image, int depth, QzProgressProc progress)
{
    int w, h, d;
    if (depth != 16 && depth != 24 && depth != 32)
        return -1;
    if (!GetImageSize(image, &w, &h, &d) || !image->pixels || !image->header || w <= 0 || h <= 0)
        return 1;
    BITMAPINFO header = {};
    BITMAPINFOHEADER &bh = header.bmiHeader;
    bh.biSize = sizeof bh;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = (WORD)depth;
    bh.biCompression = BI_RGB;
    bh.biXPelsPerMeter = bh.biYPelsPerMeter = 300; // as a new image record says
    DirectRows rows = {image, depth, w, h, (uint32_t *)malloc((size_t)w * 4)};
    if (!rows.colors)
        return 1;
    int result = WriteBmpRows(path, &header, FillDirectRow, &rows, progress);
    free(rows.colors);
    return result;
}

int ConvertImageDepth(CDIB *source, int depth, CDIB *dest, QzProgressProc progress)
{
    int w, h, d;
    memset(dest, 0, sizeof *dest);
    if (!GetImageSize(source, &w, &h, &d) || !source->pixels)
        return 1;
    bool known = depth == 8 || depth == 16 || depth == 24 || depth == 32;
    if (!known)
        ShowSysErrorMessage(g_mainWindow, 20);
    int made = known ? depth : 8;
    if (InitImageRecord(w, h, made, dest, 0, 1) != 0) {
        FreeUndoRecords(source, source->undoFirst);
        source->undoFirst = source->undoLast = source->undoCurrent = NULL;
        source->undoBytes = 0;
        if (InitImageRecord(w, h, made, dest, 0, 1) != 0) {
            ShowWarningMessage(g_mainWindow, 19);
            memset(dest, 0, sizeof *dest);
            return 1;
        }
    }
    if (depth != 8) {
        // The 3-3-2 palette of a new record serves a bad depth.
        if (WriteDirect(source, dest, made, w, h))
            return 0;
        FreeImageData(dest);
        memset(dest, 0, sizeof *dest);
        return 1;
    }
    if (!ReduceColors(&source->header->bmiHeader, source->pixels, dest->header, dest->pixels, 255,
                      GetSaveHighQuality(), progress)) {
        FreeImageData(dest);
        memset(dest, 0, sizeof *dest);
        return 1;
    }
    return 0;
}

// ---- saving ----

// Writes one converted image through a save plug-in: into a temporary file that replaces the
// path only when the plug-in reports success and the file exists.
static int WriteThroughPlugin(const SaverRecord *row, const char *path, CDIB *converted)
{
    char temp[1024];
    if (!row || !row->WritePicture || !MakeTempPathBeside(path, temp, sizeof temp))
        return 1;
    int result = row->WritePicture(temp, 1, &converted->header->bmiHeader, converted->pixels, ShowSaveProgress,
                                   GetSaveOptionCount(), GetSaveOptionTable());
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool written = result == 0 && GetFileAttributesExA(temp, GetFileExInfoStandard, &data) &&
                   (data.nFileSizeLow || data.nFileSizeHigh);
    if (!written) {
        DeleteFileA(temp);
        return 1;
    }
    return ReplaceWithTemp(temp, path) ? 0 : 1;
}

// The image a one-image format writes; merged tells that it is a copy to free. NULL: nothing.
static CDIB *PickImageToWrite(ImageGroup *group, CDIB *image, CDIB *merged, bool *isMerged)
{
    *isMerged = false;
    if (image)
        return image;
    if (CountGroupImages(group) <= 1)
        return group->base;
    int mode = g_cfg.SaveModeInMultiImage;
    if (mode == 10)
        mode = AskMultiImageSave();
    if (mode == 0)
        return group->currentImage ? group->currentImage : group->base;
    if (mode != 1 || !FlattenImageGroup(group, merged))
        return NULL;
    *isMerged = true;
    return merged;
}

// The group goes by its base image's name: the windows that show it and the image lists follow.
static void NameGroupAfterBase(ImageGroup *group)
{
    snprintf(group->name, sizeof group->name, "%s", group->base->name);
    for (ImageWindow *w = g_firstWindow; w; w = w->next)
        if (w->group == group)
            UpdateWindowTitle(w, group);
    NotifyMenusChanged();
}

static void TakeSavedName(CDIB *image, const char *path)
{
    snprintf(image->path, sizeof image->path, "%s", path);
    snprintf(image->name, sizeof image->name, "%s", GetFileNamePart(path));
    image->untitledNumber = 0;
    image->modified = 0;
}

int SaveImage(ImageGroup *group, CDIB *image, const char *path)
{
    MarkFileProgressClosed();
    char chosen[kPathBytes];
    if (!group || !group->base) {
        ShowErrorMessage(g_mainWindow, 21);
        return 0;
    }
    if (!path) {
        if (ShowSaveFileDialog(group, chosen, sizeof chosen) != 0)
            return 0;
        path = chosen;
    }
    // The image must be able to hold the path it is saved under; a read-only file or a directory
    // at the path is refused before anything is written.
    if (strlen(path) >= sizeof group->base->path || !CanReplaceFile(path)) {
        ShowErrorMessage(g_mainWindow, 22);
        return 0;
    }
    char target[kPathBytes];
    snprintf(target, sizeof target, "%s", path);
    snprintf(g_progressText, sizeof g_progressText, "%s", GetFileNamePart(target));
    OpenFileProgress("Now saving...");

    int format = GetSaveFormat();
    CDIB *saved = group->base;
    CDIB converted = {}, merged = {};
    bool isMerged = false, haveConverted = false;
    // BMP at a direct depth converts each row as it writes it, without a converted copy.
    int depth = GetSaveDepth();
    bool direct = format == kFormatBmp && (depth == 16 || depth == 24 || depth == 32);
    if (format != kFormatMrf && format != kFormatMr2) {
        DrawFileProgressText(kConvertingText);
        saved = PickImageToWrite(group, image, &merged, &isMerged);
        // A failed conversion writes nothing: an image without pixels is no picture.
        haveConverted = saved && (direct || ConvertImageDepth(saved, depth, &converted, ShowSaveProgress) == 0);
        if (isMerged && !(direct && haveConverted))
            FreeImageData(&merged);
        if (!haveConverted) {
            CloseFileProgress();
            if (saved) // nothing chosen is a cancel; a conversion that ran out of memory is a failed save
                ShowErrorMessage(g_mainWindow, 22);
            return 0;
        }
    }
    if (IsFileProgressOpen()) {
        char blanks[34];
        memset(blanks, ' ', 33);
        blanks[33] = 0;
        DrawFileProgressText(blanks);
        DrawFileProgressText(g_progressText);
    }
    int failed;
    if (format == kFormatMrf)
        failed = WriteMrfFile(target, group);
    else if (format == kFormatMr2)
        failed = WriteMr2File(target, group);
    else if (direct)
        failed = WriteBmpDirect(target, saved, depth, ShowSaveProgress);
    else if (format == kFormatBmp)
        failed = WriteBmpFile(target, converted.header, converted.pixels, ShowSaveProgress);
    else
        failed = WriteThroughPlugin(GetSaverRow(format), target, &converted);
    CloseFileProgress();
    if (haveConverted && !direct)
        FreeImageData(&converted);
    if (direct && isMerged)
        FreeImageData(&merged);
    if (failed) {
        if (!(format == kFormatMr2 && failed == kMr2FailedReported))
            ShowErrorMessage(g_mainWindow, 22);
        return 0;
    }
    if (format == kFormatMrf || format == kFormatMr2) {
        // The whole group is in the file: no image of it is unsaved any more.
        for (LayerRecord *l = group->firstLayer; l; l = l->next)
            if (l->image)
                l->image->modified = 0;
        TakeSavedName(group->base, target);
    } else if (!isMerged) {
        TakeSavedName(saved, target);
    }
    if (group->base->name[0] && strcmp(group->name, group->base->name) != 0 && saved == group->base)
        NameGroupAfterBase(group);
    AddRecentFile(target, 1);
    if (g_mainWindow) // the recent-file list of the menu
        NotifyRecentFilesChanged();
    return 1;
}

int SaveImageGroup(ImageGroup *group, const char *path)
{
    if (!group) {
        ShowErrorMessage(g_mainWindow, 21);
        return 0;
    }
    return SaveImage(group, NULL, path);
}

int SaveGroupLayer(ImageGroup *group, LayerRecord *layer, const char *path)
{
    if (!group) {
        ShowErrorMessage(g_mainWindow, 21);
        return 0;
    }
    return SaveImage(group, layer && layer->image ? layer->image : group->base, path);
}

void GetProposedSaveName(const ImageGroup *group, char *dir, int dirSize, char *name, int nameSize)
{
    const CDIB *base = group ? group->base : NULL;
    if (!base || base->untitledNumber || !base->path[0]) {
        snprintf(dir, (size_t)dirSize, "%s", GetLastOpenDirectory());
        snprintf(name, (size_t)nameSize, "%s%03d", g_cfg.UntitledFileHeader, base ? base->untitledNumber : 0);
        return;
    }
    GetDirectoryPart(base->path, dir, dirSize);
    snprintf(name, (size_t)nameSize, "%s", GetFileNamePart(base->path));
    // The extension goes: the last dot of the name part.
    char *dot = strrchr(name, '.');
    if (dot)
        *dot = 0;
}

int SaveAsDefault(ImageGroup *group)
{
    if (!group)
        return 0;
    int format = FindSaveFormatByName(g_cfg.DefaultSaveFormat);
    if (format < 1) {
        ShowErrorMessage(g_mainWindow, 77);
        return 0;
    }
    char dir[kPathBytes], name[kPathBytes], ext[32], path[kPathBytes * 2 + 40];
    GetProposedSaveName(group, dir, sizeof dir, name, sizeof name);
    SetSaveFormat(format);
    if (!GetSaveFormatExtension(format, ext, sizeof ext))
        AppMessageBox(g_mainWindow, "Internal error!", "TEST", MB_OK);
    snprintf(path, sizeof path, "%s\\%s.%s", dir, name, ext);
    if (strlen(path) >= kPathBytes) {
        ShowErrorMessage(g_mainWindow, 22);
        return 0;
    }
    // A default depth the format does not take would give a file the writer refuses.
    SetSaveDepth(PickSaveDepth(format, g_cfg.DefaultSaveDepth));
    SaverRecord *row = GetSaverRow(format);
    char plugin[256] = "    ";
    if (row) {
        snprintf(plugin, sizeof plugin, "%s", row->name);
        char *dot = strrchr(plugin, '.');
        if (dot)
            *dot = 0;
    }
    char text[320];
    snprintf(text, sizeof text, "%s %d", plugin, format);
    AppMessageBox(g_mainWindow, text, "MES", MB_OK);
    if (row) {
        ClearSaveOptions();
        LoadParameterValues(2, NULL, g_cfg.Saver_dir, plugin);
    }
    return SaveImageGroup(group, path);
}

void SaveAllImages()
{
    // A save may close groups (its dialogs pump messages): the next one must still be listed.
    for (ImageGroup *g = g_firstGroup; g;) {
        ImageGroup *next = g->next;
        SaveAsDefault(g);
        g = IsGroupListed(next) ? next : NULL;
    }
}

// Converts and writes one image as BMP; 0 written.
static int WriteImageAsBmp(const char *path, CDIB *image)
{
    int direct = WriteBmpDirect(path, image, GetSaveDepth(), NoProgress);
    if (direct >= 0)
        return direct;
    CDIB converted;
    if (ConvertImageDepth(image, GetSaveDepth(), &converted, NoProgress) != 0)
        return 1;
    int result = WriteBmpFile(path, converted.header, converted.pixels, NoProgress);
    FreeImageData(&converted);
    return result;
}

int SaveImageAsBmp(const char *path, CDIB *image)
{
    if (!image) {
        ShowErrorMessage(g_mainWindow, 21);
        return 0;
    }
    if (!CanReplaceFile(path) || WriteImageAsBmp(path, image) != 0) {
        ShowErrorMessage(g_mainWindow, 22);
        return 0;
    }
    image->modified = 0;
    return 1;
}

int SetWallPaper(int tile)
{
    ImageWindow *window = g_currentWindow;
    CDIB *image = window ? (window->layerImage ? window->layerImage : window->group ? window->group->base : NULL)
                         : NULL;
    if (!image) {
        ShowErrorMessage(g_mainWindow, 21);
        return 0;
    }
    char path[kPathBytes + 16];
    snprintf(path, sizeof path, "%s\\wall.bmp", g_cfg.appDir);
    int depth = GetSaveDepth();
    SetSaveDepth(24);
    // The wallpaper copy is not the user's file: the image stays as modified as it was.
    int failed = WriteImageAsBmp(path, image);
    SetSaveDepth(depth);
    if (failed) {
        ShowErrorMessage(g_mainWindow, 22);
        return 0;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        const char *value = tile ? "1" : "0";
        RegSetValueExA(key, "TileWallpaper", 0, REG_SZ, (const BYTE *)value, 2);
        RegCloseKey(key);
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    return 1;
}
