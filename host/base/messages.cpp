#include "base/messages.h"
#include "ovrin.h"
#include "base/settings.h"
#include "base/msgbox.h"
#include "base/textutil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The built-in English texts; numbers 87 to 96 hold none.
static const char *const kMessageTable[kMessageCount] = {
    /*   0 */ "No region to apply",
    /*   1 */ "Selected no item",
    /*   2 */ "Ovrin don't support this screen mode",
    /*   3 */ "Can't regist edit-win class!",
    /*   4 */ "Can't create window",
    /*   5 */ "Can't regist main-win class!",
    /*   6 */ "Can't create main window",
    /*   7 */ "Not support yet!",
    /*   8 */ "Illegal depth!",
    /*   9 */ "Can't open new image",
    /*  10 */ "Not enough memory!!\n for header",
    /*  11 */ "Not enough memory!!\n for stock image",
    /*  12 */ "Can't create palette because out of memory",
    /*  13 */ "Not enough memory!! for edit1",
    /*  14 */ "Not enough\tmemory for work-area",
    /*  15 */ "Not enough\tmemory!! for mask",
    /*  16 */ "%s can't open!",
    /*  17 */ "Not supported format!",
    /*  18 */ "Can't get picture! Maybe loader Ver. is low.",
    /*  19 */ "Not enough memory\n undo buffer cleared",
    /*  20 */ "bad depth value",
    /*  21 */ "No image to save",
    /*  22 */ "Can't save",
    /*  23 */ "Image is changed.\nSave it?\n(If 'No',all image dispose)",
    /*  24 */ "Image %s is changed.\nSave it?",
    /*  25 */ "Can't open draw.pin",
    /*  26 */ "Can't open effect.pin",
    /*  27 */ "Can't open subwin.pin",
    /*  28 */ "Can't Open Clipboard",
    /*  29 */ "Can't Get Clipboard data\nMaybe it isn't Bitmap data",
    /*  30 */ "Can't allocate memory for clipboard",
    /*  31 */ "Can't Open Clipboard",
    /*  32 */ "Can't create working area!",
    /*  33 */ "Can't open menu file!",
    /*  34 */ "Illegal command name(%s)",
    /*  35 */ "Error in Menu-file",
    /*  36 */ "Strange internal status",
    /*  37 */ "%s:Can't load!",
    /*  38 */ "%s:Can't get GETPLUGININFO function!",
    /*  39 */ "%s:Can't get GETPICTURE function!",
    /*  40 */ "%s:Can't get ISSUPPORTED function!",
    /*  41 */ "%s:Can't load!(Draw)",
    /*  42 */ "%s:Can't get QZCGETDRAWINTERFACE function!",
    /*  43 */ "%s:Can't get QZCDOSELF function!",
    /*  44 */ "%s:Can't get QZCSETPOINT function!",
    /*  45 */ "%s:Can't get QZCDRAWGUIDELINE function!",
    /*  46 */ "%s:Can't get QZCDRAWIT function!",
    /*  47 */ "%s:Can't get QZCCANCELONE function!",
    /*  48 */ "%s:Can't load!(Effect)",
    /*  49 */ "%s:Can't get QZCEFFECT function!",
    /*  50 */ "%s:Can't load!(SubWin)",
    /*  51 */ "%s:Can't get SHOWDLG function!",
    /*  52 */ "Can't open keymap file",
    /*  53 */ "%s is error in keymap file",
    /*  54 */ "%s is not registed",
    /*  55 */ "Not Enough Memory",
    /*  56 */ "%s Can't load(FuncCol)",
    /*  57 */ "%s:Can't get QzcColorInfo function!",
    /*  58 */ "%s:Can't get QzcColorFunc!",
    /*  59 */ "%s:Can't get QzcReceiveMessage!",
    /*  60 */ "%s:Can't get QzcPostProcess!",
    /*  61 */ "%s:Can't get QzcGetDrawInfo!",
    /*  62 */ "Illegal combination--draw and color",
    /*  63 */ "Now macro recoding",
    /*  64 */ "macro file %s can't open",
    /*  65 */ "Now in effect mode!",
    /*  66 */ "Now in transform mode!",
    /*  67 */ "There is no image to display",
    /*  68 */ "This is source of transformimg.\nReally close?",
    /*  69 */ "%s:Can't get QzcStartTransform!",
    /*  70 */ "%s:Can't get QzcDragPoint!",
    /*  71 */ "%s:Can't get QzcDrawControlPoint!",
    /*  72 */ "%s:Can't get QzcTransforming!",
    /*  73 */ "Can't change drawing method.\nBecause it is locked",
    /*  74 */ "Can't open funccol.pin",
    /*  75 */ "ToolHint Can't create !",
    /*  76 */ "Timer can't set",
    /*  77 */ "Undefined save type",
    /*  78 */ "Can't process in view mode",
    /*  79 */ "Can't load delete plug-in(%s)",
    /*  80 */ "No draw-method using pen\n Can't use function color",
    /*  81 */ "Parameter %s is not installed",
    /*  82 */ "%s:Can't get import function from parameter plug-in!",
    /*  83 */ "%s Can't load(Layer)",
    /*  84 */ "%s:Can't get QzcGetBlendColor function!",
    /*  85 */ "Can't open layer.pin",
    /*  86 */ "Maintenance is completed after restarting Ovrin",
    /*  87 */ "",
    /*  88 */ "",
    /*  89 */ "",
    /*  90 */ "",
    /*  91 */ "",
    /*  92 */ "",
    /*  93 */ "",
    /*  94 */ "",
    /*  95 */ "",
    /*  96 */ "",
    /*  97 */ "Now in check mode.",
    /*  98 */ "Now in check mode.\nReally close?",
    /*  99 */ "Can't get Susie plugin directory.\nPlease tell me where is Susie plugins.",
    /* 100 */ "Susie plugin directory is not set.\nCan't install Susie plug-ins",
    /* 101 */ "Can't regist clip-win class!",
    /* 102 */ "Can't create clip-window",
    /* 103 */ "Can't create item-window",
    /* 104 */ "Can't open TWAIN device",
    /* 105 */ "Can't acquire from TWAIN device",
    /* 106 */ "Can't read MR2 format file",
    /* 107 */ "Can't write MR2 format file",
    /* 108 */ "MR2 file use unknown blend-type:%s",
};

