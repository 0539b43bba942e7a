/* General plug-in SDK of the Zorvane Audio Player.
 *
 * A general plug-in is a shared library named "zpgen_<something>.so" placed in the player's
 * "genplugins" folder. Every one found there is started with the player and closed when it
 * exits (last started, first closed). The library exports one C function,
 * "zpgen_Plugin_Interface", returning a pointer to a Tzpgen_plugin_structure owned by the
 * plug-in; it must stay valid until the library is unloaded.
 *
 * Threads: every entry runs on the player's UI thread, one at a time. A plug-in that needs to
 * wait for the player (the control channel of zorvaneplayerapi.h is served on that same UI
 * thread) must do so from a thread of its own, which it stops in gen_plugin_Close.
 *
 * A general plug-in controls the player as any other program does: through the control
 * channel (zorvaneplayerapi.h) and the now-playing record (zorvaneplayerapi_record.h).
 *
 * Results: 0 is success; anything else (65535 by convention) is failure. A crash or a C++
 * exception inside an entry counts as a failed call; a plug-in that crashed is not called again.
 * Strings are zero-terminated UTF-8; the plug-in's name must end within 256 bytes.
 * Calling convention: the platform's C convention; records use natural C layout.
 */
#ifndef ZPGEN_SDK_HEADER_H
#define ZPGEN_SDK_HEADER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZPGEN_RESULT_SUCCESS 0
#define ZPGEN_RESULT_FAILURE 65535
#define ZPGEN_EXPORT_NAME "zpgen_Plugin_Interface"

typedef struct Tzpgen_plugin_INFO {
  uint32_t gen_plugin_Version; /* shown as a decimal number */
  const char* gen_plugin_Name;
  uint32_t gen_plugin_Type;    /* free for the plug-in; the player does not read it */
} Tzpgen_plugin_INFO;

/* UI thread, once after loading. folder: the "genplugins" folder, ending in "/". The player
 * does not look at the result. */
typedef int32_t (*zpgen_Initialize_Function)(const char* folder);
/* UI thread: the preferences' "Configure" (Config), and once before unloading (Close). */
typedef void (*zpgen_Procedure)(void);

typedef struct Tzpgen_plugin_structure {
  void* gen_hwndParent;   /* written by the host after loading: the native id of its main window
                           (an X11 window id under X11), or NULL when it has none */
  void* gen_hDllInstance; /* written by the host after loading: the plug-in's module handle */
  Tzpgen_plugin_INFO* gen_plugin_Info;
  zpgen_Initialize_Function gen_plugin_Initialize; /* required */
  zpgen_Procedure gen_plugin_Config;               /* optional (NULL: nothing to configure) */
  zpgen_Procedure gen_plugin_Close;                /* required */
} Tzpgen_plugin_structure;

typedef Tzpgen_plugin_structure* (*zpgen_Plugin_Interface_Function)(void);

/* The one export: returns the plug-in's structure. */
Tzpgen_plugin_structure* zpgen_Plugin_Interface(void);

#ifdef __cplusplus
}
#endif

#endif
