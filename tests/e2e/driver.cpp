// Drives the running program from outside, as another Windows process on the same display.
//   driver wait <class> <milliseconds>      waits for a top-level window of the class
//   driver gone <class> <milliseconds>      waits until no such window is left
//   driver command <class> <id>             posts WM_COMMAND id to it, once its thread has taken
//                                           the input the system holds for it
//   driver visible <class>                  exit 0 when the window is visible
//   driver shown <class> <milliseconds>     waits until a window of the class is visible
//   driver answer <caption> <milliseconds>  waits for a dialog or message box with the caption,
//                                           prints its texts, presses OK and waits until it is gone
//   driver press <caption> <id> <ms>        waits for the dialog and sends it command id
//   driver click <class> <x> <y>            moves the pointer over a client point and clicks there
//   driver tap <caption> <x> <y> <ms>       waits for the dialog and clicks at its client point
//   driver tell <class> <id>                posts WM_COMMAND id to the visible window of the class
//   driver titled <class> <text> <ms>       waits for a visible window of the class whose title
//                                           holds the text
//   driver client <class>                   prints the client size of the visible window
//   driver seen <title> <ms> [ready file]   waits for a visible window with that exact title (any
//                                           class), polling often; prints its class. The ready
//                                           file is made when the watch starts
//   driver untitled <class> <text> <ms>     waits until the visible window's title lacks the text
//   driver type <caption> <text> <ms>       waits for the file dialog, types the name, presses OK
//   driver drag <class> <x0> <y0> <x1> <y1> drags with the real mouse between two client points of
//                                           the shown window of the class (system input, as a user)
//   driver where <class>                    prints the screen position and size of the client area
//                                           of a shown window of the class
//   driver key <caption> <class> <vk> <ms>  presses a key in the dialog's first control of the class
//   driver rect <class>                     prints the screen rectangle of the shown window
//   driver point <class> <x> <y>            moves the real mouse over a client point of the shown
//                                           window of the class, pressing nothing
//   driver menu <class> <x> <y> <n>         right-clicks with the real mouse at a client point of the
//                                           shown window and picks item <n> (from 0) of the popup
//                                           menu with the real keyboard
//   driver choose <caption> <list id> <index> <ms>
//                                           waits for the dialog and selects a line of its list box,
//                                           by number or, when <index> is no number, by its text
//   driver enabled <class> <id>            exit 0 when the control id of the shown window of the
//                                           class is enabled
//   driver pick <caption> <tree id> <folder> <item> <ms>
//                                           waits for the dialog and selects, in its tree view, item
//                                           number <item> of folder number <folder> under the root
//   driver named <caption> <ms>             waits for the file dialog and prints its file-name box
//   driver order                            prints the classes of the visible top-level windows in
//                                           the system's window order, topmost first, one a line
//   driver owner <class>                    prints the class of the shown window's owner
//   driver press-mouse <class> <x> <y>      clicks with the real mouse at a client point of the
//                                           shown window, as a user does (it activates the window)
//   driver clipsave <file.bmp>              writes the clipboard's CF_DIB as a bitmap file
//   driver clipput <file.bmp>               puts a bitmap file's picture on the clipboard as CF_DIB
//   driver sleep <milliseconds>             waits
//   driver <verb> <args> -- <verb> <args>   runs the verbs in turn, stopping at the first that fails
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <initializer_list>

static HWND Find(const char *cls)
{
    return FindWindowA(cls, NULL);
}

static int WaitFor(const char *cls, int ms, bool present)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if ((Find(cls) != NULL) == present)
            return 0;
        Sleep(50);
    }
    fprintf(stderr, "timed out waiting for %s to %s\n", cls, present ? "appear" : "go");
    return 1;
}

static HWND FindShown(const char *cls)
{
    for (HWND w = FindWindowExA(NULL, NULL, cls, NULL); w; w = FindWindowExA(NULL, w, cls, NULL))
        if (IsWindowVisible(w))
            return w;
    return NULL;
}

static BOOL CALLBACK PrintText(HWND child, LPARAM)
{
    char text[512];
    if (GetWindowTextA(child, text, sizeof text) > 0)
        printf("%s\n", text);
    return TRUE;
}

static HWND WaitForDialog(const char *caption, int ms)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if (HWND box = FindWindowA("#32770", caption))
            return box;
        Sleep(50);
    }
    fprintf(stderr, "no box \"%s\" appeared\n", caption);
    return NULL;
}

