// The regular-polygon draw modules as the program loads them: their kinds, names and buttons, the
// corners they compute, the filled module's point list, the outline and the rubber band.
#include "draw_fixture.h"
#include "image/dirtyrect.h"
#include "image/pointlist.h"
#include "plugins/params.h"
#include <math.h>
#include <vector>

static bool operator==(const QzPoint &a, const QzPoint &b) { return a.x == b.x && a.y == b.y; }
static std::ostream &operator<<(std::ostream &o, const QzPoint &p) { return o << "(" << p.x << "," << p.y << ")"; }

namespace {

using Points = std::vector<QzPoint>;

// The corners as the modules define them: from the corner point round the centre, the last one
// the corner point itself.
Points Corners(QzPoint c, QzPoint p, int n)
{
    double r = sqrt((double)((c.x - p.x) * (c.x - p.x) + (c.y - p.y) * (c.y - p.y)));
    double a = p.x != c.x ? atan((double)(c.y - p.y) / (double)(c.x - p.x)) : p.y > c.y ? 1.5707963267950003 : -1.5707963267950003;
    if (p.x < c.x)
        a += 3.1415926535900005;
    Points out;
    for (int k = 1; k < n; k++)
        out.push_back({(int)(cos(a + k * (6.283185307180001 / n)) * r + c.x), (int)(sin(a + k * (6.283185307180001 / n)) * r + c.y)});
    out.push_back(p);
    return out;
}

Points List()
{
    Points p((size_t)QzsGetHowManyPoints());
    for (size_t i = 0; i < p.size(); i++)
        QzsGetEntryPoint((int)i, &p[i]);
    return p;
}

void SetList(const Points &p)
{
    QzsInitPoint();
    for (const QzPoint &q : p)
        QzsSetNewEntryPoint(&q);
}

class PolygonModulePointerTest : public DrawWindowTest {
protected:
    void SetUp() override
    {
        DrawWindowTest::SetUp();
        std::string app = std::string("Z:") + OVRIN_APP_DIR + "/Draw";
        for (char &c : app)
            if (c == '/')
                c = '\\';
        for (const char *m : {"dwopal", "dwpike"})
            ASSERT_TRUE(CopyFileA((app + "\\" + m + ".ovp").c_str(),
                                  (std::string(g_cfg.Draw_dir) + "\\" + m + ".ovp").c_str(), FALSE))
                << m;
        WriteFileText(Stat("draw.pin"), "dwopal.ovp\ndwpike.ovp\n");
        ASSERT_EQ(LoadDrawPlugins(), 2);
        // The corner count comes from the first control of the draw panel.
        Put(g_cfg.Parameter_dir, "p_num");
        ASSERT_EQ(LoadParameterPlugins(), 1);
        for (const char *m : {"dwopal", "dwpike"})
            WriteFileText(std::string(g_cfg.Draw_dir) + "\\" + m + ".ppd", "100 50\nTestNumber 0 0 corners 4\n");
        g_drawParamWindow = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 100, NULL, NULL, g_instance, NULL);
        width = 200, height = 150;
        OpenWindow();
    }
    void TearDown() override
    {
        CloseParameterPanel(g_cfg.Draw_dir, GetParameterPanel(kPanelDraw), 0);
        DestroyWindow(g_drawParamWindow);
        g_drawParamWindow = NULL;
        DrawWindowTest::TearDown();
    }
    DrawPluginRecord &Choose(int row, int corners)
    {
        EXPECT_EQ(SelectDraw(row), 1);
        ParameterControl *c = GetParameterControl(GetParameterPanel(kPanelDraw), 0);
        EXPECT_NE(c, nullptr);
        if (c)
            c->type->QzcSetValue(c, std::to_string(corners).c_str());
        return g_drawPlugins[row];
    }
};

} // namespace

