// A 32-bit image group with opaque layers over it, shown in a real image window that is current.
#pragma once
#include "loader_fixture.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "view/display.h"
#include "view/groupview.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <stdlib.h>

// The base filled with baseColor, then one layer per colour, each the base's size, bottom first.
inline ImageWindow *ShowNewGroup(int width, int height, uint32_t baseColor, std::initializer_list<uint32_t> layers)
{
    EXPECT_EQ(RegisterImageWindowClass(), 1);
    EXPECT_EQ(RegisterStatusWindowClass(), 1);
    g_statusWindowsOn = 0;
    CDIB *base = nullptr;
    QzsCreateNewImage(&base, width, height, 32);
    if (!base || AddImageGroup(base) != 1)
        return nullptr;
    for (int i = 0; i < width * height; i++)
        ((uint32_t *)base->pixels)[i] = baseColor;
    if (!base->mask)
        base->mask = (uint8_t *)calloc((size_t)width * height, 1);
    ImageGroup *group = g_lastGroup;
    for (uint32_t color : layers) {
        CDIB *image = nullptr;
        if (CreateImageRecord(&image, width, height, 32) != 0)
            return nullptr;
        for (int i = 0; i < width * height; i++)
            ((uint32_t *)image->pixels)[i] = color;
        QzsInsertNewLayer(group, image, 0, 0, 1, 255, 0);
    }
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    if (!w)
        return nullptr;
    ShowGroupInWindow(w, group, 1, 0);
    if (!w->drawBuffer) {
        w->group = group;
        EXPECT_EQ(BuildWindowDisplay(w, group, false), 1);
    }
    MakeWindowCurrent(w);
    return w;
}