struct ChildSearch {
    const char *cls;
    HWND hit;
};

static BOOL CALLBACK FindChildOfClass(HWND child, LPARAM p)
{
    ChildSearch *s = (ChildSearch *)p;
    char cls[64];
    GetClassNameA(child, cls, sizeof cls);
    if (strcmp(cls, s->cls) != 0)
        return TRUE;
    s->hit = child;
    return FALSE;
}

static int PressKey(const char *caption, const char *cls, int vk, int ms)
{
    HWND dialog = WaitForDialog(caption, ms);
    ChildSearch s = {cls, NULL};
    for (int waited = 0; dialog && !s.hit && waited <= ms; waited += 50) {
        EnumChildWindows(dialog, FindChildOfClass, (LPARAM)&s);
        if (!s.hit)
            Sleep(50);
    }
    if (!s.hit)
        return 1;
    PostMessageA(s.hit, WM_KEYDOWN, (WPARAM)vk, 1);
    PostMessageA(s.hit, WM_KEYUP, (WPARAM)vk, 0xC0000001);
    return 0;
}

static int Answer(const char *caption, int ms)
{
    for (int waited = 0; waited <= ms; waited += 50) {
        if (HWND box = FindWindowA("#32770", caption)) {
            EnumChildWindows(box, PrintText, 0);
            fflush(stdout);
            if (!PostMessageA(box, WM_COMMAND, IDOK, 0))
                return 1;
            // Gone before the next answer looks, so that no box is answered twice.
            for (int gone = 0; IsWindow(box) && gone < 5000; gone += 20)
                Sleep(20);
            return 0;
        }
        Sleep(50);
    }
    fprintf(stderr, "no box \"%s\" appeared\n", caption);
    return 1;
}

static bool TitleHolds(HWND w, const char *text)
{
    char title[512] = "";
    GetWindowTextA(w, title, sizeof title);
    return strstr(title, text) != NULL;
}

static HWND FindShownTitled(const char *cls, const char *text)
{
    for (HWND w = FindWindowExA(NULL, NULL, cls, NULL); w; w = FindWindowExA(NULL, w, cls, NULL))
        if (IsWindowVisible(w) && TitleHolds(w, text))
            return w;
    return NULL;
}

struct TitleSearch {
    const char *title;
    HWND hit;
};

static BOOL CALLBACK MatchTitle(HWND w, LPARAM p)
{
    TitleSearch *s = (TitleSearch *)p;
    char title[512] = "";
    GetWindowTextA(w, title, sizeof title);
    if (IsWindowVisible(w) && strcmp(title, s->title) == 0) {
        s->hit = w;
        return FALSE;
    }
    return TRUE;
}

// One system mouse event at a screen point: the input the user's mouse would give.
static void MouseAt(POINT p, DWORD flags)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
    Sleep(60);
}

static int Drag(const char *cls, int x0, int y0, int x1, int y1)
{
    HWND w = FindShown(cls);
    if (!w)
        return 1;
    SetForegroundWindow(w);
    BringWindowToTop(w);
    Sleep(200);
    POINT a = {x0, y0}, b = {x1, y1};
    ClientToScreen(w, &a);
    ClientToScreen(w, &b);
    MouseAt(a, 0);
    MouseAt(a, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 10; i++)
        MouseAt(POINT{a.x + (b.x - a.x) * i / 10, a.y + (b.y - a.y) * i / 10}, 0);
    MouseAt(b, MOUSEEVENTF_LEFTUP);
    Sleep(300);
    return 0;
}

static void KeyStroke(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(100);
}

