/* Host services: the functions the main program exports to plug-ins (C calling convention).
 * Coordinates are group coordinates unless a service says layer coordinates. */
#ifndef OVRIN_QZSERVICES_H
#define OVRIN_QZSERVICES_H

#include "qzrecords.h"

/* images */
QZS_DECL(int) QzsCreateCDIB(int width, int height, int depth, CDIB *cdib); /* 0 ok, 1 failure */
QZS_DECL(int) QzsCreateCDIBwithSYSDEPTH(int width, int height, CDIB *cdib);
QZS_DECL(int) QzsDisposeCDIB(CDIB *cdib);
QZS_DECL(int) QzsDrawCDIB(HWND window, CDIB *cdib, int x, int y);
QZS_DECL(int) QzsGetCDIBinfo(CDIB *cdib, int *width, int *height, int *depth);
QZS_DECL(CDIB *) QzsGetFirstImage(void);
QZS_DECL(int) QzsCreateNewImage(CDIB **image, int width, int height, int depth); /* always 1 */
QZS_DECL(int) QzsSetNewImage(CDIB *image);
QZS_DECL(int) QzsInitImage(CDIB *image, int mode, int alpha);
QZS_DECL(int) QzsGetCurrentImageInfo(ImageWindow *window, int *width, int *height, int *depth);
QZS_DECL(int) QzsSetUntitle(CDIB *image, int modified);
QZS_DECL(int) QzsSetCDIB(CDIB *image);
QZS_DECL(int) QzsSetDIBImage(BITMAPINFO *dib, int flag);
QZS_DECL(int) QzsReplaceWinImage(ImageWindow *window, CDIB *image, int keepUndo);
QZS_DECL(int) QzsSetImage(CDIB *image);
QZS_DECL(int) QzsSetImageGroup(ImageGroup *group);
QZS_DECL(int) QzsUpdateImageWindow(ImageWindow *window, int x0, int y0, int x1, int y1);
QZS_DECL(int) QzsUpdateImageWindowEx(ImageWindow *window, int x0, int y0, int x1, int y1, int now);
QZS_DECL(int) QzsCloseImage(void);

/* groups and layers */
QZS_DECL(ImageGroup *) QzsGetFirstImageGroup(void);
QZS_DECL(ImageGroup *) QzsGetNthImageGroup(int n);
QZS_DECL(ImageGroup *) QzsGetImageParameter(const char *text, int *isRegion, int *x0, int *y0, int *x1, int *y1);
QZS_DECL(int) QzsCloseMDIB(ImageGroup *group);
QZS_DECL(int) QzsSetLayerOrg(ImageGroup *group, int x, int y, int redraw);
QZS_DECL(int) QzsSetLayerOrgEx(ImageGroup *group, LayerRecord *layer, int x, int y, int redraw);
QZS_DECL(int) QzsGetLayerSize(ImageWindow *window, int *left, int *top, int *right, int *bottom, int any);
QZS_DECL(int) QzsGetLayerSizeEx(ImageGroup *group, LayerRecord *layer, int *left, int *top, int *right, int *bottom);
QZS_DECL(LayerRecord *) QzsInsertNewLayer(ImageGroup *group, CDIB *image, int x, int y, int status, int opacity,
                                          int redraw);
QZS_DECL(int) QzsInsertLayer(ImageWindow *window, int mode, int alpha);
QZS_DECL(int) QzsSetCurrentInImageGroup(ImageGroup *group, LayerRecord *layer);
QZS_DECL(int) QzsGetLayerStatus(ImageGroup *group, LayerRecord *layer);
QZS_DECL(int) QzsChangeLayerStatus(ImageGroup *group, LayerRecord *layer, int status, int redraw);
QZS_DECL(int) QzsChangeLayerOpacity(ImageGroup *group, LayerRecord *layer, int opacity, int redraw);
QZS_DECL(int) QzsDeleteLayer(ImageGroup *group, LayerRecord *layer, int redraw);
QZS_DECL(LayerRecord *) QzsGetNextLayer(ImageGroup *group, LayerRecord *layer);
QZS_DECL(int) QzsMoveLayer(ImageGroup *group, LayerRecord *layer, LayerRecord *after);
QZS_DECL(int) QzsSetLayerBlendMode(ImageGroup *group, LayerRecord *layer, int mode);
QZS_DECL(LayerBlendRecord *) QzsGetColorBlendMode(int index);

