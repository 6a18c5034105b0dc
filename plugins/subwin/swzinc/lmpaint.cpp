// The layer manager's pictures and its painting: the thumbnail of the current image, the opacity
// bar of the current layer, the five rows of the stack and the buttons.
#include "swzinc.h"
#include <stdio.h>

namespace {

enum { kThumbSize = 80, kBarWidth = 129, kBarHeight = 20, kListTop = 110, kRowHeight = 20 };

// The image told with the last change while the group still holds it, else the group's current one.
CDIB *ShownImage(ImageGroup *group)
{
    if (!group)
        return NULL;
    for (int e = 0, n = CountEntries(group); e < n; e++)
        if (EntryImage(group, e) == g_lm.image)
            return g_lm.image;
    return group->currentImage;
}

void FrameThumbnail()
{
    uint8_t black[4];
    sw::Pixel(black, 0, 0, 0);
    sw::FillPicture(g_lm.thumb, 0, 0, kThumbSize - 1, 0, black);
    sw::FillPicture(g_lm.thumb, 0, kThumbSize - 1, kThumbSize - 1, kThumbSize - 1, black);
    sw::FillPicture(g_lm.thumb, 0, 0, 0, kThumbSize - 1, black);
    sw::FillPicture(g_lm.thumb, kThumbSize - 1, 0, kThumbSize - 1, kThumbSize - 1, black);
}

void PaintRow(HDC dc, ImageGroup *group, int row)
{
    int entry = RowEntry(group, row), y = kListTop + kRowHeight * row;
    if (entry < 0)
        return;
    RECT cell = {26, y, 66, y + 20};
    FillRect(dc, &cell, g_lm.face);
    DrawEdge(dc, &cell, EDGE_RAISED, BF_RECT);
    sw::DrawBitmap(dc, EntryStatus(group, entry) ? g_lm.shown : g_lm.hidden, 36, y + 5);

    CDIB *image = EntryImage(group, entry);
    bool current = image && image == group->currentImage;
    RECT name = {66, y, 270, y + 21};
    FillRect(dc, &name, current ? g_lm.darkBlue : g_lm.white);
    FrameRect(dc, &name, g_lm.black);
    if (image) {
        char text[sizeof image->name];
        lstrcpynA(text, image->name, sizeof text);
        sw::ShowText(dc, g_lm.bigFont, 66 + 8, y + 2, text, current ? RGB(255, 255, 255) : RGB(0, 0, 0));
    }
}

} // namespace

void RebuildThumbnail()
{
    sw::FreePicture(g_lm.thumb);
    CDIB *image = ShownImage(ShownGroup());
    if (image && image->header && image->pixels &&
        QzsCreateThumbImage(&image->header->bmiHeader, image->pixels, &g_lm.thumb.image, kThumbSize, kThumbSize)) {
        g_lm.thumb.width = g_lm.thumb.height = kThumbSize;
        g_lm.thumb.made = true;
    } else {
        // A thumbnail the host could not make may have left a record behind.
        QzsDisposeCDIB(&g_lm.thumb.image);
        uint8_t grey[4];
        sw::Pixel(grey, 192, 192, 192);
        if (sw::MakePicture(g_lm.thumb, kThumbSize, kThumbSize))
            sw::FillPicture(g_lm.thumb, 0, 0, kThumbSize - 1, kThumbSize - 1, grey);
    }
    FrameThumbnail();
}

// Grey with white right and bottom edges, and a two-pixel marker at the opacity's half.
void DrawOpacityBar()
{
    uint8_t grey[4], white[4];
    sw::Pixel(grey, 128, 128, 128);
    sw::Pixel(white, 255, 255, 255);
    sw::FillPicture(g_lm.bar, 0, 0, kBarWidth - 1, kBarHeight - 1, grey);
    sw::FillPicture(g_lm.bar, kBarWidth - 1, 0, kBarWidth - 1, kBarHeight - 1, white);
    sw::FillPicture(g_lm.bar, 0, kBarHeight - 1, kBarWidth - 1, kBarHeight - 1, white);
    LayerRecord *layer = KnownCurrentLayer(ShownGroup());
    if (layer) {
        int x = layer->opacity / 2;
        sw::FillPicture(g_lm.bar, x, 0, x + 1, kBarHeight - 1, white);
    }
}

void PaintLayerManager(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    ImageGroup *group = ShownGroup();
    RECT list = {26, kListTop, 270, 211};
    FillRect(dc, &list, g_lm.halfFace);
    for (int row = 0; row < kRows; row++)
        PaintRow(dc, group, row);
    EndPaint(window, &ps);

    sw::ShowPicture(window, g_lm.thumb, 10, 10);
    sw::ShowPicture(window, g_lm.bar, 115, 45);
    char text[32] = "No Opacity";
    if (LayerRecord *layer = KnownCurrentLayer(group))
        snprintf(text, sizeof text, "opacity:%3d", layer->opacity);
    HDC screen = GetDC(window);
    sw::ShowText(screen, g_lm.smallFont, 118, 46, text, RGB(255, 255, 255));
    ReleaseDC(window, screen);
    for (ToolButton &b : g_lm.buttons)
        QzsDrawButton(window, &b);
    for (int row = 0; row < kRows; row++) {
        ToolButton &h = g_lm.handles[row];
        h.visible = HandleVisible(group, row);
        QzsDrawButton(window, &h);
    }
    // Said once per such state, after this paint: a box from inside it would paint and say it again.
    LayerRecord *lost = LostCurrentLayer(group);
    if (lost && lost != g_lm.lostLayer)
        PostMessageA(window, kUnknownStatusMessage, 0, 0);
    g_lm.lostLayer = lost;
}
