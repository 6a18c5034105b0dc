// Colour reduction of a photo-like 4096 x 4096 picture to 255 colours, without and with error
// diffusion: seconds, megapixels per second and the mean colour error (the mean distance in RGB
// between a pixel and the colour it became). In the same run ImageMagick reduces the same
// picture to 256 colours, without dithering (+dither) and with its default dither, timed around
// the convert command only, and its mean error is measured the same way. --smoke runs a small
// picture once.
#include "ovrin.h"
#include "image/cdib.h"
#include "image/colorreduce.h"
#include "base/app.h"
#include "base/msgbox.h"
#include "base/settings.h"
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <chrono>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

static int Quiet(HWND, const char *text, const char *, UINT)
{
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

// Smooth colour fields, soft discs of other colours and a little grain, as a photograph has.
static void Paint(uint32_t *p, int size)
{
    uint32_t seed = 1;
    const double discs[4][6] = {{0.3, 0.35, 0.18, 230, 200, 60},
                                {0.7, 0.6, 0.22, 30, 160, 70},
                                {0.55, 0.2, 0.1, 250, 250, 245},
                                {0.2, 0.8, 0.15, 120, 40, 140}};
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double u = (double)x / size, v = (double)y / size;
            double c[3] = {70 + 120 * u + 30 * sin(9 * v), 90 + 80 * v * (1 - u) + 25 * cos(7 * u),
                           180 - 130 * v + 40 * u * v};
            for (const double *d : discs) {
                double r2 = ((u - d[0]) * (u - d[0]) + (v - d[1]) * (v - d[1])) / (d[2] * d[2]);
                double w = r2 < 1 ? (1 - r2) * (1 - r2) : 0;
                for (int k = 0; k < 3; k++)
                    c[k] = c[k] * (1 - w) + d[3 + k] * w;
            }
            seed = seed * 1103515245u + 12345u;
            int grain = (int)(seed >> 16 & 15) - 8;
            int rgb[3];
            for (int k = 0; k < 3; k++) {
                int value = (int)c[k] + grain;
                rgb[k] = value < 0 ? 0 : value > 255 ? 255 : value;
            }
            p[(size_t)y * size + x] = 0xFF000000u | (uint32_t)rgb[0] << 16 | (uint32_t)rgb[1] << 8 | (uint32_t)rgb[2];
        }
}

static double Distance(uint32_t a, int r, int g, int b)
{
    double dr = (int)(a >> 16 & 255) - r, dg = (int)(a >> 8 & 255) - g, db = (int)(a & 255) - b;
    return sqrt(dr * dr + dg * dg + db * db);
}

// ---- ImageMagick, a Unix program started from inside Wine ----

static std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * ToUnix)(const WCHAR *);
    ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return "";
    char *unix = toUnix(wide);
    if (!unix)
        return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs convert on in.ppm into out.ppm with the options; the seconds it took, measured by the shell
// around convert alone (-1 when it did not run). Wine does not wait for a Unix program: the shell
// writes the times and then a file of its own.
static double RunConvert(const std::string &dir, const char *options)
{
    std::string done = dir + "convert.done", times = dir + "convert.times";
    DeleteFileA(done.c_str());
    DeleteFileA(times.c_str());
    std::string d = UnixPath(dir);
    std::string command = "/bin/sh -c \"a=$(date +%s%N); /usr/bin/convert '" + d + "in.ppm' " + options +
                          " -depth 8 'ppm:" + d + "out.ppm' && b=$(date +%s%N) && echo $a $b > '" + d +
                          "convert.times'; touch '" + d + "convert.done'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 6000 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
        Sleep(50);
    FILE *f = fopen(times.c_str(), "r");
    long long a = 0, b = 0;
    bool ok = f && fscanf(f, "%lld %lld", &a, &b) == 2;
    if (f)
        fclose(f);
    return ok ? (double)(b - a) / 1e9 : -1;
}

static bool WritePpm(const std::string &path, const uint32_t *p, int size)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    fprintf(f, "P6\n%d %d\n255\n", size, size);
    std::vector<uint8_t> row((size_t)size * 3);
    bool ok = true;
    for (int y = 0; y < size && ok; y++) {
        for (int x = 0; x < size; x++) {
            uint32_t c = p[(size_t)y * size + x];
            row[3 * x] = (uint8_t)(c >> 16), row[3 * x + 1] = (uint8_t)(c >> 8), row[3 * x + 2] = (uint8_t)c;
        }
        ok = fwrite(row.data(), 1, row.size(), f) == row.size();
    }
    return fclose(f) == 0 && ok;
}

