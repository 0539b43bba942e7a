/* Visualization plug-in interface of the Zorvane Audio Player (the Sonique ".svp" form).
 *
 * A visualization plug-in is a shared library with the extension ".svp" placed in the
 * player's "visplugins" folder (sub-folders are searched too). It exports one C function,
 * QueryModule, returning a pointer to its VisPluginInfo.
 *
 * Threads, once for the whole interface:
 *   - QueryModule, OpenSettingsProc, InitializeProc, SaveSettingsProc, DeinitProc and
 *     ClickedProc run on the host's UI thread.
 *   - RenderProc runs on the host's render thread (one thread, idle priority, about every
 *     15 ms plus the frame's own time).
 *   - ClickedProc may run while RenderProc runs: a plug-in keeps what the two share to single
 *     values (an effect number, a flag) that it reads once per frame.
 *   - No entry is in flight while the host loads, saves settings, de-initialises or unloads.
 *
 * Order of calls over one activation:
 *   QueryModule -> OpenSettingsProc -> InitializeProc ->
 *   (RenderProc per frame, ClickedProc per click, interleaved) ->
 *   SaveSettingsProc -> DeinitProc -> library released.
 * A plug-in without InitializeProc is never initialised and never asked to draw.
 *
 * Booleans: an entry returns 1 for success; the host looks only at the low byte, anything
 * but 1 is failure. Strings are zero-terminated UTF-8. Calling convention: the platform's C
 * convention. Records use the natural C layout (pointers are 8 bytes on 64-bit builds);
 * VisRenderData has no pointers and keeps its exact 1540-byte layout.
 */
#ifndef SONIQUEVISPLUGIN_API_H
#define SONIQUEVISPLUGIN_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* RequiredData bits. */
#define VIS_REQUIRES_WAVEFORM 1u   /* fill VisRenderData.Waveform before every frame */
#define VIS_REQUIRES_SPECTRUM 2u   /* fill VisRenderData.Spectrum before every frame */
#define VIS_REQUIRES_CLEAR 4u      /* "player vis proc": the host clears the picture first */

/* What the host hands to every RenderProc; owned by the host, rewritten before each frame.
 * The plug-in reads it during the call only. */
typedef struct VisRenderData {
  /* Running time stamp: 512 samples of the playing sampling rate per frame; 0 when
   * nothing plays. */
  uint32_t Milliseconds;
  /* Signed 8-bit samples (-127..127 full scale); [0] left, [1] right. Zero unless the
   * plug-in asked for the waveform. */
  int8_t Waveform[2][512];
  /* Unsigned magnitudes (0..127 full scale, square-root scaled); [0] left, [1] right. Zero
   * unless the plug-in asked for the spectrum. */
  uint8_t Spectrum[2][256];
} VisRenderData;

/* Called once after loading, before the first frame (UI thread). */
typedef void (*VisInitializeProc)(void);
/* Draws one frame (render thread). pixels: width x height 32-bit pixels owned by the host,
 * blue in the lowest byte, then green, then red; the top byte is unused. Rows top to bottom,
 * pitch pixels (not bytes) apart; the host passes pitch = width. The buffer keeps last
 * frame's pixels unless VIS_REQUIRES_CLEAR is set. data: owned by the host, valid during
 * the call. Returns 1 when the frame is to be shown; anything else leaves the previous
 * picture on screen. */
typedef int32_t (*VisRenderProc)(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch,
                                 VisRenderData* data);
/* Saves the plug-in's settings into the INI file iniPath (the host's "vis.ini"; the string
 * belongs to the host and is valid during the call). UI thread, before DeinitProc. */
typedef int32_t (*VisSaveSettingsProc)(const char* iniPath);
/* Reads the plug-in's settings from iniPath; called before InitializeProc. UI thread. The
 * result is not looked at. */
typedef int32_t (*VisOpenSettingsProc)(const char* iniPath);
/* Releases the plug-in's resources; called after SaveSettingsProc, before the library is
 * released. UI thread. */
typedef int32_t (*VisDeinitProc)(void);
/* The user pressed the left button at (x, y) of the picture; buttons = 1. UI thread, only
 * when Version is not 0. */
typedef int32_t (*VisClickedProc)(int32_t x, int32_t y, int32_t buttons);

/* Owned by the plug-in; must stay valid until the library is unloaded. Any entry may be
 * null. */
typedef struct VisPluginInfo {
  uint32_t Version;      /* 0: no clicks wanted; anything else: ClickedProc may be called */
  const char* PluginName;/* display name */
  int32_t RequiredData;  /* VIS_REQUIRES_* bits */
  VisInitializeProc InitializeProc;
  VisRenderProc RenderProc;
  VisSaveSettingsProc SaveSettingsProc;
  VisOpenSettingsProc OpenSettingsProc;
  VisDeinitProc DeinitProc;
  VisClickedProc ClickedProc;
} VisPluginInfo;

/* The one export, "QueryModule": returns the plug-in's info record (never freed by the
 * host), or null when the plug-in cannot run. Called on the UI thread; may be called more
 * than once per load. */
typedef VisPluginInfo* (*VisQueryModuleProc)(void);

#define VIS_QUERY_MODULE_EXPORT "QueryModule"

#ifdef __cplusplus
}

static_assert(sizeof(VisRenderData) == 1540, "the data record keeps its exact layout");
static_assert(__builtin_offsetof(VisRenderData, Waveform) == 4, "waveform at 4");
static_assert(__builtin_offsetof(VisRenderData, Spectrum) == 1028, "spectrum at 1028");
#endif

#endif
