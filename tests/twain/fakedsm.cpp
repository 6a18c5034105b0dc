// A stand-in TWAIN source manager with one source, for the tests: it plays opening and closing,
// enabling with or without the source's dialog, the transfer-ready and close-request events, the
// native transfer of a generated picture, capability containers and error returns.
//
// The environment steers it:
//   OVRIN_FAKE_TWAIN      words separated by commas:
//                         cancel (the source asks to be closed instead of offering a picture),
//                         noevent (the source stays silent), failopendsm, failopends, failenable,
//                         pic=24|565|topdown|short (the picture), cap=enum|array|one|range|uint32|empty
//                         (the pixel-type container), selectcancel
//   OVRIN_FAKE_TWAIN_LOG  a file every call is appended to, one line each
#include "files/twain_proto.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace {

char s_words[512];
uint16_t s_condition;
HWND s_parent;
int s_showUI;
UINT s_eventMessage;

bool Has(const char *word)
{
    size_t n = strlen(word);
    for (const char *p = s_words; *p;) {
        const char *end = strchr(p, ',');
        size_t len = end ? (size_t)(end - p) : strlen(p);
        if (len == n && !strncmp(p, word, n))
            return true;
        if (!end)
            break;
        p = end + 1;
    }
    return false;
}

void Log(const char *format, ...)
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("OVRIN_FAKE_TWAIN_LOG", path, sizeof path))
        return;
    FILE *f = fopen(path, "ab");
    if (!f)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(f, format, args);
    va_end(args);
    fputc('\n', f);
    fclose(f);
}

uint16_t Fail(uint16_t condition)
{
    s_condition = condition;
    return kRcFailure;
}

// The generated picture: at (x, y), y counted from the top, red 4x, green 5y, blue 2(x + y).
void Colour(int x, int y, uint8_t *r, uint8_t *g, uint8_t *b)
{
    *r = (uint8_t)(4 * x);
    *g = (uint8_t)(5 * y);
    *b = (uint8_t)(2 * (x + y));
}

