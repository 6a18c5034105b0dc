// Host services on image records.
#include "image/cdib.h"
#include "base/notify.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "base/app.h"
#include <string.h>

QZS_DECL(int) QzsCreateCDIB(int width, int height, int depth, CDIB *cdib)
{
    if (!cdib)
        return 1;
    return InitImageRecord(width, height, depth, cdib, 1, 1);
}

QZS_DECL(int) QzsCreateCDIBwithSYSDEPTH(int width, int height, CDIB *cdib)
{
    return QzsCreateCDIB(width, height, g_screenDepth, cdib);
}

QZS_DECL(int) QzsDisposeCDIB(CDIB *cdib)
{
    FreeImageData(cdib);
    return 1;
}

QZS_DECL(int) QzsGetCDIBinfo(CDIB *cdib, int *width, int *height, int *depth)
{
    return GetImageSize(cdib, width, height, depth);
}

QZS_DECL(CDIB *) QzsGetFirstImage(void)
{
    return g_firstImage;
}

QZS_DECL(int) QzsCreateNewImage(CDIB **image, int width, int height, int depth)
{
    CDIB *made = NULL;
    if (CreateImageRecord(&made, width, height, depth) == 0) {
        NotifyImageListChanged();
        made->path[0] = 0;
        QzsSetUntitle(made, 1);
    }
    if (image)
        *image = made;
    return 1;
}

QZS_DECL(int) QzsInitImage(CDIB *image, int mode, int alpha)
{
    FillImageBackground(image, mode, alpha);
    return 1;
}

QZS_DECL(int) QzsGetCurrentImageInfo(ImageWindow *window, int *width, int *height, int *depth)
{
    CDIB *image = window ? window->layerImage : NULL;
    if (!image && window && window->group)
        image = window->group->currentImage;
    if (!image) {
        GetImageSize(NULL, width, height, depth);
        return 0;
    }
    return GetImageSize(image, width, height, depth);
}

QZS_DECL(int) QzsCloseImage(void)
{
    return 0;
}
