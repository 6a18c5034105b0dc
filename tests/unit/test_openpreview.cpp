// The open dialog's preview, in the real open dialog: selections changed faster than the files
// can be read end with the last file's picture, a file that cannot be read leaves the preview
// empty without a message, and closing the dialog during a read leaves no thread behind.
#include "testsupport.h"
#include "files/openimage.h"
#include "files/openpreview.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/winproc.h"
#include <commctrl.h>
#include <fstream>
#include <functional>
#include <string.h>

namespace {

// A 24-bit BMP of one colour, written from the published layout.
void WriteSolidBmp(const std::string &path, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    int row = (3 * w + 3) / 4 * 4;
    uint32_t size = 54 + (uint32_t)row * h;
    uint8_t head[54] = {'B', 'M'};
    auto put32 = [&](int at, uint32_t v) { memcpy(head + at, &v, 4); };
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)w);
    put32(22, (uint32_t)h);
    head[26] = 1;
    head[28] = 24;
    std::vector<uint8_t> line(row, 0);
    for (int x = 0; x < w; x++) {
        line[3 * x] = b;
        line[3 * x + 1] = g;
        line[3 * x + 2] = r;
    }
    std::ofstream out(path, std::ios::binary);
    out.write((const char *)head, sizeof head);
    for (int y = 0; y < h; y++)
        out.write((const char *)line.data(), row);
}

BOOL CALLBACK FindListView(HWND w, LPARAM p)
{
    char cls[64];
    GetClassNameA(w, cls, sizeof cls);
    if (!strcmp(cls, "SysListView32")) {
        *(HWND *)p = w;
        return FALSE;
    }
    return TRUE;
}

HWND FileList(HWND dialog)
{
    HWND list = NULL;
    EnumChildWindows(dialog, FindListView, (LPARAM)&list);
    return list;
}

int ItemStartingWith(HWND list, const char *prefix)
{
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char text[260] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)i, (LPARAM)&item);
        if (!strncmp(text, prefix, strlen(prefix)))
            return i;
    }
    return -1;
}

// Selects one file as a click would: the dialog hears of it at once.
void Select(HWND list, const char *prefix)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)ItemStartingWith(list, prefix), (LPARAM)&item);
}

bool AllRunsEnded()
{
    PreviewRuns r = GetPreviewRuns();
    return r.started == r.drawn + r.empty + r.stopped;
}

uint32_t ThumbPixel(const CDIB *thumb, int x, int y)
{
    const BITMAPINFOHEADER &h = thumb->header->bmiHeader;
    return ((const uint32_t *)thumb->pixels)[(size_t)(h.biHeight - 1 - y) * h.biWidth + x];
}

struct Seen {
    int ticks = 0;
    bool listed = false, lastShown = false;
    uint32_t inside[2] = {}, outside[2] = {};
    PreviewRuns afterLast = {}, afterBroken = {};
} s_seen;

void Step(std::function<void(HWND)> next)
{
    DriveNextDialog(std::move(next), 30);
}

// Each step waits, by coming back on the next tick, until what it needs is there.
void GiveUp(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The dialog may tell of a selection only after messages already queued, so the close waits until
// the big file's read has started (polled every millisecond, long before that read can end).
void CloseOnceTheBigReadRuns(HWND dialog)
{
    if (GetPreviewRuns().started > s_seen.afterBroken.started || ++s_seen.ticks > 3000) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); // while the big file is read
        return;
    }
    DriveNextDialog(CloseOnceTheBigReadRuns, 1);
}

void CloseDuringARead(HWND dialog)
{
    if (++s_seen.ticks > 300 || AllRunsEnded()) {
        s_seen.afterBroken = GetPreviewRuns();
        s_seen.ticks = 0;
        Select(FileList(dialog), "c_big");
        return CloseOnceTheBigReadRuns(dialog);
    }
    Step(CloseDuringARead);
}

