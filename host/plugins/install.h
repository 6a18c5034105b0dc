// Installation of plug-ins and data files dropped into the application directory.
#pragma once
#include "ovrin.h"

void CreateWorkingDirectories();
void InstallNewerDataFiles();
void InstallDroppedPlugins();
