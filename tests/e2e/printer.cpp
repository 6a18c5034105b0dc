// Sets up a printer inside the Wine prefix for the printing runs: the PostScript driver that comes
// with Wine (its printer description is a resource of winspool.drv) on a port that writes to a
// file, made the default; and removes it again.
//   printer.exe add <name> <port>   |   printer.exe del <name>
#include <windows.h>
#include <winspool.h>
#include <stdio.h>
#include <string.h>

static const char *kDriver = "Wine PostScript Driver";

struct Found {
    HRSRC resource;
    char type[64];
};

static BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR p)
{
    Found *f = (Found *)p;
    f->resource = FindResourceA(GetModuleHandleA("winspool.drv"), name, f->type);
    return FALSE;
}

// Writes the driver's printer description into the driver directory; the path goes to out.
static bool WriteDescription(char *out, DWORD size)
{
    HMODULE spool = LoadLibraryA("winspool.drv");
    Found f = {NULL, "PPDFILE"};
    if (!spool)
        return false;
    EnumResourceNamesA(spool, f.type, TakeFirstName, (LONG_PTR)&f);
    HGLOBAL loaded = f.resource ? LoadResource(spool, f.resource) : NULL;
    DWORD bytes = f.resource ? SizeofResource(spool, f.resource) : 0;
    char dir[MAX_PATH];
    DWORD needed = 0;
    if (!loaded || !bytes || !GetPrinterDriverDirectoryA(NULL, NULL, 1, (LPBYTE)dir, sizeof dir, &needed))
        return false;
    snprintf(out, size, "%s\\generic.ppd", dir);
    FILE *file = fopen(out, "wb");
    if (!file)
        return false;
    bool written = fwrite(LockResource(loaded), 1, bytes, file) == bytes;
    return fclose(file) == 0 && written;
}

static int Add(const char *name, const char *port)
{
    char description[MAX_PATH];
    if (!WriteDescription(description, sizeof description)) {
        fprintf(stderr, "no printer description\n");
        return 1;
    }
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = (char *)kDriver;
#ifdef _WIN64
    driver.pEnvironment = (char *)"Windows x64";
#else
    driver.pEnvironment = (char *)"Windows NT x86";
#endif
    driver.pDriverPath = (char *)"wineps.drv";
    driver.pDataFile = description;
    driver.pConfigFile = (char *)"wineps.drv";
    if (!AddPrinterDriverA(NULL, 3, (LPBYTE)&driver) && GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        fprintf(stderr, "AddPrinterDriver: %lu\n", GetLastError());
        return 1;
    }
    PRINTER_INFO_2A info = {};
    info.pPrinterName = (char *)name;
    info.pPortName = (char *)port;
    info.pDriverName = (char *)kDriver;
    info.pPrintProcessor = (char *)"WinPrint";
    info.pDatatype = (char *)"RAW";
    HANDLE printer = AddPrinterA(NULL, 2, (LPBYTE)&info);
    if (!printer && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        fprintf(stderr, "AddPrinter: %lu\n", GetLastError());
        return 1;
    }
    if (printer)
        ClosePrinter(printer);
    return SetDefaultPrinterA(name) ? 0 : 1;
}

static int Remove(const char *name)
{
    HANDLE printer;
    PRINTER_DEFAULTSA access = {NULL, NULL, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA((char *)name, &printer, &access))
        return 0;
    BOOL gone = DeletePrinter(printer);
    ClosePrinter(printer);
    return gone ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc > 3 && !strcmp(argv[1], "add"))
        return Add(argv[2], argv[3]);
    if (argc > 2 && !strcmp(argv[1], "del"))
        return Remove(argv[2]);
    fprintf(stderr, "usage: printer add <name> <port> | del <name>\n");
    return 2;
}