HGLOBAL MakePicture()
{
    const int w = 40, h = 30;
    int depth = Has("pic=565") ? 16 : Has("pic=topdown") ? 32 : 24;
    int row = ((w * depth / 8) + 3) / 4 * 4;
    int masks = depth == 16 ? 12 : 0;
    size_t bytes = 40 + masks + (size_t)row * h;
    if (Has("pic=short"))
        bytes -= row; // the header promises a row more than the block holds
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    uint8_t *p = (uint8_t *)GlobalLock(block);
    BITMAPINFOHEADER *bih = (BITMAPINFOHEADER *)p;
    bih->biSize = 40;
    bih->biWidth = w;
    bih->biHeight = Has("pic=topdown") ? -h : h;
    bih->biPlanes = 1;
    bih->biBitCount = (WORD)depth;
    bih->biCompression = depth == 16 ? BI_BITFIELDS : BI_RGB;
    if (depth == 16) {
        uint32_t m[3] = {0xF800, 0x07E0, 0x001F};
        memcpy(p + 40, m, 12);
    }
    uint8_t *rows = p + 40 + masks;
    int stored = Has("pic=short") ? h - 1 : h;
    for (int i = 0; i < stored; i++) {
        int y = Has("pic=topdown") ? i : h - 1 - i; // the row's place in the picture
        uint8_t *line = rows + (size_t)i * row;
        for (int x = 0; x < w; x++) {
            uint8_t r, g, b;
            Colour(x, y, &r, &g, &b);
            if (depth == 16) {
                uint16_t v = (uint16_t)((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
                memcpy(line + 2 * x, &v, 2);
            } else {
                uint8_t *q = line + x * (depth / 8);
                q[0] = b;
                q[1] = g;
                q[2] = r;
                if (depth == 32)
                    q[3] = 0;
            }
        }
    }
    GlobalUnlock(block);
    return block;
}

HGLOBAL MakeContainer(uint16_t *conType)
{
    // Pixel types offered: 0 (black and white), 2 (RGB), 1 (grey), in that order.
    const uint16_t types[3] = {0, 2, 1};
    HGLOBAL block;
    if (Has("cap=one")) {
        *conType = kOnOneValue;
        TwOneValue one = {kTyUInt16, 2};
        block = GlobalAlloc(GMEM_MOVEABLE, sizeof one);
        memcpy(GlobalLock(block), &one, sizeof one);
    } else if (Has("cap=array")) {
        *conType = kOnArray;
        TwArrayHead head = {kTyUInt16, 3};
        block = GlobalAlloc(GMEM_MOVEABLE, sizeof head + sizeof types);
        uint8_t *p = (uint8_t *)GlobalLock(block);
        memcpy(p, &head, sizeof head);
        memcpy(p + sizeof head, types, sizeof types);
    } else {
        *conType = Has("cap=range") ? 6 : kOnEnumeration;
        TwEnumerationHead head = {(uint16_t)(Has("cap=uint32") ? 5 : kTyUInt16), Has("cap=empty") ? 0u : 3u, 1, 1};
        block = GlobalAlloc(GMEM_MOVEABLE, sizeof head + sizeof types);
        uint8_t *p = (uint8_t *)GlobalLock(block);
        memcpy(p, &head, sizeof head);
        memcpy(p + sizeof head, types, sizeof types);
    }
    GlobalUnlock(block);
    return block;
}

void LogContainer(const TwCapability *cap)
{
    uint8_t *p = (uint8_t *)GlobalLock((HGLOBAL)cap->container);
    char text[200] = "";
    if (cap->conType == kOnEnumeration) {
        TwEnumerationHead head;
        memcpy(&head, p, sizeof head);
        int n = snprintf(text, sizeof text, "enumeration current=%d default=%d:", (int)head.currentIndex,
                         (int)head.defaultIndex);
        for (uint32_t i = 0; i < head.numItems && n < 180; i++)
            n += snprintf(text + n, sizeof text - n, " %u", ((uint16_t *)(p + sizeof head))[i]);
    } else if (cap->conType == kOnArray) {
        TwArrayHead head;
        memcpy(&head, p, sizeof head);
        int n = snprintf(text, sizeof text, "array:");
        for (uint32_t i = 0; i < head.numItems && n < 180; i++)
            n += snprintf(text + n, sizeof text - n, " %u", ((uint16_t *)(p + sizeof head))[i]);
    }
    GlobalUnlock((HGLOBAL)cap->container);
    Log("SET %s", text);
}

uint16_t Control(TwIdentity *dest, uint16_t dat, uint16_t msg, void *data)
{
    switch (dat) {
    case kDatParent:
        if (msg == kMsgOpenDsm) {
            GetEnvironmentVariableA("OVRIN_FAKE_TWAIN", s_words, sizeof s_words);
            s_eventMessage = RegisterWindowMessageA("OvrinFakeTwainEvent");
            Log("OPENDSM");
            return Has("failopendsm") ? Fail(1) : (uint16_t)kRcSuccess;
        }
        Log("CLOSEDSM");
        return kRcSuccess;
    case kDatIdentity: {
        TwIdentity *id = (TwIdentity *)data;
        if (msg == kMsgUserSelect) {
            Log("USERSELECT");
            return Has("selectcancel") ? kRcCancel : kRcSuccess;
        }
        if (msg == kMsgOpenDs) {
            Log("OPENDS id=%u product=\"%s\"", id->id, id->productName);
            if (Has("failopends"))
                return Fail(3); // no data source
            id->id = 7;
            strcpy(id->productName, "Stand-in Scanner");
            return kRcSuccess;
        }
        Log("CLOSEDS");
        return kRcSuccess;
    }
    case kDatUserInterface: {
        TwUserInterface *ui = (TwUserInterface *)data;
        if (msg == kMsgEnableDs) {
            Log("ENABLEDS show=%d source=%u", ui->showUI, dest ? dest->id : 0);
            if (Has("failenable"))
                return Fail(9);
            s_parent = (HWND)ui->parent;
            s_showUI = ui->showUI;
            if (!Has("noevent"))
                PostMessageA(s_parent, s_eventMessage, Has("cancel") ? kMsgCloseDsReq : kMsgXferReady, 0);
            return kRcSuccess;
        }
        Log("DISABLEDS");
        return kRcSuccess;
    }
    case kDatEvent: {
        TwEvent *event = (TwEvent *)data;
        const MSG *m = (const MSG *)event->event;
        if (m->message != s_eventMessage || !s_eventMessage) {
            event->message = 0;
            return kRcNotDsEvent;
        }
        event->message = (uint16_t)m->wParam;
        Log("EVENT %s", event->message == kMsgXferReady ? "xferready" : "closedsreq");
        return kRcDsEvent;
    }
    case kDatPendingXfers:
        ((TwPendingXfers *)data)->count = 0;
        Log(msg == kMsgEndXfer ? "ENDXFER" : "RESET");
        return kRcSuccess;
    case kDatStatus:
        ((TwStatus *)data)->conditionCode = s_condition;
        Log("STATUS %s", dest ? "source" : "manager");
        return kRcSuccess;
    case kDatCapability: {
        TwCapability *cap = (TwCapability *)data;
        if (msg == kMsgGet) {
            Log("GET cap=%#x", cap->cap);
            cap->container = MakeContainer(&cap->conType);
            return kRcSuccess;
        }
        LogContainer(cap);
        return kRcSuccess;
    }
    default: return Fail(9);
    }
}

} // namespace

extern "C" __declspec(dllexport) uint16_t WINAPI DSM_Entry(TwIdentity *origin, TwIdentity *dest, uint32_t group,
                                                           uint16_t dat, uint16_t msg, void *data)
{
    if (!origin)
        return Fail(12);
    if (group == kDgImage && dat == kDatImageNativeXfer && msg == kMsgGet) {
        Log("NATIVEXFER");
        *(HGLOBAL *)data = MakePicture();
        return kRcXferDone;
    }
    if (group != kDgControl)
        return Fail(9);
    return Control(dest, dat, msg, data);
}
