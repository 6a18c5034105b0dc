// The five functional-colour modules loaded as the program loads them, a group shown in an image
// window with its stroke buffers, and figures painted through the host's painting services: every
// pixel of the figure in the drawing colour, then the stroke committed.
#pragma once
#include "loader_fixture.h"
#include "image/bindings.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "image/pen.h"
#include "plugins/params.h"
#include "view/display.h"
#include "view/paint.h"
#include "view/winlist.h"
#include "view/writers.h"
#include <functional>
#include <math.h>
#include <stdlib.h>

using Inside = std::function<bool(int x, int y)>;

inline uint32_t Opaque(int red, int green, int blue)
{
    return 0xFF000000u | uint32_t(red & 255) << 16 | uint32_t(green & 255) << 8 | uint32_t(blue & 255);
}

// The picture under every figure: no two neighbours alike.
inline uint32_t Pattern(int x, int y)
{
    return Opaque(x * 17 + 5, y * 23 + 9, x * y * 7 + 3);
}

class FuncColTest : public LoaderTest {
protected:
    ImageWindow *window = nullptr;
    ImageGroup *group = nullptr;
    HWND panelWindow = nullptr;
    int w = 0, h = 0;

    void SetUp() override
    {
        LoaderTest::SetUp();
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/Fcolor";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        for (const char *m : {"fcteal", "fcyarrow", "fcwren", "fcvale", "fcumbra"})
            ASSERT_TRUE(CopyFileA((app + "\\" + m + ".ovp").c_str(),
                                  (std::string(g_cfg.FuncColor_dir) + "\\" + m + ".ovp").c_str(), FALSE))
                << m;
        Put(g_cfg.Parameter_dir, "p_num");
        ASSERT_EQ(LoadParameterPlugins(), 1);
        ASSERT_EQ(LoadFuncColorPlugins(), 5);
        panelWindow = CreateWindowExA(0, "STATIC", "colour panel", WS_POPUP | WS_CAPTION, 10, 10, 240, 160, nullptr,
                                      nullptr, nullptr, nullptr);
        g_colorParamWindow = panelWindow;
        InitDisplayWriters(32);
        ClearDirtyRect();
        ResetStampCounter();
        SetColor(2, 10, 200, 40);
        SetColor(3, 250, 20, 120);
        SetColor(4, 60, 90, 255);
        SetColor(5, 200, 180, 0);
        ColorRecord *drawing = QzsGetColor(0);
        drawing->red = 200, drawing->green = 120, drawing->blue = 40, drawing->opacity = 255;
    }
    void TearDown() override
    {
        QzsSetColorFunction(0, 0);
        g_colorParamWindow = nullptr;
        DestroyWindow(panelWindow);
        LoaderTest::TearDown();
    }

    static void SetColor(int which, int red, int green, int blue)
    {
        ColorRecord *c = QzsGetColor(which);
        c->red = red, c->green = green, c->blue = blue;
    }

    // A base of width x height in the pattern, shown in the window (margins 2 and 1).
    void Show(int width, int height)
    {
        w = width, h = height;
        CDIB *base = nullptr;
        ASSERT_EQ(CreateImageRecord(&base, w, h, 32), 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                ((uint32_t *)base->pixels)[y * w + x] = Pattern(x, y);
        ASSERT_EQ(AddImageGroup(base), 1);
        group = g_lastGroup;
        window = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        window->marginX = 2, window->marginY = 1;
        window->regionDisplayMode = 4;
        g_firstWindow = g_lastWindow = g_currentWindow = window;
        g_currentGroup = group;
        window->group = group;
        window->layerImage = base;
        ASSERT_EQ(BuildWindowDisplay(window, group, false), 1);
    }

    int Row(const char *file)
    {
        for (int i = 0; i < kColorFunctionRows && g_colorFunctions[i].module; i++)
            if (!strcmp(g_colorFunctions[i].file, file))
                return i;
        ADD_FAILURE() << file << " is not loaded";
        return -1;
    }

    // Chooses the module's colour as the drawing colour's functional colour, with a panel of one
    // number control per value (none: no panel, every parameter reads "0").
    void Choose(const char *file, const std::vector<std::string> &values = {})
    {
        QzsSetColorFunction(0, 0); // the old panel goes with its values first
        std::string stem = std::string(g_cfg.FuncColor_dir) + "\\" + std::string(file).substr(0, strlen(file) - 4);
        DeleteFileA((stem + ".pdv").c_str());
        DeleteFileA((stem + ".ppd").c_str());
        if (!values.empty()) {
            std::string ppd = "100 100\n";
            for (size_t i = 0; i < values.size(); i++)
                ppd += "TestNumber 0 0 p" + std::to_string(i) + " " + values[i] + "\n";
            WriteFileText(stem + ".ppd", ppd);
        }
        int row = Row(file);
        ASSERT_GE(row, 0);
        ASSERT_EQ(QzsSetColorFunction(0, row + 1), 1);
        EXPECT_EQ(std::string(QzsGetParameter(3, 0)), values.empty() ? "0" : values[0]);
    }

    // The picture put back, every pixel of the figure painted in the drawing colour, then the
    // stroke committed.
    void PaintFigure(const Inside &inside)
    {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                ((uint32_t *)group->base->pixels)[y * w + x] = Pattern(x, y);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (inside(x, y)) {
                    QzsStartPset(window, x, y);
                    QzsPSet(window, x, y, 0);
                }
        CommitStroke(window);
    }

    uint32_t Base(int x, int y) { return ((uint32_t *)group->base->pixels)[y * w + x]; }

    // The figure's pixels against expected, the rest of the picture untouched; the first few
    // differences are reported.
    void ExpectFigure(const Inside &inside, const std::function<uint32_t(int, int)> &expected, const char *what)
    {
        int wrong = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint32_t want = inside(x, y) ? expected(x, y) : Pattern(x, y);
                if (Base(x, y) != want && wrong++ < 4)
                    ADD_FAILURE() << what << " at " << x << "," << y << ": " << std::hex << Base(x, y) << " expected "
                                  << want;
            }
    }
};

// A rectangle of the picture, inclusive.
inline Inside Box(int l, int t, int r, int b)
{
    return [=](int x, int y) { return x >= l && x <= r && y >= t && y <= b; };
}
