// Pictures read by an independent program: ImageMagick's convert, run from inside Wine as a Unix
// program. The pixels come back as RGB rows, top row first.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <stdint.h>
#include <string>
#include <vector>

struct ReferencePicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t *At(int x, int y) const { return &rgb[((size_t)y * width + x) * 3]; }
};

// The Unix path of a Windows path, or "" outside Wine.
inline std::string UnixPathOf(const std::string &path)
{
    typedef char *(CDECL * ToUnix)(const WCHAR *);
    ToUnix toUnix = (ToUnix)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char *unix = toUnix(wide);
    if (!unix)
        return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

inline bool ReferenceAvailable()
{
    return !UnixPathOf("C:\\").empty() && GetFileAttributesA("Z:\\usr\\bin\\convert") != INVALID_FILE_ATTRIBUTES;
}

// Where a reference picture is written: this process's own name in the temporary directory, never
// beside the read file (shared test data is read by other runs at the same time).
inline std::string ReferenceOutputName(const char *kind)
{
    static int counter;
    char dir[MAX_PATH], name[MAX_PATH + 64];
    DWORD n = GetTempPathA(sizeof dir, dir);
    if (n == 0 || n >= sizeof dir)
        dir[0] = 0;
    snprintf(name, sizeof name, "%sovrin-%s-%lu-%d.ppm", dir, kind, GetCurrentProcessId(), counter++);
    return name;
}

// Runs a Unix shell command that writes a binary PPM to ppm, then reads that file into RGB; false
// when the command made no picture. Wine does not wait for a Unix program, so the shell marks the
// end with a file of its own.
inline bool ReadPpmMadeBy(const std::string &command, const std::string &ppm, const std::string &done,
                          ReferencePicture *out)
{
    DeleteFileA(ppm.c_str());
    DeleteFileA(done.c_str());
    std::string shell = "/bin/sh -c \"" + command + "; touch '" + UnixPathOf(done) + "'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> line(shell.begin(), shell.end());
    line.push_back(0);
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int i = 0; i < 600 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
        Sleep(50);
    DeleteFileA(done.c_str());
    FILE *f = fopen(ppm.c_str(), "rb");
    if (!f)
        return false;
    int maxValue = 0;
    bool ok = fscanf(f, "P6 %d %d %d", &out->width, &out->height, &maxValue) == 3 && maxValue == 255 &&
              fgetc(f) != EOF;
    if (ok) {
        out->rgb.resize((size_t)out->width * out->height * 3);
        ok = fread(out->rgb.data(), 1, out->rgb.size(), f) == out->rgb.size();
    }
    fclose(f);
    DeleteFileA(ppm.c_str());
    return ok;
}

// Reads a picture file with convert into RGB, after convert's operations when given (for example
// "-scale 15x9!"); false when convert could not read it.
inline bool ReadWithReference(const std::string &path, ReferencePicture *out, const std::string &operations = "")
{
    std::string ppm = ReferenceOutputName("ref"), outUnix = UnixPathOf(ppm);
    std::string command = "/usr/bin/convert '" + UnixPathOf(path) + "' " + operations + " -alpha off -depth 8 'ppm:" +
                          outUnix + ".tmp' && mv '" + outUnix + ".tmp' '" + outUnix + "'";
    return ReadPpmMadeBy(command, ppm, ppm + ".done", out);
}

inline bool PillowAvailable()
{
    return ReferenceAvailable() && GetFileAttributesA("Z:\\usr\\bin\\python3") != INVALID_FILE_ATTRIBUTES;
}

// Reads a picture file with Pillow (the system's Python) into RGB.
inline bool ReadWithPillow(const std::string &path, ReferencePicture *out)
{
    std::string ppm = ReferenceOutputName("pil"), outUnix = UnixPathOf(ppm);
    std::string command = "/usr/bin/python3 -c 'import sys; from PIL import Image; "
                          "Image.open(sys.argv[1]).convert(\\\"RGB\\\").save(sys.argv[2], \\\"PPM\\\")' '" +
                          UnixPathOf(path) + "' '" + outUnix + ".tmp' && mv '" + outUnix + ".tmp' '" + outUnix + "'";
    return ReadPpmMadeBy(command, ppm, ppm + ".done", out);
}
