// The delivered draw modules as the program loads them from the application's Draw directory,
// each with a draw panel of three numeric controls, in an image window of 200 x 150 white pixels.
// A stand-in functional colour records every pen stamp, in order.
#pragma once
#include "draw_fixture.h"
#include "image/bindings.h"
#include "image/pointlist.h"
#include "plugins/params.h"
#include "view/paint.h"
#include <set>
#include <string>
#include <utility>
#include <vector>

inline bool operator==(const QzPoint &a, const QzPoint &b) { return a.x == b.x && a.y == b.y; }
inline std::ostream &operator<<(std::ostream &o, const QzPoint &p) { return o << "(" << p.x << "," << p.y << ")"; }

namespace drawtest {

using Spot = std::pair<int, int>;
using Pixels = std::set<Spot>;
using Points = std::vector<QzPoint>;

inline std::vector<Spot> &Stamps()
{
    static std::vector<Spot> stamps;
    return stamps;
}

inline int QZCAPI RecordStamp(int code, int x, int y, int, int)
{
    if (code == 1)
        Stamps().push_back({x, y});
    return 0;
}

inline Points List()
{
    Points p((size_t)QzsGetHowManyPoints());
    for (size_t i = 0; i < p.size(); i++)
        QzsGetEntryPoint((int)i, &p[i]);
    return p;
}

inline void SetList(const Points &p)
{
    QzsInitPoint();
    for (const QzPoint &q : p)
        QzsSetNewEntryPoint(&q);
}

} // namespace drawtest

class DrawModulesTest : public DrawWindowTest {
protected:
    const std::vector<std::string> modules = {"ellipse", "dwquay", "sphere", "spray", "spline", "dwreed", "dwsage"};

    void SetUp() override
    {
        DrawWindowTest::SetUp();
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/Draw";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        std::string pin;
        for (const std::string &m : modules) {
            ASSERT_TRUE(CopyFileA((app + "\\" + m + ".ovp").c_str(),
                                  (std::string(g_cfg.Draw_dir) + "\\" + m + ".ovp").c_str(), FALSE))
                << m;
            pin += m + ".ovp\n";
            WriteFileText(std::string(g_cfg.Draw_dir) + "\\" + m + ".ppd",
                          "100 90\nTestNumber 0 0 first 0\nTestNumber 0 30 second 0\nTestNumber 0 60 third 0\n");
        }
        WriteFileText(Stat("draw.pin"), pin);
        ASSERT_EQ(LoadDrawPlugins(), (int)modules.size());
        Put(g_cfg.Parameter_dir, "p_num");
        ASSERT_EQ(LoadParameterPlugins(), 1);
        g_drawParamWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 100, NULL, NULL, g_instance, NULL);
        // A pen of one full-strength pixel.
        QzsCreatePen(2);
        PenRecord *pen = QzsGetPen();
        pen->weights[0] = 255;
        pen->hotX = pen->hotY = pen->left = pen->top = pen->right = pen->bottom = 0;
        QzsSetPen(0);
        drawtest::Stamps().clear();
        width = 200, height = 150;
        OpenWindow();
    }
    void TearDown() override
    {
        memset(&g_colorFunctions[0], 0, sizeof g_colorFunctions[0]);
        QzsGetColor(0)->function = 0;
        CloseParameterPanel(g_cfg.Draw_dir, GetParameterPanel(kPanelDraw), 0);
        DestroyWindow(g_drawParamWindow);
        g_drawParamWindow = NULL;
        DrawWindowTest::TearDown();
    }
    // The module of that name chosen as the draw method, its panel holding the values given.
    DrawPluginRecord &Choose(const std::string &name, std::vector<int> values = {})
    {
        int row = 0;
        while (row < (int)modules.size() && modules[row] != name)
            row++;
        EXPECT_EQ(SelectDraw(row), 1) << name;
        for (size_t i = 0; i < values.size(); i++) {
            ParameterControl *c = GetParameterControl(GetParameterPanel(kPanelDraw), (int)i);
            EXPECT_NE(c, nullptr);
            if (c)
                c->type->QzcSetValue(c, std::to_string(values[i]).c_str());
        }
        return g_drawPlugins[row];
    }
    // Every pen stamp from now on goes to drawtest::Stamps() too.
    void RecordStamps()
    {
        g_colorFunctions[0].module = GetModuleHandleA(NULL);
        g_colorFunctions[0].QzcReceiveMessage = drawtest::RecordStamp;
        QzsGetColor(0)->function = 1;
    }
    uint32_t Shown(int x, int y)
    {
        return ((uint32_t *)w->display.pixels)[(w->displayHeight - 1 - y - w->marginY) * w->displayWidth + x +
                                               w->marginX] & 0xFFFFFF;
    }
    // The pixels the display shows other than white (the guide inverts white to black).
    drawtest::Pixels ShownPixels()
    {
        drawtest::Pixels out;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if (Shown(x, y) != 0xFFFFFF)
                    out.insert({x, y});
        return out;
    }
    // The pixels of the picture other than white, after the stroke is committed.
    drawtest::Pixels PaintedPixels()
    {
        CommitStroke(w);
        drawtest::Pixels out;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if ((Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    out.insert({x, y});
        return out;
    }
    // The pixels the current stroke covers.
    drawtest::Pixels CoveredPixels()
    {
        drawtest::Pixels out;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                if (w->coverage[y * width + x])
                    out.insert({x, y});
        return out;
    }
};