/* colours */
QZS_DECL(ColorRecord *) QzsGetColor(int which);
QZS_DECL(int) QzsSetColorRGB(int which, int red, int green, int blue);
QZS_DECL(int) QzsSetColorOpacity(int which, int opacity);
QZS_DECL(int) QzsSetRegion(int bits, int mode);
QZS_DECL(int) QzsSetColorFunction(int which, int index);
QZS_DECL(ColorFunctionRecord *) QzsGetFunctionalColor(int row);
QZS_DECL(int) QzsLockColor(HWND owner, int on);
QZS_DECL(int) QzsCheckLockColor(void);
QZS_DECL(void *) QzsPushColor(int which);
QZS_DECL(int) QzsPopColor(void *handle);
QZS_DECL(int) QzsSpoitColor(ImageWindow *window, int x, int y, int keys);

/* pixel access (layer coordinates unless named Global) */
QZS_DECL(uint8_t *) QzsStartOnImage(CDIB *image);
QZS_DECL(uint8_t *) QzsStartOnImageMDIB(ImageGroup *group, CDIB *image);
QZS_DECL(int) QzsGetColorOnImage(CDIB *image, int x, int y, uint32_t *color);
QZS_DECL(int) QzsGetColorOnImageGlobal(ImageWindow *window, int x, int y, uint32_t *color);
QZS_DECL(void) QzsGetMaskOnImage(CDIB *image, int x, int y, uint8_t *mask);
QZS_DECL(int) QzsSetColorOnImage(CDIB *image, uint32_t *dest, int x, int y, const uint32_t *color, int bits,
                                 int useAlpha);
QZS_DECL(int) QzsSetColorOnEdtWin(ImageWindow *window, int x, int y, const uint32_t *color);
QZS_DECL(int) QzsCheckInRegion(int maskByte, int x, int y, int bits);
QZS_DECL(int) QzsLinearInterpolate(CDIB *image, double x, double y, uint8_t *color, uint8_t *mask);
QZS_DECL(int) QzsLinearInterpolateGlobal(ImageWindow *window, double x, double y, uint8_t *color, uint8_t *mask);
QZS_DECL(uint32_t *) QzsGetColorInPen(int x, int y);
QZS_DECL(uint8_t *) QzsSetDrawFlag(ImageWindow *window, int x, int y, int on);
QZS_DECL(int) QzsGetMask(ImageWindow *window, int x, int y);

/* pens and painting */
QZS_DECL(PenRecord *) QzsGetPen(void);
QZS_DECL(int) QzsCreatePen(int n);
QZS_DECL(int) QzsSetPen(INT_PTR value);
QZS_DECL(int) QzsCreatePenShape(HWND window, const char *code);
QZS_DECL(int) QzsWritePen(ImageWindow *window, int x, int y, int redraw);
QZS_DECL(int) QzsStartPset(ImageWindow *window, int x, int y);
QZS_DECL(void) QzsPSet(ImageWindow *window, int x, int y, int which);
QZS_DECL(int) QzsSetColorWithPset(ImageWindow *window, int x, int y, ColorRecord *color, int bits);
QZS_DECL(int) QzsSetColorWithPsetEx(int mode, ImageWindow *window, int x, int y, ColorRecord *color, int bits);
QZS_DECL(uint32_t) QzsGetDisplayColor(ImageGroup *group, int x, int y, uint32_t *color);
QZS_DECL(int) QzsEndNoUpdateDraw(void);

