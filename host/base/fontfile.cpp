// The parameter font, kept in "font.dat" in the Stat directory as the 60 bytes of a LOGFONTA,
// written field by field (little-endian) rather than from memory.
#include "base/settings.h"
#include "base/app.h"
#include <stdio.h>
#include <string.h>

LOGFONTA g_paramFont;
CHOOSEFONTA g_fontChooser;
HFONT g_statusFont;
int g_paramFontHeight = 12;

enum { kFontFileBytes = 60 };

static void FontFilePath(char *out, size_t size)
{
    snprintf(out, size, "%s\\font.dat", g_cfg.Stat_dir);
}

static void PutLong(uint8_t *p, LONG v)
{
    uint32_t u = (uint32_t)v;
    for (int i = 0; i < 4; i++)
        p[i] = (uint8_t)(u >> (8 * i));
}

static LONG GetLong(const uint8_t *p)
{
    return (LONG)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

void EncodeFont(const LOGFONTA &font, uint8_t *out)
{
    const LONG longs[5] = {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight};
    for (int i = 0; i < 5; i++)
        PutLong(out + 4 * i, longs[i]);
    const BYTE bytes[8] = {font.lfItalic,       font.lfUnderline,     font.lfStrikeOut, font.lfCharSet,
                           font.lfOutPrecision, font.lfClipPrecision, font.lfQuality,   font.lfPitchAndFamily};
    memcpy(out + 20, bytes, 8);
    memcpy(out + 28, font.lfFaceName, LF_FACESIZE);
}

void DecodeFont(const uint8_t *in, LOGFONTA &font)
{
    font.lfHeight = GetLong(in);
    font.lfWidth = GetLong(in + 4);
    font.lfEscapement = GetLong(in + 8);
    font.lfOrientation = GetLong(in + 12);
    font.lfWeight = GetLong(in + 16);
    font.lfItalic = in[20];
    font.lfUnderline = in[21];
    font.lfStrikeOut = in[22];
    font.lfCharSet = in[23];
    font.lfOutPrecision = in[24];
    font.lfClipPrecision = in[25];
    font.lfQuality = in[26];
    font.lfPitchAndFamily = in[27];
    memcpy(font.lfFaceName, in + 28, LF_FACESIZE);
    font.lfFaceName[LF_FACESIZE - 1] = 0; // the file may not terminate it
}

void ReadFontFile()
{
    memset(&g_paramFont, 0, sizeof g_paramFont);
    char path[kPathBytes + 16];
    FontFilePath(path, sizeof path);
    if (FILE *f = fopen(path, "rb")) {
        uint8_t data[kFontFileBytes];
        if (fread(data, 1, sizeof data, f) == sizeof data)
            DecodeFont(data, g_paramFont);
        fclose(f);
    }
    memset(&g_fontChooser, 0, sizeof g_fontChooser);
    g_fontChooser.lStructSize = sizeof g_fontChooser;
    g_fontChooser.lpLogFont = &g_paramFont;
    g_fontChooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    g_fontChooser.rgbColors = 0;
    g_fontChooser.nFontType = SCREEN_FONTTYPE;
    GetStatusFont();
}

HFONT GetStatusFont()
{
    if (!g_statusFont)
        g_statusFont = CreateFontA(12, 0, 0, 0, FW_DONTCARE, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, NULL);
    return g_statusFont;
}

// Written beside the old file and moved over it only when complete.
void WriteFontFile()
{
    char path[kPathBytes + 16], temp[kPathBytes + 24];
    FontFilePath(path, sizeof path);
    snprintf(temp, sizeof temp, "%s.new", path);
    uint8_t data[kFontFileBytes];
    EncodeFont(g_paramFont, data);
    FILE *f = fopen(temp, "wb");
    if (!f)
        return;
    bool ok = fwrite(data, 1, sizeof data, f) == sizeof data;
    ok = fclose(f) == 0 && ok;
    if (!ok || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(temp);
}
