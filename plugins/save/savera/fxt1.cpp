// FXT1 block encoder: every mode and flag variant searched, with the published FXT1 block
// layouts. Every coding's error is measured on the block as decoded from its bits, with one
// difference from a reader of the file: the measure rounds CC_HI levels (... + 2) / 6 where FXT1
// rounds them (... + 3) / 6, so a level whose weighted sum is 3 mod 6 counts one lower.
#include "fxt1.h"
#include <string.h>

namespace {

enum { kB, kG, kR, kA };

int Expand(int q, int bits) { return bits == 6 ? (q << 2 | q >> 4) : (q << 3 | q >> 2); }

// The representable value (bits wide, widened to 8 bits) nearest to v; the lower one on a tie.
int Nearest(int v, int bits)
{
    int q = v >> (8 - bits);
    int a = Expand(q, bits);
    if (q + 1 < (1 << bits)) {
        int b = Expand(q + 1, bits);
        if (b - v < (v > a ? v - a : a - v))
            return b;
    }
    if (q > 0) {
        int b = Expand(q - 1, bits);
        if (v - b < (v > a ? v - a : a - v))
            return b;
    }
    return a;
}

// A cut to 5 bits with the top 3 bits repeated below them.
int Cut5(int c) { return (c & 0xF8) | c >> 5; }

uint32_t GetBits(const uint8_t *b, int at, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; i++)
        v |= (uint32_t)(b[(at + i) >> 3] >> ((at + i) & 7) & 1) << i;
    return v;
}

void PutBits(uint8_t *b, int at, int n, uint32_t v)
{
    for (int i = 0; i < n; i++) {
        int p = at + i;
        uint8_t m = (uint8_t)(1 << (p & 7));
        if (v >> i & 1)
            b[p >> 3] |= m;
        else
            b[p >> 3] &= (uint8_t)~m;
    }
}

// A 15-bit colour field: blue at the field's start, then green, then red, 5 bits each.
void PutColour(uint8_t *b, int at, int blue, int green, int red)
{
    PutBits(b, at, 5, (uint32_t)blue);
    PutBits(b, at + 5, 5, (uint32_t)green);
    PutBits(b, at + 10, 5, (uint32_t)red);
}

void GetColour(const uint8_t *b, int at, uint8_t c[4])
{
    c[kB] = (uint8_t)Expand((int)GetBits(b, at, 5), 5);
    c[kG] = (uint8_t)Expand((int)GetBits(b, at + 5, 5), 5);
    c[kR] = (uint8_t)Expand((int)GetBits(b, at + 10, 5), 5);
    c[kA] = 255;
}

inline uint32_t Sq(int d) { return (uint32_t)(d * d); }

uint32_t PixelError(const uint8_t a[4], const uint8_t b[4])
{
    return Sq(a[0] - b[0]) + Sq(a[1] - b[1]) + Sq(a[2] - b[2]) + Sq(a[3] - b[3]);
}

// ---- interpolated palettes: CC_MIXED, CC_HI, CC_ALPHA with interpolation ----

// A palette entry between two ends A and B: (wa A + wb B + round) / div per channel, or the
// transparent entry.
struct Entry {
    uint8_t wa, wb, round, div;
    bool clear;
};

const Entry kMixedOpaque[4] = {{3, 0, 1, 3, false}, {2, 1, 1, 3, false}, {1, 2, 1, 3, false}, {0, 3, 1, 3, false}};
const Entry kMixedClear[4] = {{2, 0, 0, 2, false}, {1, 1, 0, 2, false}, {0, 2, 0, 2, false}, {0, 0, 0, 1, true}};
// The CC_HI levels as the error measure rounds them.
const Entry kHiLevels[8] = {{6, 0, 2, 6, false}, {5, 1, 2, 6, false}, {4, 2, 2, 6, false}, {3, 3, 2, 6, false},
                            {2, 4, 2, 6, false}, {1, 5, 2, 6, false}, {0, 6, 2, 6, false}, {0, 0, 0, 1, true}};

