// The polygon fill: the closed outline through the points of the point list, filled with colour
// record 0 by the even-odd rule on a cell buffer, every outline pixel painted as well. A cell holds
// the parity of the edge crossings that start a row run in it and whether an edge passes through it.
// The buffer covers only the part of the points' box that can be painted (the current layer, or the
// whole box in loop mode, where pixels wrap); crossings left of it are counted per row.
#include "image/pen.h"
#include "image/pointlist.h"
#include "base/msgbox.h"
#include "base/sysinfo.h"
#include "view/display.h"
#include "view/linesteps.h"
#include "view/paint.h"
#include <stdint.h>
#include <stdlib.h>
#include <vector>

namespace {

enum { kCrossing = 1, kEdge = 2 };

struct FillBuffer {
    int64_t left, top, right, bottom; // the cells' area, group coordinates
    int64_t width;
    uint8_t *cells;
    uint8_t *before; // per row: parity of the crossings left of the area

    bool HasRow(int64_t y) const { return y >= top && y <= bottom; }
    uint8_t &Cell(int64_t x, int64_t y) { return cells[(y - top) * width + (x - left)]; }

    void AddCrossing(int64_t x, int64_t y)
    {
        if (!HasRow(y) || x > right)
            return;
        if (x < left)
            before[y - top] ^= 1;
        else
            Cell(x, y) ^= kCrossing;
    }
    // Edge cells from x0 to x1 (either order) on row y.
    void MarkEdges(int64_t x0, int64_t x1, int64_t y)
    {
        if (!HasRow(y))
            return;
        int64_t a = x0 < x1 ? x0 : x1, b = x0 < x1 ? x1 : x0;
        a = a < left ? left : a;
        b = b > right ? right : b;
        for (int64_t x = a; x <= b; x++)
            Cell(x, y) |= kEdge;
    }
};

int PreviousPoint(int i, int n)
{
    return i == 0 ? n - 1 : i - 1;
}

// The next point after i whose row differs from point i's; i itself when there is none.
int NextPointOtherRow(const std::vector<QzPoint> &p, int i)
{
    int n = (int)p.size();
    for (int k = 1; k < n; k++) {
        int j = (i + k) % n;
        if (p[j].y != p[i].y)
            return j;
    }
    return i;
}

// The outline passes through point i from one side of its row to the other.
bool IsPassThroughVertex(const std::vector<QzPoint> &p, int i)
{
    const QzPoint &v = p[i], &r = p[PreviousPoint(i, (int)p.size())], &q = p[NextPointOtherRow(p, i)];
    if (r.y == v.y)
        return false;
    int before = r.y < v.y ? -1 : 1, after = q.y < v.y ? -1 : q.y > v.y ? 1 : 0;
    return before * after < 0;
}

// Every row of a steep edge gets one crossing; a shallow edge gives one to the first cell of each of
// its row runs; a horizontal edge gives none. A vertex shared by two edges so counts twice, which
// the vertex correction turns odd where the outline passes through.
void MarkPolygonEdge(FillBuffer &f, int x1, int y1, int x2, int y2)
{
    LineSteps line(x1, y1, x2, y2);
    if (y1 == y2) {
        f.MarkEdges(x1, x2, y1);
        return;
    }
    int64_t top = y1 < y2 ? y1 : y2, bottom = y1 < y2 ? y2 : y1;
    top = top < f.top ? f.top : top;
    bottom = bottom > f.bottom ? f.bottom : bottom;
    for (int64_t y = top; y <= bottom; y++) {
        int64_t first, last;
        if (line.steep) {
            first = last = y > y1 ? y - y1 : y1 - y;
        } else if (!line.OnRow(y, &first, &last)) {
            continue;
        }
        f.AddCrossing(line.X(first), y);
        f.MarkEdges(line.X(first), line.X(last), y);
    }
}

// Paints the cells of one row: runs end at the first cell without an edge after one or more edge
// cells; a run paints its edge cells, and all its cells when it starts inside.
void FillPolygonRows(ImageWindow *window, FillBuffer &f)
{
    for (int64_t y = f.top; y <= f.bottom; y++) {
        int parity = f.before[y - f.top];
        int64_t next = INT64_MIN; // where the painting run stands
        int64_t x = f.left;
        while (x <= f.right) {
            bool inside = parity & 1, metEdge = false;
            for (; x <= f.right; x++) {
                uint8_t c = f.Cell(x, y);
                bool edge = (c & kEdge) != 0;
                if (metEdge && !edge)
                    break;
                metEdge = metEdge || edge;
                parity += c & kCrossing;
                if (edge || inside) {
                    if (x != next)
                        QzsStartPset(window, (int)x, (int)y);
                    QzsPSet(window, (int)x, (int)y, 0);
                    next = x + 1;
                }
            }
        }
    }
}

// The cells (one byte each) and the per-row parities fit in what can be committed and addressed
// now; sizes are compared before they are multiplied, so no box can overflow the count.
bool BufferFits(int64_t width, int64_t rows)
{
    MEMORYSTATUS status;
    QueryMemoryStatus(&status);
    uint64_t room = status.dwAvailPageFile < status.dwAvailVirtual ? status.dwAvailPageFile : status.dwAvailVirtual;
    room = room < SIZE_MAX ? room : SIZE_MAX;
    return width < 1 || rows < 1 || (uint64_t)rows <= room / (uint64_t)(width + 1);
}

int RefuseFill()
{
    AppMessageBox(NULL, "Can't allocate buffer!!", "ERROR", MB_OK);
    return 4;
}

} // namespace

