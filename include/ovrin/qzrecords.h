/* Records that cross between the main program and its plug-ins, and the function types of the
 * plug-in entry points and callbacks. Every field that holds a pointer or a handle is pointer-sized,
 * so the layouts differ between the 32-bit and 64-bit builds; the sizes are checked at the end.
 * These records live in memory only: files are always written field by field. */
#ifndef OVRIN_QZRECORDS_H
#define OVRIN_QZRECORDS_H

#include "qzcall.h"
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CDIB CDIB;
typedef struct ImageGroup ImageGroup;
typedef struct LayerRecord LayerRecord;
typedef struct ImageWindow ImageWindow;
typedef struct UndoRecord UndoRecord;
typedef struct BorderPointBlock BorderPointBlock;
typedef struct ParameterPanel ParameterPanel;
typedef struct ParameterControl ParameterControl;
typedef struct ParameterTypeRecord ParameterTypeRecord;
typedef struct DirFileNode DirFileNode;
typedef struct ColorRecord ColorRecord;
typedef struct PenRecord PenRecord;

/* ---- callbacks and entry-point types (standard Windows convention) ---- */

/* Long operations call it with (done, total, 0); a nonzero result cancels. */
typedef int(QZCAPI *QzProgressProc)(int done, int total, int reserved);
/* Layer blend: lower and upper pixels (blue, green, red, alpha; the upper alpha already scaled by the
 * layer opacity), two values of the composer, the result pixel. */
typedef int(QZCAPI *BlendFunction)(const uint8_t *lower, const uint8_t *upper, int offset, int row, uint8_t *out);
/* Shade of one colour channel for a surface normal; the point is not read. */
typedef int(QZCAPI *LightingFunction)(int value, double nx, double ny, double nz, double px, double py, double pz);

/* draw */
typedef int(QZCAPI *QzcGetDrawInterfaceProc)(void);
typedef int(QZCAPI *QzcGetDrawInfoProc)(void);
typedef int(QZCAPI *QzcSetPointProc)(ImageWindow *window, int x, int y, int keys);
typedef int(QZCAPI *QzcDrawGuideLineProc)(ImageWindow *window, int x, int y, int show, int refresh, int keys);
typedef int(QZCAPI *QzcDrawItProc)(ImageWindow *window, int x, int y, int keys);
typedef int(QZCAPI *QzcCancelOneProc)(ImageWindow *window, int x, int y);
typedef int(QZCAPI *QzcDoselfProc)(void); /* bound and kept, never called */
typedef int(QZCAPI *QzcChangedParameterProc)(int index, const char *text);
/* sub-window */
typedef HWND(QZCAPI *QzcShowDlgProc)(HINSTANCE module, HWND owner, int x, int y);
typedef int(QZCAPI *QzcSubWinInfoProc)(void);
typedef int(QZCAPI *QzcChangeDrawProc)(int index);
typedef int(QZCAPI *QzcChangeColorProc)(int which, ColorRecord *color);
typedef int(QZCAPI *QzcChangePenProc)(INT_PTR source, PenRecord *pen);
typedef int(QZCAPI *QzcChangeImageProc)(ImageGroup *group, LayerRecord *layer, CDIB *image, int code);
typedef int(QZCAPI *QzcChangeImageListProc)(int zero);
typedef int(QZCAPI *QzcChangeImageGroupListProc)(int zero);
typedef int(QZCAPI *QzcChangeActiveRegionProc)(int bits);
typedef int(QZCAPI *QzcGetDirectoryProc)(INT_PTR a, INT_PTR b, DirFileNode *list);
typedef int(QZCAPI *QzcReceiveMessageProc)(int code, INT_PTR a, INT_PTR b);
typedef int(QZCAPI *QzcMakePenProc)(const char *code);
/* effect */
typedef int(QZCAPI *QzcEffectProc)(CDIB *image, uint32_t *dest, int left, int top, int right, int bottom, int mask,
                                   QzProgressProc progress);