// Statistics of some texels: per channel minimum, maximum and variance order, and the sign of each
// channel's covariance with the channel of largest variance.
struct Stats {
    int min[4], max[4];
    int order[4]; // channels by variance, largest first
    int sign[4];  // +1 when the channel rises with the first of order, else -1
    int channels;
    // The end where the channels are low along the main direction, and the opposite end.
    int Low(int c) const { return sign[c] >= 0 ? min[c] : max[c]; }
    int High(int c) const { return sign[c] >= 0 ? max[c] : min[c]; }
};

// Over the texels first..first+count-1 for which skip is false (all of them when none is left).
Stats Measure(const Fxt1Texels &in, int first, int count, const bool *skip, int channels)
{
    Stats s;
    s.channels = channels;
    int64_t sum[4] = {}, sumSq[4] = {}, cross[4][4] = {};
    int n = 0;
    for (int pass = 0; pass < 2 && n == 0; pass++) {
        for (int c = 0; c < 4; c++)
            s.min[c] = 255, s.max[c] = 0;
        for (int t = first; t < first + count; t++) {
            if (pass == 0 && skip && skip[t])
                continue;
            n++;
            for (int c = 0; c < channels; c++) {
                int v = in.t[t][c];
                s.min[c] = v < s.min[c] ? v : s.min[c];
                s.max[c] = v > s.max[c] ? v : s.max[c];
                sum[c] += v;
                sumSq[c] += v * v;
                for (int d = 0; d < channels; d++)
                    cross[c][d] += v * in.t[t][d];
            }
        }
    }
    // Variance times n squared: n (sum of squares) - (sum)^2; ties keep the order B, G, R, A.
    int64_t key[4];
    for (int c = 0; c < channels; c++) {
        key[c] = n * sumSq[c] - sum[c] * sum[c];
        s.order[c] = c;
    }
    for (int i = 1; i < channels; i++)
        for (int j = i; j > 0 && key[s.order[j]] > key[s.order[j - 1]]; j--) {
            int x = s.order[j];
            s.order[j] = s.order[j - 1];
            s.order[j - 1] = x;
        }
    int main = s.order[0];
    for (int c = 0; c < channels; c++)
        s.sign[c] = n * cross[main][c] - sum[main] * sum[c] >= 0 ? 1 : -1;
    if (channels == 3)
        s.min[kA] = s.max[kA] = 255, s.sign[kA] = 1, s.order[3] = kA;
    return s;
}

// Up to two groups of texels (contiguous ranges), each with a palette between two of up to three
// ends; the search moves the ends' channel values, the indices follow.
struct Engine {
    const Fxt1Texels *in;
    const Entry *entries;
    int entryCount;
    int groups;
    int first[2], count[2], endA[2], endB[2];
    int bits[3][4];  // per end and channel: 5 or 6, or 0 for a channel the search leaves alone
    int value[3][4]; // the ends, widened to 8 bits
    uint8_t index[32];
    bool clear[32]; // texels that take the transparent entry while a channel is searched

    int Level(int g, int e, int c) const
    {
        const Entry &x = entries[e];
        if (x.clear)
            return 0;
        return (x.wa * value[endA[g]][c] + x.wb * value[endB[g]][c] + x.round) / x.div;
    }

    bool Uses(int g, int end) const { return endA[g] == end || endB[g] == end; }

    // The error in one channel of the texels whose palette uses the end: with the indices as they
    // are, or with each texel taking the entry nearest to it in this channel.
    uint32_t ChannelError(int end, int c, bool nearest) const
    {
        uint32_t error = 0;
        for (int g = 0; g < groups; g++) {
            if (!Uses(g, end))
                continue;
            int level[8];
            for (int e = 0; e < entryCount; e++)
                level[e] = Level(g, e, c);
            for (int t = first[g]; t < first[g] + count[g]; t++) {
                int p = in->t[t][c];
                if (!nearest) {
                    error += Sq(p - level[index[t]]);
                    continue;
                }
                if (clear[t]) {
                    error += Sq(p);
                    continue;
                }
                uint32_t best = UINT32_MAX;
                for (int e = 0; e < entryCount; e++)
                    if (!entries[e].clear && Sq(p - level[e]) < best)
                        best = Sq(p - level[e]);
                error += best;
            }
        }
        return error;
    }

