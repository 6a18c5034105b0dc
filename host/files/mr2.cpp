// The parts of mr2 that writing and reading share: the PNG saver, blend names and mask runs.
#include "files/mr2.h"
#include "plugins/savers.h"
#include <string.h>

const char kMr2Magic[4] = {'Q', 'z', 'F', '2'};

WritePictureProc FindPngSaver()
{
    for (int i = 0; i < kSaverRows && g_saverTable[i].module; i++)
        if (_stricmp(g_saverTable[i].filter, "*.PNG") == 0)
            return g_saverTable[i].WritePicture;
    return NULL;
}

int FindBlendByName(const char *name)
{
    if (_stricmp(name, "%normal") == 0)
        return 0;
    for (int m = 1; m <= 100; m++) {
        const LayerBlendRecord *blend = QzsGetColorBlendMode(m);
        if (!blend)
            break;
        if (_strnicmp(blend->name, name, kMr2BlendNameBytes) == 0)
            return m;
    }
    return -1;
}

void Mr2BlendName(int blend, char out[kMr2BlendNameBytes])
{
    // A blend whose module is not loaded is shown as normal, and stored so.
    const LayerBlendRecord *record = blend > 0 ? QzsGetColorBlendMode(blend) : NULL;
    const char *name = record ? record->name : "%Normal";
    memset(out, 0, kMr2BlendNameBytes);
    memcpy(out, name, strnlen(name, kMr2BlendNameBytes));
}

void EncodeMaskRuns(const uint8_t *mask, size_t count, std::vector<uint8_t> *out)
{
    for (size_t i = 0; i < count;) {
        uint8_t value = mask[i];
        size_t n = 1;
        while (i + n < count && mask[i + n] == value && n < kMr2MaxRun)
            n++;
        out->push_back(value);
        out->push_back((uint8_t)(n >> 8));
        out->push_back((uint8_t)n);
        i += n;
    }
}

size_t FeedMaskRuns(MaskRunDecoder *decoder, const uint8_t *data, size_t size)
{
    size_t taken = 0;
    while (decoder->filled < decoder->count && size - taken >= 3) {
        const uint8_t *run = data + taken;
        size_t n = (size_t)run[1] << 8 | run[2];
        // A run longer than what is left of the mask ends with the mask.
        if (n > decoder->count - decoder->filled)
            n = decoder->count - decoder->filled;
        memset(decoder->mask + decoder->filled, run[0], n);
        decoder->filled += n;
        taken += 3;
    }
    return taken;
}