/* transform */
typedef int(QZCAPI *QzcStartTransformProc)(ImageWindow *window, int left, int top, int right, int bottom);
typedef int(QZCAPI *QzcDragPointProc)(ImageWindow *window, int oldX, int oldY, int newX, int newY, int message,
                                      int index);
typedef int(QZCAPI *QzcDrawControlPointProc)(ImageWindow *window, int show, int refresh);
typedef int(QZCAPI *QzcTransformingProc)(ImageWindow *dest, CDIB *source, int left, int top, int right, int bottom,
                                         int mask);
/* functional colour */
typedef int(QZCAPI *QzcGetColorInfoProc)(void);
typedef int(QZCAPI *QzcColorFuncProc)(CDIB *image, int x, int y, int penColumn, int penRow, int *red, int *green,
                                      int *blue, int *alpha);
typedef int(QZCAPI *QzcColorReceiveMessageProc)(int code, int x, int y, int stamp, int extra);
typedef int(QZCAPI *QzcPostProcessProc)(ImageWindow *window, int x0, int y0, int x1, int y1, int mode);
/* extension command */
typedef int(QZCAPI *QzcExtCommandProc)(INT_PTR unused, void *args, void *result);
/* parameter */
typedef int(QZCAPI *QzcCreateParameterInfoProc)(ParameterPanel *panel, ParameterControl *control, const char *rest);
typedef int(QZCAPI *QzcCreateParameterControlProc)(ParameterPanel *panel, ParameterControl *control,
                                                   HINSTANCE instance, HWND parent, int x, int y, int id);
typedef LRESULT(QZCAPI *QzcSendMessageProc)(ParameterPanel *panel, ParameterControl *control, HWND window,
                                            UINT message, WPARAM wParam, LPARAM lParam);
/* The value text into the host's buffer of 1024 bytes: at most 1023 characters and the NUL. */
typedef int(QZCAPI *QzcGetValueProc)(ParameterControl *control, char *buffer);
typedef int(QZCAPI *QzcSetValueProc)(ParameterControl *control, const char *text);
typedef int(QZCAPI *QzcChangeValueProc)(void); /* must exist, never called */
typedef int(QZCAPI *QzcDisposeParameterControlProc)(ParameterPanel *panel, ParameterControl *control);
/* layer blend: QzcGetBlendColor has the BlendFunction form */
/* file save (these modules link against nothing of the main program) */
typedef int(QZCAPI *GetAddinInfoProc)(int n, char *buffer, int length);
typedef int(QZCAPI *SupportImageProc)(void);
typedef int(QZCAPI *WritePictureProc)(const char *path, int reserved, BITMAPINFOHEADER *info, void *bits,
                                      QzProgressProc progress, int optionCount, char **options);

/* ---- images ---- */

#define QZ_HEADER_BLOCK_SIZE 1064 /* BITMAPINFOHEADER and 256 colour-table entries */
#define QZ_BORDER_BLOCK_POINTS 1000

/* One region of an image: bits 1, 2 and 4 of the mask each have a slot. */
typedef struct RegionSlot {
    int32_t state; /* 0 none, 1 bounds to be tightened, 2 exact */
    int32_t left, top, right, bottom; /* group coordinates, inclusive; -1 when empty */
    int32_t pointCount, nextIndex;
    BorderPointBlock *lastBlock, *firstBlock;
} RegionSlot;

struct BorderPointBlock {
    BorderPointBlock *next;
    int32_t x[QZ_BORDER_BLOCK_POINTS];
    int32_t y[QZ_BORDER_BLOCK_POINTS];
};

/* A picture: a device-independent bitmap and the program's bookkeeping around it. A 32-bit store
 * holds width x height pixels (blue, green, red, alpha) with row 0 at the top; stores of the other
 * depths are packed DIB rows, bottom-up, padded to 4 bytes. */