    // Searches the end's value in channel c within 32 below and above centre (clamped to 0..255,
    // cut to the channel's bits); keeps the value with the least error, the present one on a tie.
    void Scan(int end, int c, bool nearest, int centre)
    {
        int nb = bits[end][c];
        if (!nb)
            return;
        int lo = (centre - 32 < 0 ? 0 : centre - 32) >> (8 - nb);
        int hi = (centre + 32 > 255 ? 255 : centre + 32) >> (8 - nb);
        int keep = value[end][c], bestValue = keep;
        uint32_t best = ChannelError(end, c, nearest);
        for (int q = lo; q <= hi; q++) {
            int v = Expand(q, nb);
            if (v == keep)
                continue;
            value[end][c] = v;
            uint32_t e = ChannelError(end, c, nearest);
            if (e < best)
                best = e, bestValue = v;
        }
        value[end][c] = bestValue;
    }

    // Gives every texel its index and returns the total error. byChannel < 0: the entry with the
    // least error over the four channels. Otherwise the texels marked clear take the transparent
    // entry and every other texel the opaque entry nearest to it in that channel.
    uint32_t Assign(int byChannel)
    {
        uint32_t total = 0;
        for (int g = 0; g < groups; g++) {
            uint8_t palette[8][4];
            int clearEntry = -1;
            for (int e = 0; e < entryCount; e++) {
                for (int c = 0; c < 4; c++)
                    palette[e][c] = (uint8_t)Level(g, e, c);
                if (entries[e].clear)
                    clearEntry = e;
            }
            for (int t = first[g]; t < first[g] + count[g]; t++) {
                const uint8_t *p = in->t[t];
                int pick = 0;
                uint32_t pickError = UINT32_MAX;
                if (byChannel < 0) {
                    for (int e = 0; e < entryCount; e++) {
                        uint32_t d = PixelError(p, palette[e]);
                        if (d < pickError)
                            pick = e, pickError = d;
                    }
                } else {
                    uint32_t best = UINT32_MAX;
                    for (int e = 0; e < entryCount; e++)
                        if (!entries[e].clear && Sq(p[byChannel] - palette[e][byChannel]) < best)
                            best = Sq(p[byChannel] - palette[e][byChannel]), pick = e;
                    if (clear[t] && clearEntry >= 0)
                        pick = clearEntry;
                    pickError = PixelError(p, palette[pick]);
                }
                index[t] = (uint8_t)pick;
                total += pickError;
            }
        }
        return total;
    }
};

struct Saved {
    int value[3][4];
    uint8_t index[32];
    uint32_t error;
    void Take(const Engine &e, uint32_t err)
    {
        memcpy(value, e.value, sizeof value);
        memcpy(index, e.index, sizeof index);
        error = err;
    }
    void Give(Engine &e) const
    {
        memcpy(e.value, value, sizeof value);
        memcpy(e.index, index, sizeof index);
    }
};

// Moves the ends channel by channel with the indices fixed, then gives the indices again by the
// whole error, while that improves; the engine ends with the best coding seen.
void Refine(Engine &e, const int *order, int channels, const int *ends, int endCount, uint32_t start, int rounds)
{
    Saved best;
    best.Take(e, start);
    for (int r = 0; r < rounds; r++) {
        for (int i = 0; i < channels; i++)
            for (int k = 0; k < endCount; k++)
                e.Scan(ends[k], order[i], false, e.value[ends[k]][order[i]]);
        uint32_t err = e.Assign(-1);
        if (err >= best.error)
            break;
        best.Take(e, err);
    }
    best.Give(e);
}

// ---- CC_MIXED ----