/* primitives */
QZS_DECL(int) QzsEorPoint(ImageWindow *window, int x, int y, int mode);
QZS_DECL(int) QzsEorLine(ImageWindow *window, int x1, int y1, int x2, int y2, int mode, int redraw);
QZS_DECL(int) QzsEorBox(ImageWindow *window, int x1, int y1, int x2, int y2, int mode, int redraw);
QZS_DECL(int) QzsDrawLine(ImageWindow *window, int x1, int y1, int x2, int y2, int redraw);
QZS_DECL(int) QzsDrawBox(ImageWindow *window, int x1, int y1, int x2, int y2, int redraw);
QZS_DECL(int) QzsFillPolygon(ImageWindow *window);

/* regions */
QZS_DECL(int) QzsGetRegionArea(ImageGroup *group, LayerRecord *clip, int *left, int *top, int *right, int *bottom,
                               int bits);
QZS_DECL(int) QzsClearRegion(int bits);
QZS_DECL(int) QzsProcessAllRegion(int bits, int mode, int whole);
QZS_DECL(int) QzsMoveRegion(int bits, int dx, int dy);
QZS_DECL(void) QzsSetActiveRegion(int bits);

/* display writers, colour models, solver, lighting */
QZS_DECL(int) QzsStartDither(int x, int y, int width, int height);
QZS_DECL(int) QzsSetDitherColor(CDIB *image, int x, int y, const uint8_t *color);
QZS_DECL(void) QzsRGBtoHSV(int red, int green, int blue, int *hue, int *saturation, int *value);
QZS_DECL(void) QzsHSVtoRGB(int hue, int saturation, int value, int *red, int *green, int *blue);
QZS_DECL(int) QzsSolveSystemOfLinearEquations(int n, const double *a, const double *b, double *x);
QZS_DECL(LightingFunction) QzsGetLightingSub(void);

/* shell */
QZS_DECL(QzcExtCommandProc) QzsGetCommandProc(const char *name);
QZS_DECL(int) QzsGetAppDirectory(int kind, char *out); /* out holds at least 512 bytes */
QZS_DECL(const char *) QzsGetStringLangMode(const char *text, const char *langText);
QZS_DECL(int) QzsGetToken(const char *line, int start, char *token); /* token holds at least 256 bytes */
QZS_DECL(int) QzsRegisterKeyCommand(INT_PTR owner, const char *name, int param);
QZS_DECL(int) QzsCheckTablet(void);
QZS_DECL(int) QzsStatMessage(ImageWindow *window, const char *text);
QZS_DECL(int) QzsDispStatXY(ImageWindow *window, int x, int y);
QZS_DECL(int) QzsDispStat2Points(ImageWindow *window, int x1, int y1, int x2, int y2);
QZS_DECL(HCURSOR) QzsGetCursor(int kind);
QZS_DECL(int) QzsAdjustClientRegion(HWND window, int cx, int cy);
QZS_DECL(ImageWindow *) QzsGetCurrentWindow(void);
QZS_DECL(CDIB *) QzsGetImageOnWindow(ImageWindow *window);
QZS_DECL(CDIB *) QzsGetCurrentLayer(ImageWindow *window);
QZS_DECL(int) QzsGetActiveRegion(ImageWindow *window);
QZS_DECL(int) QzsSetWindowZoom(ImageWindow *window, int zoom, int setOrg, int x, int y);
QZS_DECL(int) QzsSetWindowOrg(ImageWindow *window, int x, int y);
QZS_DECL(int) QzsDrawButton(HWND window, ToolButton *button);
QZS_DECL(int) QzsSetBackColorInBitmap(HBITMAP bitmap);
QZS_DECL(char *) QzsSetProgressMessage(const char *text);
QZS_DECL(int) QzsProgressWindow(int done, int total);
QZS_DECL(int) QzsCloseProgressWindow(void);
QZS_DECL(DirFileNode *) QzsGetNextFileList(DirFileNode *node);
QZS_DECL(DirFileNode *) QzsGetImageInFileList(void);