void LookAtTheLastPicture(HWND dialog)
{
    if (++s_seen.ticks > 300)
        return GiveUp(dialog);
    if (!AllRunsEnded())
        return Step(LookAtTheLastPicture);
    s_seen.afterLast = GetPreviewRuns();
    const CDIB *thumb = GetPreviewThumbnail();
    if (thumb) {
        s_seen.inside[0] = ThumbPixel(thumb, 26, 0);
        s_seen.inside[1] = ThumbPixel(thumb, 48, 75);
        s_seen.outside[0] = ThumbPixel(thumb, 25, 38);
        s_seen.outside[1] = ThumbPixel(thumb, 49, 38);
    }
    s_seen.lastShown = IsWindowVisible(GetPreviewWindow()) != 0;
    s_seen.ticks = 0;
    Select(FileList(dialog), "e_broken");
    Step(CloseDuringARead);
}

void ChangeSelectionsQuickly(HWND dialog)
{
    HWND list = FileList(dialog);
    if (!list || ItemStartingWith(list, "e_broken") < 0) {
        if (++s_seen.ticks > 300)
            return GiveUp(dialog);
        return Step(ChangeSelectionsQuickly);
    }
    s_seen.listed = true;
    s_seen.ticks = 0;
    Select(list, "c_big");
    Select(list, "a_red");
    Select(list, "c_big");
    Select(list, "b_green");
    Select(list, "d_blue");
    Step(LookAtTheLastPicture);
}

uint32_t Bgra(int r, int g, int b)
{
    return (uint32_t)b | (uint32_t)g << 8 | (uint32_t)r << 16 | 0xFF000000u;
}

} // namespace

TEST(OpenPreview, SelectionsInTheRealDialogEndWithTheLastFileAndNoThread)
{
    ResetProgramState();
    MessageCapture boxes;
    TempDir dir;
    RegisterThumbWindowClass();
    g_cfg.PreviewInOpenDlg = 1;
    WriteSolidBmp(dir.file("a_red.bmp"), 20, 10, 255, 0, 0);
    WriteSolidBmp(dir.file("b_green.bmp"), 10, 10, 0, 255, 0);
    WriteSolidBmp(dir.file("c_big.bmp"), 4800, 3200, 90, 90, 90); // long enough to be closed while read
    WriteSolidBmp(dir.file("d_blue.bmp"), 10, 30, 0, 0, 255);
    WriteFileText(dir.file("e_broken.bmp"), "BM not a picture");
    snprintf(g_lastOpenDirectory, sizeof g_lastOpenDirectory, "%s", dir.path().c_str());

    PreviewRuns before = GetPreviewRuns();
    Step(ChangeSelectionsQuickly);
    char selection[4096];
    ShowOpenFileDialog(selection, sizeof selection);
    StopDrivingDialogs();

    ASSERT_TRUE(s_seen.listed) << "the dialog never listed the files";
    // The last file, 10 x 30 blue, stands 23 pixels wide from column 26 in the 76 x 76 picture.
    EXPECT_TRUE(s_seen.lastShown);
    EXPECT_EQ(s_seen.inside[0], Bgra(0, 0, 255));
    EXPECT_EQ(s_seen.inside[1], Bgra(0, 0, 255));
    EXPECT_EQ(s_seen.outside[0], Bgra(64, 64, 64));
    EXPECT_EQ(s_seen.outside[1], Bgra(64, 64, 64));
    EXPECT_GE(s_seen.afterLast.stopped - before.stopped, 1) << "a newer selection did not stop a read";
    EXPECT_GE(s_seen.afterLast.drawn - before.drawn, 1);
    // The broken file: an empty preview and no message.
    EXPECT_GE(s_seen.afterBroken.empty - s_seen.afterLast.empty, 1);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
    EXPECT_FALSE(IsMessageBatching());
    // Closed during a read: the thread was stopped and joined, the picture and window freed.
    PreviewRuns after = GetPreviewRuns();
    EXPECT_EQ(after.started, after.drawn + after.empty + after.stopped);
    EXPECT_GT(after.stopped, s_seen.afterBroken.stopped)
        << "started " << s_seen.afterBroken.started << " -> " << after.started << ", drawn " << s_seen.afterBroken.drawn
        << " -> " << after.drawn << ", empty " << s_seen.afterBroken.empty << " -> " << after.empty;
    EXPECT_FALSE(IsPreviewThreadRunning());
    EXPECT_EQ(GetPreviewThumbnail(), nullptr);
    EXPECT_EQ(GetPreviewWindow(), nullptr);
}