static char *s_translations[kTranslationSlots];

static struct {
    bool on;
    int count;
    char text[kBatchBytes];
} s_batch;

static char s_format[kFormatBytes]; // shared formatting buffer; each call overwrites it

const char *PickLangText(const char *english, const char *translated)
{
    if (g_cfg.LANG != 0 && translated && translated[0])
        return translated;
    return english ? english : "";
}

static const char *EnglishText(int number)
{
    return number >= 0 && number < kMessageCount ? kMessageTable[number] : "";
}

static const char *TranslatedText(int number)
{
    return number >= 0 && number < kTranslationSlots ? s_translations[number] : NULL;
}

const char *MessageText(int number)
{
    return PickLangText(EnglishText(number), TranslatedText(number));
}

// The conversions of a format, as their letters ("s", "d", "" for none); "?" when the text holds
// anything but plain %s or %d conversions, or more than one.
static void Conversions(const char *text, char *out, size_t size)
{
    size_t n = 0;
    for (const char *p = text; *p; p++) {
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            p++;
            continue;
        }
        char kind = p[1] == 's' || p[1] == 'd' ? p[1] : '?';
        if (n + 1 < size)
            out[n++] = kind;
        if (!p[1])
            break;
        p++;
    }
    out[n] = 0;
    if (n > 1)
        snprintf(out, size, "?");
}

// The text used as a format for a message that takes an argument of the given kind: a translated
// text is used only when its conversions are exactly the English text's.
static const char *FormatText(int number, char kind)
{
    const char *english = EnglishText(number);
    const char *shown = MessageText(number);
    if (shown == english)
        return english;
    char a[8], b[8];
    Conversions(english, a, sizeof a);
    Conversions(shown, b, sizeof b);
    if (strcmp(a, b) != 0 || strchr(a, '?'))
        return english;
    (void)kind;
    return shown;
}

static const char *FormatWithText(int number, const char *text)
{
    const char *format = FormatText(number, 's');
    char conv[8];
    Conversions(format, conv, sizeof conv);
    if (strcmp(conv, "s") == 0)
        snprintf(s_format, sizeof s_format, format, text ? text : "");
    else if (strcmp(conv, "d") == 0)
        snprintf(s_format, sizeof s_format, format, text ? atoi(text) : 0);
    else
        snprintf(s_format, sizeof s_format, "%s", format);
    return s_format;
}

