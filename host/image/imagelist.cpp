#include "image/imagelist.h"
#include "base/notify.h"
#include "image/current.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/regions.h"
#include "base/app.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/msgbox.h"
#include "base/sysinfo.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

CDIB *g_firstImage, *g_lastImage, *g_currentImage;

static int s_untitledCounter = 1;
enum QuitAnswer { kAskEach, kSaveAll, kDiscardAll };
static QuitAnswer s_quitAnswer = kAskEach;
static bool s_quitting;

struct DeletedNode {
    CDIB *image;
    DeletedNode *next;
};
static DeletedNode *s_deletedFirst;

void AppendImage(CDIB *image)
{
    image->next = NULL;
    if (g_lastImage)
        g_lastImage->next = image;
    else
        g_firstImage = image;
    g_lastImage = image;
    g_currentImage = image;
}

CDIB *FindPreviousImage(const CDIB *image)
{
    for (CDIB *p = g_firstImage; p; p = p->next)
        if (p->next == image)
            return p;
    return NULL;
}

bool IsImageListed(const CDIB *image)
{
    for (CDIB *p = g_firstImage; p; p = p->next)
        if (p == image)
            return true;
    return false;
}

void UnlinkImage(CDIB *image)
{
    if (!IsImageListed(image))
        return;
    CDIB *previous = FindPreviousImage(image);
    if (previous)
        previous->next = image->next;
    else
        g_firstImage = image->next;
    if (g_lastImage == image)
        g_lastImage = previous;
    // Nothing may keep pointing at a freed image.
    if (g_currentImage == image)
        g_currentImage = g_currentGroup ? g_currentGroup->currentImage : NULL;
    if (g_currentImage == image)
        g_currentImage = NULL;
    image->next = NULL;
}

int NextUntitledNumber()
{
    return s_untitledCounter;
}

QZS_DECL(int) QzsSetUntitle(CDIB *image, int modified)
{
    if (!image)
        return 0;
    snprintf(image->name, sizeof image->name, "[[Untitled]]:%d", s_untitledCounter);
    image->untitledNumber = s_untitledCounter;
    image->modified = modified;
    s_untitledCounter++;
    return 1;
}

int CreateImageRecord(CDIB **out, int width, int height, int depth)
{
    *out = NULL;
    MEMORYSTATUS status;
    QueryMemoryStatus(&status);
    unsigned rate = g_cfg.KeepFreeAreaRate > 0 ? (unsigned)g_cfg.KeepFreeAreaRate : 1;
    if (status.dwAvailPageFile / rate < status.dwTotalPageFile / 100) {
        ShowErrorMessage(g_mainWindow, 55);
        return 1;
    }
    CDIB *image = (CDIB *)calloc(1, sizeof(CDIB));
    int failed = !image;
    if (image)
        failed = InitImageRecord(width, height, depth, image, 1, depth == 32);
    if (failed) {
        free(image);
        ShowErrorMessage(g_mainWindow, 9);
        return 1;
    }
    AppendImage(image);
    *out = image;
    return 0;
}

void ForgetQuitAnswer()
{
    s_quitAnswer = kAskEach;
    s_quitting = false;
}

void SetQuitInProgress(bool on)
{
    s_quitting = on;
}

bool IsQuitInProgress()
{
    return s_quitting;
}

// Asks what to do with a changed image. Returns false when the close is refused.
static bool ResolveChangedImage(ImageGroup *group, CDIB *image, int quitting)
{
    if (quitting && g_cfg.CloseAllImageWhenQuit && s_quitAnswer == kAskEach) {
        int answer = ShowQuestionMessage(g_mainWindow, 23);
        if (answer == IDCANCEL)
            return false;
        s_quitAnswer = answer == IDYES ? kSaveAll : kDiscardAll;
    }
    if (s_quitAnswer == kDiscardAll)
        return true;
    bool save = s_quitAnswer == kSaveAll;
    s_quitAnswer = s_quitAnswer == kSaveAll ? kAskEach : s_quitAnswer;
    if (!save) {
        int answer = ShowQuestionMessageArg(g_mainWindow, 24, image->name);
        if (answer == IDCANCEL)
            return false;
        save = answer == IDYES;
    }
    // A save that fails or is cancelled keeps the image, as Cancel would.
    if (save && !AskSaveGroup(group ? group : FindGroupOfImage(image)))
        return false;
    return true;
}

CDIB *CloseImageWithPrompt(ImageGroup *group, CDIB *image, int quitting)
{
    if (!image)
        return NULL;
    if (AskTransformMode() && !quitting && AskTransformSource() == image) {
        if (ShowQuestionMessage(g_mainWindow, 68) != IDYES)
            return image;
        AskCancelTransform(g_currentWindow);
    }
    if (AskCheckMode() && group && group == g_firstGroup && !group->next && image == group->base) {
        if (ShowQuestionMessage(g_mainWindow, 98) != IDYES)
            return image;
        AskEndCheckMode(g_currentWindow);
    }
    if (image->modified && !ResolveChangedImage(group, image, quitting))
        return image;
    UnlinkImage(image);
    NotifyStopBorderAnimation();
    FreeImageData(image);
    NotifyImageListChanged();
    free(image);
    return g_firstImage;
}

void QueueDeletedImage(CDIB *image)
{
    DeletedNode *node = (DeletedNode *)calloc(1, sizeof(DeletedNode));
    if (!node)
        return;
    node->image = image;
    DeletedNode **tail = &s_deletedFirst;
    while (*tail)
        tail = &(*tail)->next;
    *tail = node;
}

bool IsImageQueued(const CDIB *image)
{
    for (DeletedNode *n = s_deletedFirst; n; n = n->next)
        if (n->image == image)
            return true;
    return false;
}

void ForgetDeletedImages()
{
    while (s_deletedFirst) {
        DeletedNode *node = s_deletedFirst;
        s_deletedFirst = node->next;
        free(node);
    }
}

void ReleaseDeletedImages()
{
    while (s_deletedFirst) {
        DeletedNode *node = s_deletedFirst;
        s_deletedFirst = node->next;
        CloseImageWithPrompt(NULL, node->image, s_quitting ? 1 : 0);
        free(node);
    }
}

void ShowImageInfo(const ImageWindow *window)
{
    char text[1024];
    const CDIB *base = window && window->group ? window->group->base : NULL;
    if (!base)
        snprintf(text, sizeof text, "*** No image ***");
    else {
        int w, h, d;
        GetImageSize(base, &w, &h, &d);
        char format[sizeof base->format + 1];
        memcpy(format, base->format, sizeof base->format);
        format[sizeof base->format] = 0;
        snprintf(text, sizeof text, "%s\n(%d,%d)*%d\n\nFilePath=%s\nFormat=%s", base->name, w, h, d, base->path, format);
    }
    AppMessageBox(g_mainWindow, text, "Image info.", MB_OK);
}
