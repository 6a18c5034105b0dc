// The pen selector's pen building, run as the module runs it (its code is built into this program
// without its window and entries), and the host's broadcast of an image change to a full table of
// 100 sub-window rows. Figures: microseconds to build a size-48 pen of each shape into the host pen
// (published, so the host computes its outline as well), and nanoseconds for one broadcast.
// --smoke runs a few rounds only.
#include "ovrin.h"
#include "pens.h"
#include "plugins/loader.h"
#include "plugins/subwin.h"
#include <chrono>
#include <stdio.h>
#include <string.h>

using Clock = std::chrono::steady_clock;

static int s_heard;
static int QZCAPI Heard(ImageGroup *, LayerRecord *, CDIB *, int) { return ++s_heard; }

static double MicrosecondsSince(Clock::time_point start, int rounds)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    if (QzsCreatePen(49) != 1)
        return 1;
    int rounds = smoke ? 3 : 2000;
    printf("pen of size 48 (hardness 50, round fuzz), built and published:\n");
    for (int shape = 0; shape < kShapes; shape++) {
        PenSettings s = {shape, 48, 50, 100, kFuzzyRound, {0, 0, 0}};
        auto start = Clock::now();
        for (int i = 0; i < rounds; i++)
            BuildPenShape(s, 1, NULL);
        printf("  %-4s %9.1f us\n", kShapeIds[shape], MicrosecondsSince(start, rounds));
    }

    for (int row = 0; row < kSubWindowRows; row++) {
        g_subWindows[row].module = (HMODULE)(INT_PTR)(row + 1000);
        g_subWindows[row].QzcChangeImage = Heard;
    }
    int broadcasts = smoke ? 10 : 200000;
    auto start = Clock::now();
    for (int i = 0; i < broadcasts; i++)
        BroadcastImageChanged(NULL, NULL, NULL, 2);
    double us = MicrosecondsSince(start, broadcasts);
    printf("image change to %d rows: %.0f ns per broadcast (%d calls)\n", kSubWindowRows, us * 1000, s_heard);
    memset(g_subWindows, 0, sizeof g_subWindows);
    return 0;
}