TEST_F(PolygonModulePointerTest, KindsNamesAndButtons)
{
    struct Case {
        const char *file, *name;
        int info;
    } cases[] = {{"dwopal.ovp", "FillRegularPolygon", 1}, {"dwpike.ovp", "RegularPolygon", 0}};
    for (int row = 0; row < 2; row++) {
        const DrawPluginRecord &r = g_drawPlugins[row];
        EXPECT_STREQ(r.file, cases[row].file);
        EXPECT_STREQ(r.name, cases[row].name);
        EXPECT_EQ(r.interaction, 3);
        EXPECT_EQ(r.info, cases[row].info);
        BITMAP b = {};
        ASSERT_TRUE(GetObjectA(r.bitmap, sizeof b, &b)) << r.file;
        EXPECT_EQ(b.bmWidth, 20);
        EXPECT_EQ(b.bmHeight, 20);
        EXPECT_TRUE(r.QzcSetPoint && r.QzcDrawGuideLine && r.QzcDrawIt && r.QzcCancelOne);
        EXPECT_EQ(r.QzcGuideLineBeforeDraw, nullptr);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PolygonModulePointerTest, TheFilledPolygonLeavesItsCornersInThePointList)
{
    struct Case {
        const char *what;
        QzPoint c, p;
        int n;
    } cases[] = {
        {"corner to the right", {100, 100}, {110, 100}, 4},
        {"corner straight below", {60, 60}, {60, 90}, 5},
        {"corner straight above", {60, 60}, {60, 20}, 3},
        {"corner to the left", {80, 70}, {40, 50}, 6},
        {"one corner", {50, 50}, {57, 53}, 1},
        {"two corners", {50, 50}, {57, 53}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DrawPluginRecord &opal = Choose(0, c.n);
        QzsInitPoint();
        QzPoint centre = c.c;
        EXPECT_EQ(opal.QzcSetPoint(w, c.c.x, c.c.y, 0), 1);
        EXPECT_EQ(opal.QzcSetPoint(w, c.p.x, c.p.y, 0), 4);
        EXPECT_EQ(opal.QzcDrawIt(w, 0, 0, 0), 0);
        EXPECT_EQ(List(), Corners(centre, c.p, c.n));
    }
    // The example worked through by hand: the step lies a little above a right angle.
    Choose(0, 4);
    SetList({{100, 100}, {110, 100}});
    g_drawPlugins[0].QzcDrawIt(w, 0, 0, 0);
    EXPECT_EQ(List(), (Points{{99, 110}, {90, 99}, {100, 90}, {110, 100}}));
    // More corners than the point list holds make a circle of as many as it holds.
    Choose(0, 100000);
    SetList({{100, 75}, {160, 75}});
    g_drawPlugins[0].QzcDrawIt(w, 0, 0, 0);
    EXPECT_EQ(QzsGetHowManyPoints(), kPointListCapacity);
}

TEST_F(PolygonModulePointerTest, NothingIsDrawnWithoutCornersOrRadius)
{
    struct Case {
        int row, n;
        Points points;
    } cases[] = {
        {0, 0, {{50, 50}, {60, 50}}},  {0, -3, {{50, 50}, {60, 50}}}, {0, 5, {{50, 50}, {50, 50}}},
        {1, 0, {{50, 50}, {60, 50}}},  {1, 5, {{50, 50}, {50, 50}}},  {0, 5, {{50, 50}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " n " << c.n << " points " << c.points.size());
        DrawPluginRecord &r = Choose(c.row, c.n);
        SetList(c.points);
        EXPECT_EQ(r.QzcDrawIt(w, 0, 0, 0), 0);
        EXPECT_EQ(r.QzcDrawGuideLine(w, 70, 50, 1, 0, 0), 0);
        EXPECT_EQ(List(), c.points);
        RECT dirty;
        EXPECT_FALSE(GetDirtyRect(&dirty));
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                ASSERT_EQ(w->coverage[y * width + x], 0) << x << "," << y;
    }
}

TEST_F(PolygonModulePointerTest, TheOutlineIsDrawnWithThePenAndTheGuideIsTakenBack)
{
    QzsCreatePen(2);
    PenRecord *pen = QzsGetPen();
    pen->weights[0] = 255;
    pen->hotX = pen->hotY = pen->left = pen->top = pen->right = pen->bottom = 0;
    QzsSetPen(0);
    DrawPluginRecord &pike = Choose(1, 4);
    SetList({{100, 75}, {130, 75}});
    std::vector<uint32_t> display((uint32_t *)w->display.pixels,
                                  (uint32_t *)w->display.pixels + w->displayWidth * w->displayHeight);
    auto Shown = [&](int x, int y) {
        return ((uint32_t *)w->display.pixels)[(w->displayHeight - 1 - y - w->marginY) * w->displayWidth + x +
                                               w->marginX] & 0xFFFFFF;
    };
    const Points corners = Corners({100, 75}, {130, 75}, 4);
    pike.QzcDrawGuideLine(w, 130, 75, 1, 0, 0);
    for (const QzPoint &corner : corners)
        EXPECT_EQ(Shown(corner.x, corner.y), 0u) << corner; // white inverted
    EXPECT_EQ(Shown(100, 75), 0xFFFFFFu); // the centre is no corner
    pike.QzcDrawGuideLine(w, 130, 75, 0, 0, 0);
    for (size_t i = 0; i < display.size(); i++)
        ASSERT_EQ(((uint32_t *)w->display.pixels)[i] & 0xFFFFFF, display[i] & 0xFFFFFF) << i;

    EXPECT_EQ(pike.QzcDrawIt(w, 0, 0, 0), 0);
    for (const QzPoint &corner : corners)
        EXPECT_NE(w->coverage[corner.y * width + corner.x], 0) << corner;
    EXPECT_EQ(w->coverage[75 * width + 100], 0);
    EXPECT_EQ(List(), (Points{{100, 75}, {130, 75}})); // the outline leaves the list alone
}