void EncodeMixed(const Fxt1Texels &in, int flag, uint8_t *out)
{
    memset(out, 0, 16);
    for (int h = 0; h < 2; h++) {
        Engine e;
        e.in = &in;
        e.entries = flag ? kMixedClear : kMixedOpaque;
        e.entryCount = 4;
        e.groups = 1;
        e.first[0] = 16 * h, e.count[0] = 16, e.endA[0] = 0, e.endB[0] = 1;
        // The second end's green always has 6 bits, the first one's only without the alpha flag.
        int aBits[4] = {5, flag ? 5 : 6, 5, 0}, bBits[4] = {5, 6, 5, 0};
        memcpy(e.bits[0], aBits, sizeof aBits);
        memcpy(e.bits[1], bBits, sizeof bBits);
        for (int t = 0; t < 32; t++)
            e.clear[t] = flag && in.t[t][kA] == 0;
        Stats s = Measure(in, 16 * h, 16, e.clear, 3);
        for (int c = 0; c < 3; c++) {
            e.value[0][c] = Nearest(s.Low(c), e.bits[0][c]);
            e.value[1][c] = Nearest(s.High(c), e.bits[1][c]);
        }
        e.value[0][kA] = e.value[1][kA] = 255;
        // The search: each end around the half's low and high value, channel by channel,
        // largest variance first, each texel taking the entry nearest in the channel searched.
        for (int i = 0; i < 3; i++) {
            int c = s.order[i];
            e.Scan(0, c, true, s.Low(c));
            e.Scan(1, c, true, s.High(c));
        }
        static const int kEnds[2] = {0, 1};
        Refine(e, s.order, 3, kEnds, 2, e.Assign(-1), 3);

        int qa[3], qb[3];
        for (int c = 0; c < 3; c++) {
            qa[c] = e.value[0][c] >> (8 - e.bits[0][c]);
            qb[c] = e.value[1][c] >> (8 - e.bits[1][c]);
        }
        int first = 16 * h;
        if (!flag && (e.index[first] >> 1) != ((qa[kG] ^ qb[kG]) & 1)) {
            // The first end's lowest green bit is stored as glsb XOR the first texel's high
            // index bit: swap the ends and mirror the indices, the same colours in reverse order.
            for (int c = 0; c < 3; c++) {
                int x = qa[c];
                qa[c] = qb[c];
                qb[c] = x;
            }
            for (int t = first; t < first + 16; t++)
                e.index[t] = (uint8_t)(3 - e.index[t]);
        }
        int glsb = qb[kG] & 1;
        PutColour(out, 64 + 30 * h, qa[kB], flag ? qa[kG] : qa[kG] >> 1, qa[kR]);
        PutColour(out, 79 + 30 * h, qb[kB], qb[kG] >> 1, qb[kR]);
        PutBits(out, 125 + h, 1, (uint32_t)glsb);
        for (int t = first; t < first + 16; t++)
            PutBits(out, 2 * t, 2, e.index[t]);
    }
    PutBits(out, 124, 1, (uint32_t)flag);
    PutBits(out, 127, 1, 1);
}

// ---- CC_HI ----

void EncodeHi(const Fxt1Texels &in, uint8_t *out)
{
    Engine e;
    e.in = &in;
    e.entries = kHiLevels;
    e.entryCount = 8;
    e.groups = 1;
    e.first[0] = 0, e.count[0] = 32, e.endA[0] = 0, e.endB[0] = 1;
    for (int k = 0; k < 2; k++)
        for (int c = 0; c < 4; c++)
            e.bits[k][c] = c == kA ? 0 : 5;
    for (int t = 0; t < 32; t++)
        e.clear[t] = in.t[t][kA] == 0;
    Stats s = Measure(in, 0, 32, e.clear, 3);
    for (int c = 0; c < 3; c++) {
        e.value[0][c] = Nearest(s.Low(c), 5);
        e.value[1][c] = Nearest(s.High(c), 5);
    }
    e.value[0][kA] = e.value[1][kA] = 255;
    // Every texel takes the level nearest to it in the channel of largest variance: that
    // channel's ends are searched for it, the other channels' ends fitted to the indices.
    int main = s.order[0];
    Saved best;
    best.error = UINT32_MAX;
    for (int pass = 0; pass < 2; pass++) {
        e.Scan(0, main, true, pass ? e.value[0][main] : s.Low(main));
        e.Scan(1, main, true, pass ? e.value[1][main] : s.High(main));
        e.Assign(main);
        for (int i = 1; i < 3; i++) {
            e.Scan(0, s.order[i], false, e.value[0][s.order[i]]);
            e.Scan(1, s.order[i], false, e.value[1][s.order[i]]);
        }
        uint32_t err = e.Assign(main);
        if (err < best.error)
            best.Take(e, err);
    }
    best.Give(e);
    memset(out, 0, 16);
    for (int t = 0; t < 32; t++)
        PutBits(out, 3 * t, 3, e.index[t]);
    PutColour(out, 96, e.value[0][kB] >> 3, e.value[0][kG] >> 3, e.value[0][kR] >> 3);
    PutColour(out, 111, e.value[1][kB] >> 3, e.value[1][kG] >> 3, e.value[1][kR] >> 3);
}