// A popup menu opened by the right button, its item chosen as a user does with the keys.
static int PopupItem(const char *cls, int x, int y, int item)
{
    HWND w = FindShown(cls);
    if (!w)
        return 1;
    SetForegroundWindow(w);
    BringWindowToTop(w);
    Sleep(200);
    POINT at = {x, y};
    ClientToScreen(w, &at);
    MouseAt(at, 0);
    MouseAt(at, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(at, MOUSEEVENTF_RIGHTUP);
    // The popup is a window of the system class "#32768" while it is open.
    HWND menu = NULL;
    for (int waited = 0; !menu && waited <= 5000; waited += 50) {
        for (HWND m = FindWindowExA(NULL, NULL, "#32768", NULL); m; m = FindWindowExA(NULL, m, "#32768", NULL))
            if (IsWindowVisible(m))
                menu = m;
        if (!menu)
            Sleep(50);
    }
    if (!menu) {
        fprintf(stderr, "no popup menu appeared\n");
        return 1;
    }
    Sleep(200);
    for (int i = 0; i <= item; i++)
        KeyStroke(VK_DOWN);
    KeyStroke(VK_RETURN);
    Sleep(300);
    return 0;
}

// The file dialog's name box: a combo box with an edit in newer dialogs, a plain edit in older ones.
static HWND NameBox(HWND box)
{
    for (int id : {0x47c, 0x480})
        if (HWND c = GetDlgItem(box, id))
            return c;
    return NULL;
}

// Tree items are handles, so the walk and the selection need no memory in the other process.
static int Pick(const char *caption, int id, int folder, int item, int ms)
{
    HWND box = WaitForDialog(caption, ms);
    HWND tree = box ? GetDlgItem(box, id) : NULL;
    if (!tree)
        return 1;
    LPARAM at = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    at = at ? SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, at) : 0;
    for (int i = 0; at && i < folder; i++)
        at = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, at);
    at = at ? SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, at) : 0;
    for (int i = 0; at && i < item; i++)
        at = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, at);
    if (!at) {
        fprintf(stderr, "no item %d in folder %d\n", item, folder);
        return 1;
    }
    return SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, at) ? 0 : 1;
}

// The clipboard as another program sees it.
static int ClipSave(const char *path)
{
    if (!OpenClipboard(NULL))
        return 1;
    HANDLE dib = GetClipboardData(CF_DIB);
    const BITMAPINFOHEADER *h = dib ? (const BITMAPINFOHEADER *)GlobalLock(dib) : NULL;
    int result = 1;
    if (h) {
        SIZE_T bytes = GlobalSize(dib);
        DWORD table = (h->biBitCount <= 8 ? (h->biClrUsed ? h->biClrUsed : 1u << h->biBitCount) : 0) * 4;
        BITMAPFILEHEADER f = {0x4D42, (DWORD)(sizeof f + bytes), 0, 0, (DWORD)(sizeof f + h->biSize + table)};
        FILE *out = fopen(path, "wb");
        if (out) {
            result = fwrite(&f, sizeof f, 1, out) == 1 && fwrite(h, 1, bytes, out) == bytes ? 0 : 1;
            fclose(out);
        }
        GlobalUnlock(dib);
    }
    CloseClipboard();
    return result;
}

static int ClipPut(const char *path)
{
    FILE *in = fopen(path, "rb");
    if (!in)
        return 1;
    fseek(in, 0, SEEK_END);
    long size = ftell(in);
    fseek(in, (long)sizeof(BITMAPFILEHEADER), SEEK_SET);
    size -= (long)sizeof(BITMAPFILEHEADER);
    HGLOBAL block = size > 0 ? GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)size) : NULL;
    bool read = block && fread(GlobalLock(block), 1, (size_t)size, in) == (size_t)size;
    fclose(in);
    if (block)
        GlobalUnlock(block);
    if (!read || !OpenClipboard(NULL)) {
        if (block)
            GlobalFree(block);
        return 1;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_DIB, block) != NULL;
    CloseClipboard();
    if (!taken)
        GlobalFree(block);
    return taken ? 0 : 1;
}

// Moves the pointer over a client point of the shown window of a class; false without one.
static bool PointerOver(const char *cls, const char *x, const char *y, POINT *at)
{
    HWND w = FindShown(cls);
    if (!w)
        return false;
    *at = {atoi(x), atoi(y)};
    ClientToScreen(w, at);
    MouseAt(*at, 0);
    return true;
}

// Waits, up to ms, until the window's thread has answered three times in a row at once: input the
// system still holds for it (the end of a drag, keys) is taken before the thread is idle, so a
// command posted after this comes after that input, as a user's would. Posted messages are taken
// before input, so without it a command sent right after a drag can overtake the drag.
static void Settle(HWND w, int ms)
{
    DWORD start = GetTickCount();
    for (int quick = 0; quick < 3 && IsWindow(w) && (int)(GetTickCount() - start) < ms;) {
        DWORD asked = GetTickCount();
        DWORD_PTR answer;
        if (SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer) && GetTickCount() - asked < 50)
            quick++;
        else
            quick = 0;
        Sleep(50);
    }
}