struct CDIB {
    BITMAPINFO *header; /* QZ_HEADER_BLOCK_SIZE bytes; for a packed image the locked packed header */
    void *pixels;       /* for a packed image the locked packed bits */
    int32_t zoom;
    int32_t viewX, viewY;
    int32_t editDepth; /* 32 when the record owns a 32-bit store; below 32 marks a view-only image */
    int32_t modified;
    int32_t untitledNumber;
    char name[256];
    char path[256];
    UndoRecord *undoFirst, *undoLast, *undoCurrent;
    CDIB *next;
    uint8_t *mask;
    RegionSlot slots[3];
    INT_PTR undoBytes;
    HGLOBAL packedHeader, packedBits;
    char format[8];
    uint8_t background[4]; /* blue, green, red, alpha */
};

/* ---- groups and layers ---- */

struct LayerRecord {
    CDIB *image;
    int32_t x, y;          /* origin over the base; may be negative */
    int32_t right, bottom; /* inclusive edges inside the base */
    int32_t width, height;
    int32_t status;  /* 1 shown, 0 hidden */
    int32_t opacity; /* 0..255 */
    int32_t blend;   /* 0 normal; m >= 1 the layer-blend plug-in of row m - 1 */
    LayerRecord *next; /* the layer above */
};

struct ImageGroup {
    CDIB *base;
    int32_t baseStatus;
    LayerRecord *firstLayer; /* bottom layer */
    CDIB *currentImage;
    LayerRecord *currentLayer; /* NULL when the base is current */
    char name[256];
    ImageGroup *next;
    int32_t layerX, layerY;     /* origin of the current layer */
    int32_t clampedX, clampedY; /* the same, negatives raised to 0 */
    int32_t right, bottom;      /* inclusive edges of the current layer inside the base */
    int32_t layerCounter;
    UndoRecord *regionUndoFirst, *regionUndoLast, *regionUndoCurrent;
    INT_PTR regionUndoBytes;
    INT_PTR regionUndoSpare;
};

/* ---- colours and the pen ---- */

/* Fifteen 32-bit words. */
struct ColorRecord {
    int32_t red, green, blue;
    int32_t function;   /* functional colour row + 1; 0 none */
    int32_t opacity;    /* low byte */
    int32_t regionBits; /* 1, 2, 4 */
    int32_t regionMode; /* 0 off, 1 OR, 2 AND, 3 XOR */
    int32_t drawFlags;
    int32_t reserved[7];
};

struct PenRecord {
    int32_t side; /* the matrices are side x side, row-major */
    int32_t hotX, hotY;
    int32_t left, top, right, bottom; /* box of the cells with nonzero weight */
    int32_t softEdge;
    uint32_t *weights;       /* 0..255 */
    uint32_t *colorIndexes;  /* colour record per cell; 0 the drawing colour */
    uint32_t *work;          /* filled by QzsGetColorInPen */
    uint16_t *shortWork;
    uint32_t *outline;       /* 1 on outline cells */
};

/* ---- image windows ---- */

struct ImageWindow {
    CDIB display; /* at screen depth; its zoom and view fields are the window's zoom and view origin */
    HWND window;
    HWND statusWindow;
    HMENU menu;
    CDIB *layerImage; /* the image drawing goes to (base or layer) */
    int32_t contentWidth, contentHeight;
    int32_t contentLeft, contentTop;
    uint8_t *editMask;
    uint32_t *drawBuffer;
    uint8_t *coverage;
    int32_t displayWidth, displayHeight;
    int32_t displayPitch;
    int32_t marginX, marginY;
    int32_t clientWidth, clientHeight;
    int32_t visibleColumns, visibleRows;
    int32_t shownWidth, shownHeight;
    int32_t maxWidth, maxHeight;
    int32_t frameWidth, frameHeight;
    int32_t recompose;
    int32_t dither;
    int32_t maskDisplay;
    int32_t regionDisplayMode; /* 1 black, 2 half colour, 3 tone, 4 animated contour */
    uint32_t activeRegion;
    ImageWindow *next;
    ImageGroup *group;
    int32_t grid;
    int32_t statusOffsetX, statusOffsetY;
    int32_t lock; /* locked or view-only: the left button draws nothing */
    int32_t layerFrameMode;
    int32_t redrawPending;
};

/* ---- shell records ---- */