// ---- CC_CHROMA and CC_ALPHA without interpolation: free colours, refined by their means ----

// count free colours (alpha free or 255), and with clearEntry a transparent entry after them.
// From the starting colours, each texel takes the entry with the least squared distance and each
// colour becomes the mean of its texels cut to 5 bits, until the total error has not improved in
// more than 5 rounds in a row; the best coding seen is kept.
uint32_t Cluster(const Fxt1Texels &in, int count, bool alphaFree, bool clearEntry, uint8_t pal[4][4],
                 uint8_t colours[4][4], uint8_t index[32])
{
    int entries = count + (clearEntry ? 1 : 0);
    uint32_t best = UINT32_MAX;
    int fails = 0;
    uint8_t idx[32];
    for (int round = 0; round < 100; round++) {
        uint32_t total = 0;
        for (int t = 0; t < 32; t++) {
            uint32_t d = UINT32_MAX;
            for (int k = 0; k < entries; k++) {
                uint32_t x = PixelError(in.t[t], pal[k]);
                if (x < d)
                    d = x, idx[t] = (uint8_t)k;
            }
            total += d;
        }
        if (total < best) {
            best = total, fails = 0;
            memcpy(colours, pal, 16);
            memcpy(index, idx, 32);
        } else if (++fails > 5) {
            break;
        }
        bool moved = false;
        for (int k = 0; k < count; k++) {
            int n = 0, sum[4] = {};
            for (int t = 0; t < 32; t++)
                if (idx[t] == k) {
                    n++;
                    for (int c = 0; c < 4; c++)
                        sum[c] += in.t[t][c];
                }
            if (!n)
                continue;
            for (int c = 0; c < 4; c++) {
                if (c == kA && !alphaFree)
                    continue;
                uint8_t v = (uint8_t)Cut5((sum[c] + n / 2) / n);
                moved = moved || v != pal[k][c];
                pal[k][c] = v;
            }
        }
        if (!moved)
            break; // the same assignment would come back in every further round
    }
    return best;
}

