// Steps of the program whose subsystems are not built yet. Each is named as the subsystem will
// name it and does nothing (or the least that keeps the program running); the subsystem replaces
// its entries here with the real ones.
#include "view/regionborder.h"
#include "ovrin.h"
#include "files/bmp.h"
#include "draw/drawmouse.h"
#include "draw/drawsel.h"
#include "view/paint.h"
#include "files/openimage.h"
#include "files/outside.h"
#include "files/progress.h"
#include "files/save.h"
#include "image/cdib.h"
#include "image/colors.h"
#include "view/display.h"
#include "image/regions.h"
#include "image/undo.h"
#include "draw/drawsel.h"
#include "plugins/effectdlg.h"
#include "plugins/install.h"
#include "plugins/loader.h"
#include "plugins/params.h"
#include "plugins/plugdialogs.h"
#include "draw/reedit.h"
#include "image/pen.h"
#include "plugins/subwin.h"
#include "draw/transform.h"
#include "base/app.h"
#include "shell/clipwin.h"
#include "base/settings.h"
#include "shell/itemwin.h"
#include "shell/keymap.h"
#include "shell/menus.h"
#include "base/messages.h"
#include "base/sysinfo.h"
#include "shell/tablet.h"
#include "shell/toolbar.h"
#include "view/winlist.h"
#include "shell/winproc.h"

// ---- configuration ----

// ---- painting ----

// ---- plug-in host ----


// ---- draw methods, sub-window plug-ins, status bar ----

// ---- save-format table and save option panels ----
// ---- file reading and saving ----

// ---- steps the file code calls ----