static const char *FormatWithValue(int number, int value)
{
    const char *format = FormatText(number, 'd');
    char conv[8];
    Conversions(format, conv, sizeof conv);
    if (strcmp(conv, "d") == 0)
        snprintf(s_format, sizeof s_format, format, value);
    else if (strcmp(conv, "s") == 0) {
        char digits[16];
        snprintf(digits, sizeof digits, "%d", value);
        snprintf(s_format, sizeof s_format, format, digits);
    } else
        snprintf(s_format, sizeof s_format, "%s", format);
    return s_format;
}

const char *FormatMessageText(int number, const char *text)
{
    return text ? FormatWithText(number, text) : MessageText(number);
}

static int ShowOrCollect(HWND owner, const char *text)
{
    if (s_batch.on) {
        CollectMessage(text);
        return IDOK;
    }
    return AppMessageBox(owner, text, "Error", MB_OK);
}

int ShowErrorMessage(HWND owner, int number)
{
    return ShowOrCollect(owner, MessageText(number));
}

int ShowErrorMessageArg(HWND owner, int number, const char *text)
{
    return ShowOrCollect(owner, FormatWithText(number, text));
}

int ShowErrorMessageArg(HWND owner, int number, int value)
{
    return ShowOrCollect(owner, FormatWithValue(number, value));
}

void ShowWarningMessage(HWND owner, int number)
{
    AppMessageBox(owner, MessageText(number), "Warning", MB_OK);
}

void ShowSysErrorMessage(HWND owner, int number)
{
    AppMessageBox(owner, MessageText(number), "SysError", MB_OK);
}

int ShowQuestionMessage(HWND owner, int number)
{
    return AppMessageBox(owner, MessageText(number), "?", MB_YESNOCANCEL);
}

int ShowQuestionMessageArg(HWND owner, int number, const char *text)
{
    return AppMessageBox(owner, FormatWithText(number, text), "?", MB_YESNOCANCEL);
}

void SetMessageBatching(bool on)
{
    s_batch.on = on;
}

bool IsMessageBatching()
{
    return s_batch.on;
}

void ResetMessageBatch()
{
    s_batch.count = 0;
    s_batch.text[0] = 0;
}

// Texts that no longer fit the batch buffer are dropped like those past the fiftieth.
void CollectMessage(const char *text)
{
    if (s_batch.count >= kBatchLimit)
        return;
    size_t used = strlen(s_batch.text);
    size_t need = (s_batch.count > 0 ? 1 : 0) + strlen(text);
    if (used + need + 1 > sizeof s_batch.text)
        return;
    if (s_batch.count > 0)
        s_batch.text[used++] = '\n';
    memcpy(s_batch.text + used, text, strlen(text) + 1);
    s_batch.count++;
}

int MessageBatchCount()
{
    return s_batch.count;
}

const char *MessageBatchText()
{
    return s_batch.text;
}

void SetMessageTranslation(int number, const char *text)
{
    if (number < 0 || number >= kTranslationSlots)
        return;
    free(s_translations[number]);
    s_translations[number] = text && text[0] ? strdup(text) : NULL;
}

void FreeMessageTranslations()
{
    for (int i = 0; i < kTranslationSlots; i++) {
        free(s_translations[i]);
        s_translations[i] = NULL;
    }
}

QZS_DECL(const char *) QzsGetStringLangMode(const char *text, const char *langText)
{
    return PickLangText(text, langText);
}

// Line k of "errmsg.<extension>" in the Stat directory translates message k.
int LoadMessageTranslations()
{
    char path[kPathBytes + kTextBytes + 16];
    snprintf(path, sizeof path, "%s\\errmsg.%s", g_cfg.Stat_dir, g_cfg.ExtensionOfDictionary);
    FILE *f = fopen(path, "r");
    if (!f)
        return 0;
    char line[1024], text[1024];
    for (int k = 0; k < kTranslationSlots && ReadTextLine(f, line, sizeof line); k++) {
        ResolveEscapes(line, text, sizeof text);
        SetMessageTranslation(k, text);
    }
    fclose(f);
    return 1;
}