// Clusters from two sets of starting colours and keeps the better coding (the first on a tie):
// evenly from the low to the high end of the block's per-channel minimum and maximum, and the
// texels farthest apart (each next one the farthest from those taken). Texels that the
// transparent entry takes are left out of both.
uint32_t ClusterBest(const Fxt1Texels &in, int count, bool alphaFree, bool clearEntry, uint8_t colours[4][4],
                     uint8_t index[32])
{
    bool skip[32];
    int kept = 0;
    for (int t = 0; t < 32; t++) {
        skip[t] = clearEntry && in.t[t][kA] == 0;
        kept += !skip[t];
    }
    if (!kept)
        memset(skip, 0, sizeof skip);
    int channels = alphaFree ? 4 : 3;
    Stats s = Measure(in, 0, 32, skip, channels);
    uint8_t starts[2][4][4] = {};
    for (int k = 0; k < count; k++)
        for (int c = 0; c < 4; c++)
            starts[0][k][c] =
                (uint8_t)(c >= channels ? 255 : Cut5(s.Low(c) + (s.High(c) - s.Low(c)) * k / (count - 1)));
    // The texel farthest from the mean, then each time the one farthest from those taken.
    int sum[4] = {}, n = 0;
    for (int t = 0; t < 32; t++)
        if (!skip[t]) {
            n++;
            for (int c = 0; c < channels; c++)
                sum[c] += in.t[t][c];
        }
    uint32_t nearest[32];
    for (int t = 0; t < 32; t++) {
        nearest[t] = 0;
        for (int c = 0; c < channels; c++)
            nearest[t] += Sq(in.t[t][c] - (sum[c] + n / 2) / n);
    }
    for (int k = 0; k < count; k++) {
        int farthest = -1;
        for (int t = 0; t < 32; t++)
            if (!skip[t] && (farthest < 0 || nearest[t] > nearest[farthest]))
                farthest = t;
        for (int c = 0; c < 4; c++)
            starts[1][k][c] = (uint8_t)(c >= channels ? 255 : Cut5(in.t[farthest][c]));
        for (int t = 0; t < 32; t++) {
            uint32_t d = 0;
            for (int c = 0; c < channels; c++)
                d += Sq(in.t[t][c] - in.t[farthest][c]);
            if (k == 0 || d < nearest[t])
                nearest[t] = d;
        }
    }
    uint32_t best = UINT32_MAX;
    for (int i = 0; i < 2; i++) {
        uint8_t c[4][4] = {}, x[32] = {};
        uint32_t e = Cluster(in, count, alphaFree, clearEntry, starts[i], c, x);
        if (e < best) {
            best = e;
            memcpy(colours, c, sizeof c);
            memcpy(index, x, sizeof x);
        }
    }
    return best;
}

void EncodeChroma(const Fxt1Texels &in, uint8_t *out)
{
    uint8_t colours[4][4], index[32];
    ClusterBest(in, 4, false, false, colours, index);
    memset(out, 0, 16);
    for (int t = 0; t < 32; t++)
        PutBits(out, 2 * t, 2, index[t]);
    for (int k = 0; k < 4; k++)
        PutColour(out, 64 + 15 * k, colours[k][kB] >> 3, colours[k][kG] >> 3, colours[k][kR] >> 3);
    PutBits(out, 125, 3, 2); // 010
}

void PutAlphaColours(uint8_t *out, const int colours[3][4], int lerp)
{
    for (int k = 0; k < 3; k++) {
        PutColour(out, 64 + 15 * k, colours[k][kB] >> 3, colours[k][kG] >> 3, colours[k][kR] >> 3);
        PutBits(out, 109 + 5 * k, 5, (uint32_t)(colours[k][kA] >> 3));
    }
    PutBits(out, 124, 1, (uint32_t)lerp);
    PutBits(out, 125, 3, 3); // 011
}

void EncodeAlphaTable(const Fxt1Texels &in, uint8_t *out)
{
    uint8_t colours[4][4], index[32];
    ClusterBest(in, 3, true, true, colours, index);
    memset(out, 0, 16);
    for (int t = 0; t < 32; t++)
        PutBits(out, 2 * t, 2, index[t]);
    int c3[3][4];
    for (int k = 0; k < 3; k++)
        for (int c = 0; c < 4; c++)
            c3[k][c] = colours[k][c];
    PutAlphaColours(out, c3, 0);
}