/* A tool-bar button, also drawn for sub-window plug-ins by QzsDrawButton. */
typedef struct ToolButton {
    int32_t left, top, right, bottom;
    int32_t kind; /* 1 draw method, 2 sub-window, 10 command */
    int32_t id;
    HBITMAP bitmap;
    int32_t pressed;
    int32_t visible;
    struct ToolButton *next;
} ToolButton;

struct DirFileNode {
    char *name;
    DirFileNode *next;
    int32_t reserved;
    int32_t directory; /* 1 directory, 0 file */
};

typedef struct QzPoint {
    int32_t x, y;
} QzPoint;

typedef struct PointGroup {
    int32_t count;
    INT_PTR owner[2]; /* free for the caller */
    QzPoint *points;
} PointGroup;

/* ---- plug-in table rows that services hand out ---- */

#define QZ_NAME_LEN 80
#define QZ_TRANSLATED_LEN 40
#define QZ_FILE_LEN 256

typedef struct DrawPluginRecord {
    HMODULE module;
    int32_t interaction; /* -1 in an empty row */
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    int32_t info;
    HBITMAP bitmap;
    HCURSOR cursor;
    QzcDrawGuideLineProc QzcGuideLineBeforeDraw;
    QzcDoselfProc QzcDoself;
    QzcSetPointProc QzcSetPoint;
    QzcDrawGuideLineProc QzcDrawGuideLine;
    QzcDrawItProc QzcDrawIt;
    QzcCancelOneProc QzcCancelOne;
    QzcChangedParameterProc QzcChangedParameter;
} DrawPluginRecord;

typedef struct ColorFunctionRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    int32_t info;
    HBITMAP bitmap;
    QzcColorFuncProc QzcColorFunc;
    QzcColorReceiveMessageProc QzcReceiveMessage;
    QzcPostProcessProc QzcPostProcess;
    QzcChangedParameterProc QzcChangedParameter;
} ColorFunctionRecord;

typedef struct LayerBlendRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char translated[QZ_TRANSLATED_LEN];
    char file[QZ_FILE_LEN];
    BlendFunction QzcGetBlendColor;
} LayerBlendRecord;

struct ParameterTypeRecord {
    HMODULE module;
    char name[QZ_NAME_LEN];
    char file[QZ_FILE_LEN];
    QzcCreateParameterInfoProc QzcCreateParameterInfo;
    QzcCreateParameterControlProc QzcCreateParameterControl;
    QzcSendMessageProc QzcSendMessage;
    QzcGetValueProc QzcGetValue;
    QzcSetValueProc QzcSetValue;
    QzcChangeValueProc QzcChangeValue;
    QzcDisposeParameterControlProc QzcDisposeParameterControl;
};

/* ---- parameter panels ---- */

struct ParameterPanel {
    int32_t left, top;
    int32_t outerWidth, outerHeight;
    int32_t fileWidth, fileHeight;
    int32_t innerWidth, innerHeight;
    int32_t marginX, marginY;
    char name[256];
    ParameterControl *first, *last;
};

#define QZ_COMMENT_LEN 260

struct ParameterControl {
    INT_PTR reserved0;
    ParameterTypeRecord *type;
    HWND window;
    HWND *extraWindows;
    int32_t extraCount;
    char comment[QZ_COMMENT_LEN];
    int32_t x, y;
    int32_t labelX, labelY;
    INT_PTR reserved1[2];
    int32_t left, top, right, bottom; /* mouse area; left -1 for none */
    INT_PTR words[16];                /* free for the plug-in */
    ParameterControl *next;
};

/* ---- extension command records (resize) ---- */

/* The module reads every second word: width, height, method, keep-aspect, source image. */
typedef struct ExtCommandArgs {
    INT_PTR tag0;
    INT_PTR width;
    INT_PTR tag1;
    INT_PTR height;
    INT_PTR tag2;
    INT_PTR method; /* 0 nearest, 1 bilinear, 2 area average, 3 bicubic */
    INT_PTR tag3;
    INT_PTR keepAspect;
    INT_PTR tag4;
    CDIB *source;
} ExtCommandArgs;