// One verb: argv[1] is the verb, argv[2]... its arguments (argv[0] is not read).
static int RunVerb(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const char *verb = argv[1], *cls = argc > 2 ? argv[2] : "";
    if (!strcmp(verb, "sleep") && argc > 2) {
        int ms = atoi(argv[2]);
        Sleep(ms > 0 ? (DWORD)ms : 0); // a negative count would be read as nearly fifty days
        return 0;
    }
    if (!strcmp(verb, "order")) {
        for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT))
            if (IsWindowVisible(w)) {
                char name[64] = "";
                GetClassNameA(w, name, sizeof name);
                printf("%s\n", name);
            }
        return 0;
    }
    if (argc < 3)
        return 2;
    if (!strcmp(verb, "clipsave"))
        return ClipSave(argv[2]);
    if (!strcmp(verb, "clipput"))
        return ClipPut(argv[2]);
    if (!strcmp(verb, "wait") && argc > 3)
        return WaitFor(cls, atoi(argv[3]), true);
    if (!strcmp(verb, "gone") && argc > 3)
        return WaitFor(cls, atoi(argv[3]), false);
    if (!strcmp(verb, "visible"))
        return Find(cls) && IsWindowVisible(Find(cls)) ? 0 : 1;
    if (!strcmp(verb, "shown") && argc > 3) {
        for (int waited = 0, ms = atoi(argv[3]); waited <= ms; waited += 50) {
            if (FindShown(cls))
                return 0;
            Sleep(50);
        }
        return 1;
    }
    if (!strcmp(verb, "answer") && argc > 3)
        return Answer(cls, atoi(argv[3]));
    if (!strcmp(verb, "press") && argc > 4) {
        HWND box = WaitForDialog(cls, atoi(argv[4]));
        return box && PostMessageA(box, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    if (!strcmp(verb, "click") && argc > 4) {
        HWND w = Find(cls);
        if (!w)
            return 1;
        LPARAM at = MAKELPARAM(atoi(argv[3]), atoi(argv[4]));
        PostMessageA(w, WM_MOUSEMOVE, 0, at);
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(w, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (!strcmp(verb, "tap") && argc > 5) {
        HWND dialog = WaitForDialog(cls, atoi(argv[5]));
        if (!dialog)
            return 1;
        LPARAM at = MAKELPARAM(atoi(argv[3]), atoi(argv[4]));
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(dialog, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (!strcmp(verb, "tell") && argc > 3) {
        HWND w = FindShown(cls);
        if (w)
            Settle(w, 10000);
        return w && PostMessageA(w, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    if (!strcmp(verb, "titled") && argc > 4) {
        for (int waited = 0, ms = atoi(argv[4]); waited <= ms; waited += 50) {
            if (FindShownTitled(cls, argv[3]))
                return 0;
            Sleep(50);
        }
        fprintf(stderr, "no visible %s window titled \"%s\"\n", cls, argv[3]);
        return 1;
    }
    if (!strcmp(verb, "untitled") && argc > 4) {
        for (int waited = 0, ms = atoi(argv[4]); waited <= ms; waited += 50) {
            HWND w = FindShown(cls);
            if (w && !TitleHolds(w, argv[3]))
                return 0;
            Sleep(50);
        }
        fprintf(stderr, "the visible %s window is still titled with \"%s\"\n", cls, argv[3]);
        return 1;
    }
    if (!strcmp(verb, "type") && argc > 4) {
        HWND box = WaitForDialog(cls, atoi(argv[4]));
        HWND name = box ? NameBox(box) : NULL;
        if (!name)
            return 1;
        SendMessageA(name, WM_SETTEXT, 0, (LPARAM)argv[3]);
        return PostMessageA(box, WM_COMMAND, IDOK, 0) ? 0 : 1;
    }
    if (!strcmp(verb, "named") && argc > 3) {
        HWND box = WaitForDialog(cls, atoi(argv[3]));
        HWND name = box ? NameBox(box) : NULL;
        if (!name)
            return 1;
        // The dialog fills the box once it is up.
        Sleep(300);
        char text[MAX_PATH] = "";
        SendMessageA(name, WM_GETTEXT, sizeof text, (LPARAM)text);
        printf("%s\n", text);
        return 0;
    }
    if (!strcmp(verb, "owner")) {
        HWND w = FindShown(cls), owner = w ? GetWindow(w, GW_OWNER) : NULL;
        char name[64] = "";
        if (!owner || !GetClassNameA(owner, name, sizeof name))
            return 1;
        printf("%s\n", name);
        return 0;
    }
    if (!strcmp(verb, "press-mouse") && argc > 4) {
        POINT at;
        if (!PointerOver(cls, argv[3], argv[4], &at))
            return 1;
        MouseAt(at, MOUSEEVENTF_LEFTDOWN);
        MouseAt(at, MOUSEEVENTF_LEFTUP);
        Sleep(300);
        return 0;
    }
    if (!strcmp(verb, "client")) {
        HWND w = FindShown(cls);
        RECT r;
        if (!w || !GetClientRect(w, &r))
            return 1;
        printf("%ld %ld\n", r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (!strcmp(verb, "seen") && argc > 3) {
        // The ready file is made first, so that a script can start what it watches only once the
        // watch runs (the output reaches the script only when the driver ends). Polled often: a
        // progress window may live for a fraction of a second. The time is the clock's, not the
        // polls' count: under load a poll takes much longer than its pause.
        if (argc > 4) {
            HANDLE ready = CreateFileA(argv[4], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (ready == INVALID_HANDLE_VALUE)
                return 1;
            CloseHandle(ready);
        }
        int limit = atoi(argv[3]);
        DWORD start = GetTickCount(), ms = limit > 0 ? (DWORD)limit : 0;
        while (GetTickCount() - start <= ms) {
            TitleSearch search = {cls, NULL};
            EnumWindows(MatchTitle, (LPARAM)&search);
            if (search.hit) {
                char name[64] = "";
                GetClassNameA(search.hit, name, sizeof name);
                printf("%s\n", name);
                return 0;
            }
            Sleep(5);
        }
        fprintf(stderr, "no visible window titled \"%s\"\n", cls);
        return 1;
    }
    if (!strcmp(verb, "pick") && argc > 6)
        return Pick(cls, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]));
    if (!strcmp(verb, "drag") && argc > 6)
        return Drag(cls, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]));
    if (!strcmp(verb, "where")) {
        HWND w = FindShown(cls);
        if (!w)
            return 1;
        POINT origin = {0, 0};
        RECT client;
        ClientToScreen(w, &origin);
        GetClientRect(w, &client);
        printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        return 0;
    }
    if (!strcmp(verb, "choose") && argc > 5) {
        HWND box = WaitForDialog(cls, atoi(argv[5]));
        HWND list = box ? GetDlgItem(box, atoi(argv[3])) : NULL;
        if (!list)
            return 1;
        // A line by its number, or by its whole text when that is no number.
        LRESULT line = argv[4][0] >= '0' && argv[4][0] <= '9'
                           ? atoi(argv[4])
                           : SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)argv[4]);
        return line != LB_ERR && SendMessageA(list, LB_SETCURSEL, (WPARAM)line, 0) != LB_ERR ? 0 : 1;
    }
    if (!strcmp(verb, "menu") && argc > 5)
        return PopupItem(cls, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    if (!strcmp(verb, "key") && argc > 5)
        return PressKey(cls, argv[3], atoi(argv[4]), atoi(argv[5]));
    if (!strcmp(verb, "rect")) {
        HWND w = FindShown(cls);
        RECT r;
        if (!w || !GetWindowRect(w, &r))
            return 1;
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        return 0;
    }
    if (!strcmp(verb, "point") && argc > 4) {
        POINT at;
        return PointerOver(cls, argv[3], argv[4], &at) ? 0 : 1;
    }
    if (!strcmp(verb, "enabled") && argc > 3) {
        HWND w = FindShown(cls);
        HWND control = w ? GetDlgItem(w, atoi(argv[3])) : NULL;
        return control && IsWindowEnabled(control) ? 0 : 1;
    }
    if (!strcmp(verb, "command") && argc > 3) {
        HWND w = Find(cls);
        if (!w)
            return 1;
        Settle(w, 10000);
        return PostMessageA(w, WM_COMMAND, (WPARAM)atoi(argv[3]), 0) ? 0 : 1;
    }
    return 2;
}

// Verbs separated by "--" run in turn in one process, until the first that fails (one start of
// the driver instead of one for each step).
int main(int argc, char **argv)
{
    for (int first = 1, step = 1, i = 1; i <= argc; i++) {
        if (i < argc && strcmp(argv[i], "--") != 0)
            continue;
        int rc = RunVerb(i - first + 1, argv + first - 1);
        fflush(stdout);
        if (rc != 0) {
            fprintf(stderr, "driver: step %d (%s) failed\n", step, first < argc ? argv[first] : "nothing");
            return rc;
        }
        first = i + 1;
        step++;
    }
    return 0;
}
