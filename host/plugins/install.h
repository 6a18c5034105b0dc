// Installation of plug-ins and data files dropped into the application directory: each goes to the
// directory where it belongs when it is newer than the file it replaces, and the replaced file is
// kept in the matching directory of old plug-ins.
#pragma once
#include "ovrin.h"
#include <string>
#include <vector>

// Plug-in kind codes found from a module's exports; -1 none (or the module does not load).
enum {
    kInstallDraw = 1,
    kInstallEffect = 2,
    kInstallSubWindow = 3,
    kInstallFuncColor = 4,
    kInstallTransform = 5,
    kInstallSaver = 6,
    kInstallExtCommand = 7,
    kInstallParameter = 8,
    kInstallLayerBlend = 9,
};

void CreateWorkDirectories();
void InstallDataFiles();          // menu files, key maps, lists, dictionaries and so on, to Stat
void InstallMatching(const char *pattern);
void InstallNewPlugins(const char *dir);
int InstallNewSusiePlugins(const char *dir); // 0 while the Susie directory is not set
int ClassifyPlugin(const char *path);

// Moves source (with its parameter files) to destination when it is newer or the destination is
// missing; the replaced file goes to backup (NULL: none). A source that is not newer goes to backup
// when one is given, else stays.
void InstallIfNewer(const char *source, const char *destination, const char *backup);
void MoveWithCompanions(const char *source, const char *destination, const char *backup);
// The plain files of dir matching pattern, listed before any of them moves.
std::vector<std::string> ListPlainFiles(const char *dir, const char *pattern);