QZS_DECL(int) QzsFillPolygon(ImageWindow *window)
{
    int n = QzsGetHowManyPoints();
    if (n < 1)
        return n;
    if (!window || !window->group)
        return 4;
    std::vector<QzPoint> p((size_t)n);
    for (int i = 0; i < n; i++)
        QzsGetEntryPoint(i, &p[i]);
    int minX = p[0].x, minY = p[0].y, maxX = p[0].x, maxY = p[0].y;
    for (const QzPoint &q : p) {
        minX = q.x < minX ? q.x : minX, maxX = q.x > maxX ? q.x : maxX;
        minY = q.y < minY ? q.y : minY, maxY = q.y > maxY ? q.y : maxY;
    }
    // Only the current layer can be painted, unless loop mode wraps every pixel into it.
    const ImageGroup *g = window->group;
    FillBuffer f = {minX, minY, maxX, maxY, 0, NULL, NULL};
    if (!IsLoopMode()) {
        f.left = f.left < g->clampedX ? g->clampedX : f.left;
        f.top = f.top < g->clampedY ? g->clampedY : f.top;
        f.right = f.right > g->right ? g->right : f.right;
        f.bottom = f.bottom > g->bottom ? g->bottom : f.bottom;
    }
    bool empty = f.left > f.right || f.top > f.bottom;
    f.width = empty ? 0 : f.right - f.left + 1;
    int64_t rows = empty ? 0 : f.bottom - f.top + 1;
    if (!BufferFits(f.width, rows))
        return RefuseFill();
    int64_t cells = f.width * rows;

    if (minY == maxY) {
        for (int64_t x = f.left; !empty && x <= f.right; x++) {
            QzsStartPset(window, (int)x, minY);
            QzsPSet(window, (int)x, minY, 0);
        }
        QzsUpdateImageWindow(window, minX, minY, maxX, maxY);
        return 4;
    }
    if (!empty) {
        f.cells = (uint8_t *)calloc((size_t)cells, 1);
        f.before = (uint8_t *)calloc((size_t)(f.bottom - f.top + 1), 1);
        if (!f.cells || !f.before) {
            free(f.cells);
            free(f.before);
            return RefuseFill();
        }
        for (int i = 0; i < n; i++)
            if (IsPassThroughVertex(p, i))
                f.AddCrossing(p[i].x, p[i].y);
        for (int i = 0; i < n; i++) {
            const QzPoint &a = p[i], &b = p[(i + 1) % n];
            MarkPolygonEdge(f, a.x, a.y, b.x, b.y);
        }
        FillPolygonRows(window, f);
        free(f.cells);
        free(f.before);
    }
    return RefreshWindowRect(window, minX, minY, maxX, maxY, 1);
}