// Mean error of convert's result against the picture; -1 when it cannot be read.
static double ConvertError(const std::string &path, const uint32_t *p, int size, int *colours)
{
    FILE *f = fopen(path.c_str(), "rb");
    int w = 0, h = 0, maxValue = 0;
    if (!f || fscanf(f, "P6 %d %d %d", &w, &h, &maxValue) != 3 || w != size || h != size || maxValue != 255 ||
        fgetc(f) == EOF) {
        if (f)
            fclose(f);
        return -1;
    }
    std::vector<uint8_t> rgb((size_t)size * size * 3);
    bool ok = fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    fclose(f);
    if (!ok)
        return -1;
    std::vector<bool> seen(1 << 24);
    double sum = 0;
    *colours = 0;
    for (size_t i = 0; i < (size_t)size * size; i++) {
        int r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        sum += Distance(p[i], r, g, b);
        uint32_t key = (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b;
        if (!seen[key]) {
            seen[key] = true;
            ++*colours;
        }
    }
    return sum / ((double)size * size);
}

int main(int argc, char **argv)
{
    bool smoke = argc > 1 && !strcmp(argv[1], "--smoke");
    int size = smoke ? 256 : 4096, rounds = smoke ? 1 : 2;
    SetMessageBoxHook(Quiet);
    g_instance = GetModuleHandleA(NULL);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    SetDefaultSettings(temp);

    std::vector<uint32_t> picture((size_t)size * size);
    Paint(picture.data(), size);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = header.biHeight = size;
    header.biPlanes = 1;
    header.biBitCount = 32;
    int count, bits;
    ColorCount *entries = ColorHistogram(&header, picture.data(), 0, &count, &bits);
    if (!entries) {
        fprintf(stderr, "no memory for the histogram\n");
        return 1;
    }
    free(entries);
    printf("picture %dx%d, histogram of %d colours at %d bits a channel\n", size, size, count, bits);

    std::vector<uint8_t> block(QZ_HEADER_BLOCK_SIZE);
    BITMAPINFO *dest = (BITMAPINFO *)block.data();
    std::vector<uint8_t> out((size_t)GetRowLength(size, 8) * size);
    int64_t row = GetRowLength(size, 8);
    for (int round = 0; round < rounds; round++)
        for (int diffuse = 0; diffuse < 2; diffuse++) {
            auto start = Clock::now();
            if (!ReduceColors(&header, picture.data(), dest, out.data(), 255, diffuse, nullptr)) {
                fprintf(stderr, "the reduction failed\n");
                return 1;
            }
            double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            double sum = 0;
            for (int y = 0; y < size; y++)
                for (int x = 0; x < size; x++) {
                    const RGBQUAD &q = dest->bmiColors[out[(size_t)(size - 1 - y) * row + x]];
                    sum += Distance(picture[(size_t)y * size + x], q.rgbRed, q.rgbGreen, q.rgbBlue);
                }
            printf("ovrin        %-15s %7.3f s %8.1f Mpixel/s   mean error %6.2f\n",
                   diffuse ? "with diffusion" : "no diffusion", seconds, (double)size * size / 1e6 / seconds,
                   sum / ((double)size * size));
        }

    std::string dir = std::string(temp) + "ovrin-reduce-bench\\";
    CreateDirectoryA(dir.c_str(), NULL);
    if (UnixPath(dir).empty() || GetFileAttributesA("Z:\\usr\\bin\\convert") == INVALID_FILE_ATTRIBUTES ||
        !WritePpm(dir + "in.ppm", picture.data(), size)) {
        printf("ImageMagick  not available\n");
        return 0;
    }
    const char *ways[2][2] = {{"+dither -colors 256", "no dither"}, {"-colors 256", "default dither"}};
    for (int round = 0; round < rounds; round++)
        for (auto &way : ways) {
            double seconds = RunConvert(dir, way[0]);
            int colours = 0;
            double error = seconds < 0 ? -1 : ConvertError(dir + "out.ppm", picture.data(), size, &colours);
            if (error < 0) {
                printf("ImageMagick  %-15s did not run\n", way[1]);
                continue;
            }
            printf("ImageMagick  %-15s %7.3f s %8.1f Mpixel/s   mean error %6.2f  (%d colours)\n", way[1], seconds,
                   (double)size * size / 1e6 / seconds, error, colours);
        }
    DeleteFileA((dir + "in.ppm").c_str());
    DeleteFileA((dir + "out.ppm").c_str());
    DeleteFileA((dir + "convert.times").c_str());
    DeleteFileA((dir + "convert.done").c_str());
    RemoveDirectoryA(dir.c_str());
    return 0;
}
