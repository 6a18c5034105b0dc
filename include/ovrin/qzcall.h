/* Calling conventions and export markers shared by the main program and every plug-in.
 *
 * Host services (Qzs...) are plain C calls: the caller removes the arguments.
 * Plug-in entry points (Qzc...), layer blends, the lighting routine and progress callbacks
 * use the standard Windows convention: the callee removes them.
 * The main program is built with OVRIN_HOST defined; plug-ins import the services from it. */
#ifndef OVRIN_QZCALL_H
#define OVRIN_QZCALL_H

#include <windows.h>
#include <stdint.h>

#define QZSAPI __cdecl   /* host services */
#define QZCAPI __stdcall /* plug-in entry points and callbacks */

#ifdef __cplusplus
#define QZ_EXTERN_C extern "C"
#else
#define QZ_EXTERN_C extern
#endif

/* The main program lists its exports in a module-definition file, so its definitions carry no
 * attribute; plug-ins bind to them through the program's import library. */
#ifdef OVRIN_HOST
#define QZS_DECL(type) QZ_EXTERN_C type QZSAPI
#else
#define QZS_DECL(type) QZ_EXTERN_C __declspec(dllimport) type QZSAPI
#endif

/* Marks a plug-in entry point: exported by its plain name (the i686 link drops the @n suffix). */
#define QZC_EXPORT(type) QZ_EXTERN_C __declspec(dllexport) type QZCAPI

#if defined(__cplusplus)
#define QZ_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QZ_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#endif