typedef struct ExtCommandResult {
    INT_PTR tag;
    CDIB *image; /* made by the module; the caller owns it */
} ExtCommandResult;

/* ---- layout checks for both targets ---- */

#define QZ_PTR ((int)sizeof(void *))
QZ_STATIC_ASSERT(sizeof(ColorRecord) == 60, "ColorRecord is fifteen 32-bit words");
QZ_STATIC_ASSERT(sizeof(QzPoint) == 8, "QzPoint is two 32-bit words");
QZ_STATIC_ASSERT(sizeof(RegionSlot) == (QZ_PTR == 4 ? 36 : 48), "RegionSlot layout");
QZ_STATIC_ASSERT(sizeof(CDIB) == (QZ_PTR == 4 ? 696 : 776), "CDIB layout");
QZ_STATIC_ASSERT(offsetof(CDIB, name) == (QZ_PTR == 4 ? 32 : 40), "CDIB name offset");
QZ_STATIC_ASSERT(offsetof(CDIB, undoFirst) == (QZ_PTR == 4 ? 544 : 552), "CDIB undo chain offset");
QZ_STATIC_ASSERT(offsetof(CDIB, background) == (QZ_PTR == 4 ? 692 : 768), "CDIB background offset");
QZ_STATIC_ASSERT(sizeof(LayerRecord) == (QZ_PTR == 4 ? 44 : 56), "LayerRecord layout");
QZ_STATIC_ASSERT(sizeof(ImageGroup) == (QZ_PTR == 4 ? 328 : 376), "ImageGroup layout");
QZ_STATIC_ASSERT(sizeof(PenRecord) == (QZ_PTR == 4 ? 52 : 72), "PenRecord layout");
QZ_STATIC_ASSERT(sizeof(ImageWindow) == (QZ_PTR == 4 ? 852 : 968), "ImageWindow layout");
QZ_STATIC_ASSERT(offsetof(ImageWindow, window) == sizeof(CDIB), "ImageWindow begins with its display");
QZ_STATIC_ASSERT(sizeof(ToolButton) == (QZ_PTR == 4 ? 40 : 48), "ToolButton layout");
QZ_STATIC_ASSERT(sizeof(DirFileNode) == (QZ_PTR == 4 ? 16 : 24), "DirFileNode layout");
QZ_STATIC_ASSERT(sizeof(PointGroup) == (QZ_PTR == 4 ? 16 : 32), "PointGroup layout");
QZ_STATIC_ASSERT(sizeof(DrawPluginRecord) == (QZ_PTR == 4 ? 424 : 464), "DrawPluginRecord layout");
QZ_STATIC_ASSERT(sizeof(ColorFunctionRecord) == (QZ_PTR == 4 ? 404 : 432), "ColorFunctionRecord layout");
QZ_STATIC_ASSERT(sizeof(LayerBlendRecord) == (QZ_PTR == 4 ? 384 : 392), "LayerBlendRecord layout");
QZ_STATIC_ASSERT(sizeof(ParameterTypeRecord) == (QZ_PTR == 4 ? 368 : 400), "ParameterTypeRecord layout");
QZ_STATIC_ASSERT(sizeof(ParameterPanel) == (QZ_PTR == 4 ? 304 : 312), "ParameterPanel layout");
QZ_STATIC_ASSERT(sizeof(ParameterControl) == (QZ_PTR == 4 ? 388 : 480), "ParameterControl layout");
QZ_STATIC_ASSERT(offsetof(ParameterControl, comment) == (QZ_PTR == 4 ? 20 : 36), "ParameterControl comment offset");
QZ_STATIC_ASSERT(offsetof(ParameterControl, words) == (QZ_PTR == 4 ? 320 : 344), "ParameterControl words offset");
QZ_STATIC_ASSERT(sizeof(ExtCommandArgs) == 10 * QZ_PTR, "ExtCommandArgs is ten words");
QZ_STATIC_ASSERT(sizeof(ExtCommandResult) == 2 * QZ_PTR, "ExtCommandResult is two words");
#undef QZ_PTR

#ifdef __cplusplus
}
#endif

#endif