/* plug-in host */
QZS_DECL(int) QzsHideDlg(HWND window);
QZS_DECL(int) QzsDefSubWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
QZS_DECL(int) QzsSetDrawByID(int index);
QZS_DECL(int) QzsSetDrawByName(const char *name);
QZS_DECL(void) QzsLockDraw(HWND owner, int on);
QZS_DECL(int) QzsCheckLockDraw(void);
QZS_DECL(void *) QzsPushDraw(void);
QZS_DECL(int) QzsPopDraw(void *handle);
QZS_DECL(DrawPluginRecord *) QzsGetDrawInfo(int index);
QZS_DECL(int) QzsGetRowMousePos(int *x, int *y);
QZS_DECL(int) QzsGetClickMode(void);
QZS_DECL(int) QzsGetHowManyPoints(void);
QZS_DECL(int) QzsGetEntryPoint(int i, QzPoint *point); /* 0 ok, 1 out of range */
QZS_DECL(int) QzsSetNewEntryPoint(const QzPoint *point);
QZS_DECL(void) QzsInitPoint(void);
QZS_DECL(void) QzsDeletePoint(void);
QZS_DECL(int) QzsCreatePointGroup(PointGroup *group, int n);
QZS_DECL(int) QzsDisposePointGroup(PointGroup *group);
QZS_DECL(int) QzsCreatePointGroupForParameter(int n);
QZS_DECL(int) QzsDisposePointGroupForParameter(int slot);
QZS_DECL(int) QzsGetCoordinatePointGroupForParameter(int slot, int i, int *x, int *y);
QZS_DECL(int) QzsSetCoordinatePointGroupForParameter(int slot, int i, int x, int y);
QZS_DECL(int) QzsSetDispModePointGroupForParameter(int slot, int mode);
QZS_DECL(int) QzsTogglePointControlDispModeForParameter(int slot);
QZS_DECL(void) QzsUpdateWindowInPix(ImageWindow *window, int x0, int y0, int x1, int y1);
QZS_DECL(int) QzsAllocControlPoint(int n);
QZS_DECL(int) QzsSetControlPoint(int i, int x, int y, int cursorKind, int mask);
QZS_DECL(int) QzsGetControlPoint(int i, int *x, int *y);
QZS_DECL(int) QzsMoveAllControlPoint(int first, int last, int dx, int dy);
QZS_DECL(int) QzsDrawControlPoint(ImageWindow *window, int i, int show, int refresh);
QZS_DECL(int) QzsDrawRegionBorder(ImageWindow *window, int first, int last, int show, int refresh);
QZS_DECL(int) QzsUpdateRegion(int local, ImageWindow *window, int x0, int y0, int x1, int y1);
QZS_DECL(const char *) QzsGetParameter(int kind, int index);
QZS_DECL(int) QzsGetParameterSubWindowID(ParameterPanel *panel, int controlId);
QZS_DECL(int) QzsGetParameterFontMetric(int *width, int *height);
QZS_DECL(LOGFONTA *) QzsGetParameterFont(void);
QZS_DECL(void) QzsChooseFont(HWND owner, ParameterPanel *panel, ParameterControl *control);
QZS_DECL(int) QzsSetFontComment(ParameterControl *control);

/* files and scripts */
QZS_DECL(int) QzsReadImageFile(const char *path, QzProgressProc progress, HGLOBAL *header, HGLOBAL *bits);
QZS_DECL(int) QzsCreateThumbImage(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                  int height);
QZS_DECL(int) QzsCreateThumbImageEx(const BITMAPINFOHEADER *header, const void *pixels, CDIB *thumb, int width,
                                    int height, int x0, int y0, int x1, int y1);
QZS_DECL(void) QzsExecuteScript(const char *line);

/* exported window procedure and save-dialog hook (standard Windows convention) */
QZ_EXTERN_C LRESULT CALLBACK WindowFunc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
QZ_EXTERN_C UINT_PTR CALLBACK fdlghook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
