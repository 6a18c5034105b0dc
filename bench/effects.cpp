// The fifteen effects applied through the host as Apply runs them: the effect reading and writing
// through the pixel services, the commit into the layer and the display composed, in megapixels
// per second. --smoke runs a small image once; --raw <file> also writes the picture as raw BGRA
// rows for bench/effects.sh, which times ImageMagick's like operators on it in the same run;
// --only <name> applies that one effect six times and prints the second, when the window's stroke
// buffers have been touched once as in any session after its first stroke (bench/compare.sh), and
// after it where that Apply's time went: "split effect=MS progress=MS commit=MS redraw=MS".
#include "ovrin.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/effectdlg.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "base/settings.h"
#include "view/winlist.h"
#include "benchhost.h"
#include "base/stepclock.h"
#include <chrono>
#include <stdio.h>
#include <string.h>

// The modules' effect functions, built into this program without their exported entry points.
#define QZ_EFFECT_DECLARE(name)                                                                                \
    int name(CDIB *, uint32_t *, int, int, int, int, int, QzProgressProc);                                    \
    static int QZCAPI Entry##name(CDIB *i, uint32_t *d, int l, int t, int r, int b, int m, QzProgressProc p)  \
    {                                                                                                          \
        return name(i, d, l, t, r, b, m, p);                                                                   \
    }
QZ_EFFECT_DECLARE(GammaEffect)
QZ_EFFECT_DECLARE(SepiaEffect)
QZ_EFFECT_DECLARE(RgbAdjustEffect)
QZ_EFFECT_DECLARE(AccentEffect)
QZ_EFFECT_DECLARE(HazeEffect)
QZ_EFFECT_DECLARE(AlbaEffect)
QZ_EFFECT_DECLARE(WideEdgeEffect)
QZ_EFFECT_DECLARE(ReliefEffect)
QZ_EFFECT_DECLARE(SoftenEffect)
QZ_EFFECT_DECLARE(SkinColorEffect)
QZ_EFFECT_DECLARE(WaveEffect)
QZ_EFFECT_DECLARE(WaterEffect)
QZ_EFFECT_DECLARE(DuneEffect)
QZ_EFFECT_DECLARE(RippleEffect)
QZ_EFFECT_DECLARE(TextureEffect)

namespace {

using Clock = std::chrono::steady_clock;

struct Bench {
    const char *name;
    QzcEffectProc entry;
    const char *params[4];
};

} // namespace

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && strcmp(argv[1], "--smoke") == 0;
    const char *raw = argc > 2 && strcmp(argv[1], "--raw") == 0 ? argv[2] : nullptr;
    const char *only = argc > 2 && strcmp(argv[1], "--only") == 0 ? argv[2] : nullptr;
    int size = smoke ? 256 : 4096;
    StartWithDefaults();
    g_cfg.MaxUndoBuffer = (int64_t)512 << 20; // thirty applies of 64 MB layers keep only the last few steps

    CDIB *base = NoiseBase(size);
    if (!base)
        return 1;
    ImageGroup *group = g_lastGroup;
    if (raw) {
        FILE *out = fopen(raw, "wb");
        if (!out || fwrite(base->pixels, 4, (size_t)size * size, out) != (size_t)size * size) {
            fprintf(stderr, "could not write %s\n", raw);
            return 1;
        }
        fclose(out);
    }
    ImageWindow window{};
    window.group = group;
    if (BuildWindowDisplay(&window, group, false) != 1) {
        fprintf(stderr, "no memory for the window buffers\n");
        return 1;
    }
    window.layerImage = base;
    g_currentWindow = &window;
    g_currentGroup = group;

    // Parameters as a user might set them; the radii and wavelengths match bench/effects.sh.
    const Bench benches[] = {
        {"Gamma Correction", EntryGammaEffect, {"180"}},
        {"Sepia color", EntrySepiaEffect, {"60"}},
        {"RGB Adjust2", EntryRgbAdjustEffect, {"80", "100", "120"}},
        {"Accent", EntryAccentEffect, {"3"}},
        {"Fxhaze Operater R", EntryHazeEffect, {}},
        {"Fxalbaration", EntryAlbaEffect, {"30", "150"}},
        {"Wide Operater", EntryWideEdgeEffect, {"3"}},
        {"Relief", EntryReliefEffect, {}},
        {"Round Soften", EntrySoftenEffect, {"3"}},
        {"SkinColor", EntrySkinColorEffect, {"40", "1"}},
        {"Wave", EntryWaveEffect, {"1", "20", "5", "0"}},
        {"WaterWave", EntryWaterEffect, {"150", "20", "130"}},
        {"Corrugated Sheet", EntryDuneEffect, {"300", "20", "0", "130"}},
        {"Ripple", EntryRippleEffect, {"200", "20", "130"}},
        {"Texture", EntryTextureEffect, {"4", "100", "2", "130"}},
    };
    const int count = (int)(sizeof benches / sizeof benches[0]);
    for (int i = 0; i < count; i++) {
        g_effectPlugins[i].module = GetModuleHandleA(nullptr);
        snprintf(g_effectPlugins[i].name, sizeof g_effectPlugins[i].name, "%s", benches[i].name);
        g_effectPlugins[i].QzcEffect = benches[i].entry;
    }
    // --only goes on to the sixth Apply, when the undo memory is at its ceiling and each new record
    // drops the oldest, as in a long session: that Apply's split is printed as "ceiling ...".
    const int ceilingRound = 5;
    int rounds = smoke ? 1 : only ? ceilingRound + 1 : 2;
    for (int r = 0; r < rounds; r++) {
        for (int i = 0; i < count; i++) {
            if (only && strcmp(only, benches[i].name) != 0)
                continue;
            FreeGlobalParameters();
            for (int p = 0; p < 4; p++)
                if (benches[i].params[p])
                    SetGlobalParameter(p, benches[i].params[p]);
            if (only) {
                EnableStepClock(true);
                ResetStepTotals();
            }
            auto start = Clock::now();
            int ok = ApplyEffect(&window, i, 0, 0, size - 1, size - 1, 0, 0, 0);
            double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            double mpix = (double)size * size / 1e6;
            if (only && r != 1 && r != ceilingRound)
                continue;
            if (!only || r == 1)
                printf("%-18s %5dx%-5d %8.1f Mpixel/s  (%.3f s%s)\n", benches[i].name, size, size,
                       seconds > 0 ? mpix / seconds : 0.0, seconds, ok ? "" : ", failed");
            if (only) {
                // The bar's steps run inside the effect's call: they are the progress window's.
                double steps = StepTotalMs("progress-steps");
                printf("%s effect=%.1f progress=%.1f commit=%.1f redraw=%.1f\n", r == 1 ? "split" : "ceiling",
                       StepTotalMs("effect") - steps, steps + StepTotalMs("progress-close"), StepTotalMs("commit"),
                       StepTotalMs("redraw"));
            }
            fflush(stdout);
        }
    }
    memset(g_effectPlugins, 0, sizeof g_effectPlugins);
    g_currentWindow = nullptr;
    return 0;
}
