// The save dialog with a save plug-in's option panel: where the panel lands in the dialog.
#include "loader_fixture.h"
#include "files/save.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/params.h"
#include <commdlg.h>
#include <dlgs.h>
#include <stdio.h>
#include <vector>

namespace {

struct PanelSeen {
    bool found = false;
    RECT client = {};               // the dialog's client area on the screen
    std::vector<RECT> controls;     // the panel's controls on the screen
    int height = 0, heightBmp = 0;  // the dialog's height with the panel and after choosing BMP
    bool controlsAfterBmp = true;
} s_panel;

// The dialog as it shows on the screen, kept as a picture among the test artifacts.
void KeepScreenshot(HWND window, const char *name)
{
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::string dir = OVRIN_ARTIFACTS;
    if (!dir.empty() && dir[0] == '/')
        dir = "Z:" + dir;
    CreateDirectoryA(dir.c_str(), nullptr);
    if (FILE *f = fopen((dir + "/" + name).c_str(), "wb")) {
        BITMAPFILEHEADER fh = {0x4D42, (DWORD)(sizeof fh + sizeof bi.bmiHeader + w * h * 4), 0, 0,
                               (DWORD)(sizeof fh + sizeof bi.bmiHeader)};
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        for (size_t i = 0; i < (size_t)w * h; i++)
            ((uint8_t *)bits)[4 * i + 3] = 255; // what the screen shows is opaque
        fwrite(bits, 4, (size_t)w * h, f);
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

void DrivePanel(HWND dialog)
{
    s_panel.found = true;
    GetClientRect(dialog, &s_panel.client);
    MapWindowPoints(dialog, nullptr, (POINT *)&s_panel.client, 2);
    for (int id = 20000; id < 20002; id++) {
        RECT r = {-1, -1, -1, -1};
        if (HWND c = FindDescendant(dialog, id))
            GetWindowRect(c, &r);
        s_panel.controls.push_back(r);
    }
    RECT whole;
    GetWindowRect(dialog, &whole);
    s_panel.height = whole.bottom - whole.top;
    UpdateWindow(dialog);
    KeepScreenshot(dialog, "save-dialog-panel.bmp");
    // BMP has no option panel: the dialog goes back to its size without one.
    HWND combo = FindDescendant(dialog, cmb1);
    SendMessageA(combo, CB_SETCURSEL, 2, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), (LPARAM)combo);
    GetWindowRect(dialog, &whole);
    s_panel.heightBmp = whole.bottom - whole.top;
    s_panel.controlsAfterBmp = FindDescendant(dialog, 20000) != nullptr;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

class SavePanelTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        CreateDirectoryA(g_cfg.Saver_dir, nullptr);
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/SavePlug/saverb.ovp";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        ASSERT_TRUE(CopyFileA(app.c_str(), (std::string(g_cfg.Saver_dir) + "\\saverb.ovp").c_str(), FALSE));
        Put(g_cfg.Parameter_dir, "p_num");
        LoadParameterPlugins();
        UnloadSavePlugins();
        ASSERT_EQ(LoadSavePlugins(g_saverTable, g_cfg.Saver_dir, g_furtherSaveFilter, sizeof g_furtherSaveFilter), 1);
    }
    void TearDown() override
    {
        UnloadSavePlugins();
        LoaderTest::TearDown();
    }
};

} // namespace

// The panel of a save plug-in lies below the dialog's own controls, inside the dialog, which
// grows to hold it and shrinks again for a format without options. A picture of the dialog goes
// to the test artifacts.
TEST_F(SavePanelTest, PluginPanelLiesInsideTheDialog)
{
    WriteFileText(std::string(g_cfg.Saver_dir) + "\\saverb.ppd",
                  "100 50\nTestNumber 10 10 dpi 72\nTestNumber 10 40 size 5\n");
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, 4, 4, 32);
    ASSERT_EQ(AddImageGroup(base), 1);
    SetSaveFormat(4);
    s_panel = PanelSeen();
    DriveNextDialog(DrivePanel, 300);
    char buffer[512];
    EXPECT_EQ(ShowSaveFileDialog(g_lastGroup, buffer, sizeof buffer), 1);
    StopDrivingDialogs();
    ASSERT_TRUE(s_panel.found);
    ASSERT_EQ(s_panel.controls.size(), 2u);
    for (const RECT &r : s_panel.controls) {
        ASSERT_GE(r.left, s_panel.client.left) << "a control of the panel is missing or off the dialog";
        EXPECT_GE(r.top, s_panel.client.top);
        EXPECT_LE(r.right, s_panel.client.right);
        EXPECT_LE(r.bottom, s_panel.client.bottom);
    }
    EXPECT_LT(s_panel.heightBmp, s_panel.height);
    EXPECT_FALSE(s_panel.controlsAfterBmp);
    EXPECT_EQ(GetSaveFormat(), 3);
}
