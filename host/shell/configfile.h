// The configuration file "ovrin.cfg": read at start-up, written back at quit, and the colours and
// pen it names applied once the plug-ins are loaded.
#pragma once

void InitApplicationSettings(); // defaults, directories, screen facts, then the file
int ReadConfigFile();
int WriteConfigFile();          // 0 when the file cannot be created
void ApplyConfiguredColors();
void ApplyConfiguredPen();
