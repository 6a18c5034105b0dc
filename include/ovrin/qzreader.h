/* Outside image readers: "*.spi" modules that the host loads from the Susie directory and asks to
 * read pictures it has no reader of its own for. A reader exports GetPluginInfo, IsSupported and
 * GetPicture, all in the standard Windows convention, and imports nothing from the host.
 *
 * Word sizes: the i686 build uses the interface with 32-bit words. The x86_64 build uses its
 * pointer-sized variant: the file handle or memory address given to IsSupported, the offset or
 * length and the last argument of GetPicture, and the last argument of the progress callback are
 * pointer-sized words (LONG_PTR, ULONG_PTR), so that an address or a handle always fits. */
#ifndef OVRIN_QZREADER_H
#define OVRIN_QZREADER_H

#include "qzcall.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Called while a picture is read: (done, total, data); a nonzero result cancels the read. */
typedef int(QZCAPI *SusieProgressProc)(int done, int total, LONG_PTR data);

/* Information text n into the buffer of length bytes: 0 interface version (its third character
 * is 'I' for an import filter), 1 identification, 2 + 2k file pattern k (such as "*.png"),
 * 3 + 2k its description. Returns the length of the text, 0 for an unknown n. */
typedef int(QZCAPI *SusieGetPluginInfoProc)(int n, char *buffer, int length);

/* Whether the module reads the data: from a file, the path and an open handle of the file
 * positioned at its start; from memory, the address of the bytes given twice. Nonzero: it does. */
typedef int(QZCAPI *SusieIsSupportedProc)(const char *name, ULONG_PTR fileOrAddress);

/* Reads a picture. source: the path (flag 0, offset = where the data start in the file) or the
 * address of the bytes (flag 1, length = how many bytes lie there; nothing past them may be
 * read). Out: two movable memory blocks, the
 * BITMAPINFO and the bottom-up pixel rows, which the host frees. 0 read; anything else failed. */
typedef int(QZCAPI *SusieGetPictureProc)(const char *source, LONG_PTR offsetOrLength, unsigned int flag,
                                         HANDLE *info, HANDLE *bits, SusieProgressProc progress, LONG_PTR data);

#ifdef __cplusplus
}
#endif

#endif
