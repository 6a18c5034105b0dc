// Moving dropped-in plug-ins and data files to their directories at start-up.
#include "plugins/install.h"
#include "plugins/loader_internal.h"
#include "base/settings.h"
#include "base/textutil.h"
#include <string.h>
#include <string>
#include <vector>

static bool FileExists(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// One step that replaces an existing target, so a failed move leaves both files where they were.
static bool MoveOver(const char *from, const char *to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

// "path" with its file part cut before its last "." (dots of directory names do not count), then
// suffix; false when it does not fit.
static bool CompanionPath(char *out, size_t size, const char *path, const char *suffix)
{
    const char *file = path;
    for (const char *p = path; *p; p++) {
        if (IsLeadByte((unsigned char)*p) && p[1]) {
            p++;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == ':')
            file = p + 1;
    }
    const char *dot = strrchr(file, '.');
    size_t stem = dot ? (size_t)(dot - path) : strlen(path);
    size_t tail = strlen(suffix);
    if (stem + tail + 1 > size)
        return false;
    memcpy(out, path, stem);
    memcpy(out + stem, suffix, tail + 1);
    return true;
}

static bool Appended(char *out, size_t size, const char *path, const char *suffix)
{
    return (size_t)snprintf(out, size, "%s%s", path, suffix) < size;
}

void MoveWithCompanions(const char *source, const char *destination, const char *backup)
{
    char ptf[kTextBytes + 8];
    snprintf(ptf, sizeof ptf, ".ptf.%s", g_cfg.ExtensionOfDictionary);
    const char *kinds[] = {".ppd", ".pdv", ptf};
    for (const char *kind : kinds) {
        char from[kPathBytes], to[kPathBytes], kept[kPathBytes];
        if (!CompanionPath(from, sizeof from, source, kind) || !FileExists(from) ||
            !CompanionPath(to, sizeof to, destination, kind))
            continue;
        // The kept copy is made before the new file replaces the old one in one step.
        if (backup && FileExists(to) && CompanionPath(kept, sizeof kept, backup, kind))
            CopyFileA(to, kept, FALSE);
        MoveOver(from, to);
    }
    char marker[kPathBytes];
    if (Appended(marker, sizeof marker, destination, ".del") && FileExists(marker))
        DeleteFileA(marker);
    if (backup && FileExists(destination))
        CopyFileA(destination, backup, FALSE);
    MoveOver(source, destination);
}

static bool Newer(const char *a, const char *b)
{
    WIN32_FILE_ATTRIBUTE_DATA x, y;
    if (!GetFileAttributesExA(a, GetFileExInfoStandard, &x) || !GetFileAttributesExA(b, GetFileExInfoStandard, &y))
        return false;
    return CompareFileTime(&x.ftLastWriteTime, &y.ftLastWriteTime) > 0;
}

void InstallIfNewer(const char *source, const char *destination, const char *backup)
{
    if (!FileExists(source))
        return;
    if (!FileExists(destination) || Newer(source, destination))
        MoveWithCompanions(source, destination, backup);
    else if (backup)
        MoveWithCompanions(source, backup, NULL);
}

void CreateWorkDirectories()
{
    char *dirs[] = {g_cfg.Saver_dir,   g_cfg.Draw_dir,      g_cfg.FuncColor_dir, g_cfg.Effect_dir,
                    g_cfg.Subwin_dir,  g_cfg.Transform_dir, g_cfg.ExtCommand_dir, g_cfg.Parameter_dir,
                    g_cfg.Stat_dir,    g_cfg.Macro_dir,     g_cfg.Layer_dir,     g_cfg.workDir,
                    g_cfg.mr2TempDir,  g_cfg.OldPlug_dir};
    for (char *dir : dirs)
        if (dir[0])
            CreateDirectoryA(dir, NULL);
    const int kept[] = {kOldSavePlug, kOldDraw, kOldFcolor, kOldEffect, kOldSubwin,
                        kOldTrans,    kOldExtCmd, kOldParam, kOldLayer, kOldStat};
    for (int k : kept)
        if (g_oldPlugDir[k][0])
            CreateDirectoryA(g_oldPlugDir[k], NULL);
}

std::vector<std::string> ListPlainFiles(const char *dir, const char *pattern)
{
    std::vector<std::string> names;
    char search[kPathBytes];
    if (!JoinPath(search, sizeof search, dir, pattern))
        return names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstPlainFile(search, &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextPlainFile(h, &found));
    FindClose(h);
    return names;
}

void InstallMatching(const char *pattern)
{
    for (const std::string &name : ListPlainFiles(g_cfg.appDir, pattern)) {
        char from[kPathBytes], to[kPathBytes];
        if (JoinPath(from, sizeof from, g_cfg.appDir, name.c_str()) &&
            JoinPath(to, sizeof to, g_cfg.Stat_dir, name.c_str()))
            InstallIfNewer(from, to, NULL);
    }
}

void InstallDataFiles()
{
    const char *patterns[] = {"*.mnu*", "*.key", "*.pin", "othDic.*", "errMsg.*", "*.tvf*", "font.dat"};
    for (const char *pattern : patterns)
        InstallMatching(pattern);
}

int ClassifyPlugin(const char *path)
{
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path);
    SetErrorMode(oldMode);
    if ((uintptr_t)module < 32) {
        if (module)
            FreeLibrary(module);
        return -1;
    }
    static const struct {
        const char *entry;
        int code;
    } kExports[] = {{"QzcShowDlg", kInstallSubWindow},     {"QzcEffect", kInstallEffect},
                    {"QzcGetDrawInterface", kInstallDraw}, {"QzcGetColorInfo", kInstallFuncColor},
                    {"QzcTransforming", kInstallTransform}, {"GetAddinInfo", kInstallSaver},
                    {"QzcExtCommand", kInstallExtCommand}, {"QzcCreateParameterInfo", kInstallParameter},
                    {"QzcGetBlendColor", kInstallLayerBlend}};
    int code = -1;
    for (const auto &e : kExports)
        if (GetProcAddress(module, e.entry)) {
            code = e.code;
            break;
        }
    FreeLibrary(module);
    return code;
}

void InstallNewPlugins(const char *dir)
{
    struct Place {
        char *dir;
        int kept;
    };
    const Place places[] = {{NULL, 0},
                            {g_cfg.Draw_dir, kOldDraw},
                            {g_cfg.Effect_dir, kOldEffect},
                            {g_cfg.Subwin_dir, kOldSubwin},
                            {g_cfg.FuncColor_dir, kOldFcolor},
                            {g_cfg.Transform_dir, kOldTrans},
                            {g_cfg.Saver_dir, kOldSavePlug},
                            {g_cfg.ExtCommand_dir, kOldExtCmd},
                            {g_cfg.Parameter_dir, kOldParam},
                            {g_cfg.Layer_dir, kOldLayer}};
    for (const std::string &name : ListPlainFiles(dir, "*.ovp")) {
        char from[kPathBytes], to[kPathBytes], kept[kPathBytes];
        if (!JoinPath(from, sizeof from, dir, name.c_str()))
            continue;
        int code = ClassifyPlugin(from);
        if (code < 1 || code > kInstallLayerBlend)
            continue;
        const Place &p = places[code];
        if (JoinPath(to, sizeof to, p.dir, name.c_str()) &&
            JoinPath(kept, sizeof kept, g_oldPlugDir[p.kept], name.c_str()))
            InstallIfNewer(from, to, kept);
    }
}

int InstallNewSusiePlugins(const char *dir)
{
    if (strcmp(g_cfg.Susie_dir, "???") == 0)
        return 0;
    for (const std::string &name : ListPlainFiles(dir, "*.spi")) {
        char from[kPathBytes], to[kPathBytes];
        if (JoinPath(from, sizeof from, dir, name.c_str()) && JoinPath(to, sizeof to, g_cfg.Susie_dir, name.c_str()))
            InstallIfNewer(from, to, NULL);
    }
    return 1;
}