// CC_ALPHA with interpolation: the left half runs from colour 0 to colour 1, the right half from
// colour 2 to colour 1, alpha interpolated as well. Tried from both ends of the block's main
// direction as the shared colour; the better is kept.
void EncodeAlphaLerp(const Fxt1Texels &in, uint8_t *out)
{
    Engine e;
    e.in = &in;
    e.entries = kMixedOpaque; // the same (3 - i, i) / 3 interpolation with rounding
    e.entryCount = 4;
    e.groups = 2;
    e.first[0] = 0, e.count[0] = 16, e.endA[0] = 0, e.endB[0] = 1;
    e.first[1] = 16, e.count[1] = 16, e.endA[1] = 2, e.endB[1] = 1;
    for (int k = 0; k < 3; k++)
        for (int c = 0; c < 4; c++)
            e.bits[k][c] = 5;
    memset(e.clear, 0, sizeof e.clear);
    Stats s = Measure(in, 0, 32, nullptr, 4);
    Stats half[2] = {Measure(in, 0, 16, nullptr, 4), Measure(in, 16, 16, nullptr, 4)};
    for (int h = 0; h < 2; h++)
        memcpy(half[h].sign, s.sign, sizeof s.sign);
    static const int kEnds[3] = {0, 2, 1};
    Saved best;
    best.error = UINT32_MAX;
    for (int start = 0; start < 2; start++) {
        for (int c = 0; c < 4; c++) {
            e.value[1][c] = Nearest(start ? s.Low(c) : s.High(c), 5);
            e.value[0][c] = Nearest(start ? half[0].High(c) : half[0].Low(c), 5);
            e.value[2][c] = Nearest(start ? half[1].High(c) : half[1].Low(c), 5);
        }
        Refine(e, s.order, 4, kEnds, 3, e.Assign(-1), 4);
        uint32_t err = e.Assign(-1);
        if (err < best.error)
            best.Take(e, err);
    }
    best.Give(e);
    memset(out, 0, 16);
    for (int t = 0; t < 32; t++)
        PutBits(out, 2 * t, 2, e.index[t]);
    PutAlphaColours(out, e.value, 1);
}

} // namespace

void Fxt1Gather(const uint8_t *firstRow, ptrdiff_t stride, Fxt1Texels *out)
{
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < 8; col++)
            memcpy(out->t[4 * row + (col & 3) + (col >= 4 ? 16 : 0)], firstRow + row * stride + 4 * col, 4);
}

namespace {

// Decodes by the published rules, CC_HI levels rounded (... + hiRound) / 6.
void Decode(const uint8_t in[16], uint8_t texels[32][4], int hiRound)
{
    static const uint8_t kClear[4] = {0, 0, 0, 0};
    uint8_t pal[8][4];
    if (GetBits(in, 127, 1)) { // CC_MIXED
        bool alpha = GetBits(in, 124, 1) != 0;
        for (int h = 0; h < 2; h++) {
            int at = 64 + 30 * h;
            uint8_t a[4], b[4];
            GetColour(in, at, a);
            GetColour(in, at + 15, b);
            int glsb = (int)GetBits(in, 125 + h, 1);
            b[kG] = (uint8_t)Expand((int)GetBits(in, at + 20, 5) << 1 | glsb, 6);
            if (!alpha) {
                int lsb = glsb ^ (int)GetBits(in, 32 * h + 1, 1);
                a[kG] = (uint8_t)Expand((int)GetBits(in, at + 5, 5) << 1 | lsb, 6);
                for (int i = 0; i < 4; i++) {
                    for (int c = 0; c < 3; c++)
                        pal[i][c] = (uint8_t)((a[c] * (3 - i) + b[c] * i + 1) / 3);
                    pal[i][kA] = 255;
                }
            } else {
                memcpy(pal[0], a, 4);
                for (int c = 0; c < 3; c++)
                    pal[1][c] = (uint8_t)((a[c] + b[c]) / 2);
                pal[1][kA] = 255;
                memcpy(pal[2], b, 4);
                memcpy(pal[3], kClear, 4);
            }
            for (int t = 16 * h; t < 16 * h + 16; t++)
                memcpy(texels[t], pal[GetBits(in, 2 * t, 2)], 4);
        }
    } else if (!GetBits(in, 126, 1)) { // CC_HI
        uint8_t c0[4], c1[4];
        GetColour(in, 96, c0);
        GetColour(in, 111, c1);
        for (int i = 0; i < 7; i++) {
            for (int c = 0; c < 3; c++)
                pal[i][c] = (uint8_t)((c0[c] * (6 - i) + c1[c] * i + hiRound) / 6);
            pal[i][kA] = 255;
        }
        memcpy(pal[7], kClear, 4);
        for (int t = 0; t < 32; t++)
            memcpy(texels[t], pal[GetBits(in, 3 * t, 3)], 4);
    } else if (!GetBits(in, 125, 1)) { // CC_CHROMA
        for (int k = 0; k < 4; k++)
            GetColour(in, 64 + 15 * k, pal[k]);
        for (int t = 0; t < 32; t++)
            memcpy(texels[t], pal[GetBits(in, 2 * t, 2)], 4);
    } else { // CC_ALPHA
        uint8_t col[3][4];
        for (int k = 0; k < 3; k++) {
            GetColour(in, 64 + 15 * k, col[k]);
            col[k][kA] = (uint8_t)Expand((int)GetBits(in, 109 + 5 * k, 5), 5);
        }
        if (!GetBits(in, 124, 1)) {
            for (int k = 0; k < 3; k++)
                memcpy(pal[k], col[k], 4);
            memcpy(pal[3], kClear, 4);
            for (int t = 0; t < 32; t++)
                memcpy(texels[t], pal[GetBits(in, 2 * t, 2)], 4);
        } else {
            for (int h = 0; h < 2; h++) {
                const uint8_t *e0 = col[h ? 2 : 0], *e1 = col[1];
                for (int i = 0; i < 4; i++)
                    for (int c = 0; c < 4; c++)
                        pal[i][c] = (uint8_t)((e0[c] * (3 - i) + e1[c] * i + 1) / 3);
                for (int t = 16 * h; t < 16 * h + 16; t++)
                    memcpy(texels[t], pal[GetBits(in, 2 * t, 2)], 4);
            }
        }
    }
}

} // namespace

void Fxt1Decode(const uint8_t in[16], uint8_t texels[32][4]) { Decode(in, texels, 3); }

uint32_t Fxt1Error(const Fxt1Texels &in, const uint8_t block[16])
{
    uint8_t decoded[32][4];
    Decode(block, decoded, 2);
    uint32_t error = 0;
    for (int t = 0; t < 32; t++)
        error += PixelError(in.t[t], decoded[t]);
    return error;
}

uint32_t Fxt1EncodeAs(int coding, const Fxt1Texels &in, uint8_t out[16])
{
    switch (coding) {
    case kFxtMixed0: EncodeMixed(in, 0, out); break;
    case kFxtMixed1: EncodeMixed(in, 1, out); break;
    case kFxtHi: EncodeHi(in, out); break;
    case kFxtChroma: EncodeChroma(in, out); break;
    case kFxtAlpha0: EncodeAlphaTable(in, out); break;
    case kFxtAlpha1: EncodeAlphaLerp(in, out); break;
    default: memset(out, 0, 16); return UINT32_MAX;
    }
    return Fxt1Error(in, out);
}

uint32_t Fxt1EncodeBlock(const Fxt1Texels &in, uint8_t out[16], Fxt1Search *search)
{
    Fxt1Search local;
    Fxt1Search &s = search ? *search : local;
    for (int c = 0; c < kFxtCodings; c++)
        s.error[c] = Fxt1EncodeAs(c, in, s.block[c]);
    // Each flag-0 result counts only when strictly better than the flag-1 one; of the modes in
    // the order CC_MIXED, CC_HI, CC_CHROMA, CC_ALPHA a later one wins only when strictly better.
    int mixed = s.error[kFxtMixed0] < s.error[kFxtMixed1] ? kFxtMixed0 : kFxtMixed1;
    int alpha = s.error[kFxtAlpha0] < s.error[kFxtAlpha1] ? kFxtAlpha0 : kFxtAlpha1;
    const int order[4] = {mixed, kFxtHi, kFxtChroma, alpha};
    uint64_t best = UINT64_MAX; // above every error
    s.winner = order[0];
    for (int c : order)
        if (s.error[c] < best)
            best = s.error[c], s.winner = c;
    memcpy(out, s.block[s.winner], 16);
    return s.error[s.winner];
}
