/* DSP plug-in SDK of the Zorvane Audio Player.
 *
 * A DSP plug-in is a shared library named "zpdsp_<something>.so" placed in the player's
 * "dspplugins" folder (sub-folders allowed). The player loads at most one at a time, the one
 * the user chose in the preferences. The library exports one C function,
 * "zpdsp_Plugin_Interface", returning a pointer to a Tzpdsp_plugin_structure owned by the
 * plug-in; it must stay valid until the library is unloaded.
 *
 * Threads: dsp_plugin_DSP_Proc runs on the audio library's processing thread, concurrently
 * with the UI thread; every other entry runs on the player's UI thread, one at a time. The
 * processing entry must not block, allocate much or call into a GUI toolkit.
 *
 * Life of a plug-in, in order:
 *   load -> Initialize(folder) -> LoadSettings -> { CreateEffect(ch) -> DSP_Proc ... ->
 *   StopEffect(ch) }* -> SaveSettings -> Close -> unload.
 * The player removes its sample hook (so DSP_Proc is no longer called) before it calls
 * SaveSettings and Close. Config may be called at any time between LoadSettings and
 * SaveSettings.
 *
 * Results: 0 is success; anything else (65535 by convention) is failure. A crash or a C++
 * exception inside an entry counts as a failed call; a plug-in that crashed is not called again.
 * Strings are zero-terminated UTF-8; the plug-in's name must end within 256 bytes.
 * Calling convention: the platform's C convention; records use natural C layout.
 */
#ifndef ZPDSP_SDK_HEADER_H
#define ZPDSP_SDK_HEADER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZPDSP_RESULT_SUCCESS 0
#define ZPDSP_RESULT_FAILURE 65535
#define ZPDSP_EXPORT_NAME "zpdsp_Plugin_Interface"
/* Samples handed to dsp_plugin_DSP_Proc are 32-bit floats. */
#define ZPDSP_BYTES_PER_SAMPLE 4

typedef struct Tzpdsp_plugin_INFO {
  uint32_t dsp_plugin_Version; /* shown as a decimal number */
  const char* dsp_plugin_Name;
  uint32_t dsp_plugin_Type;    /* free for the plug-in; the player does not read it */
} Tzpdsp_plugin_INFO;

/* UI thread. folder: the "dspplugins" folder, ending in "/". Returns 0 when the plug-in is
 * ready; anything else makes the player release it again with an error message. */
typedef int32_t (*zpdsp_Initialize_Function)(const char* folder);
/* UI thread. Opens the plug-in's configuration dialog (the preferences' "Configure"). */
typedef void (*zpdsp_Config_Procedure)(void);
/* Processing thread, for every block of the playing stream: buffer holds length bytes of
 * interleaved float samples (length / (channels * bytesPerSample) frames) to change in place;
 * channels is 1 or 2; bytesPerSample is 4. The buffer belongs to the player and is valid only
 * during the call. */
typedef void (*zpdsp_DSP_Procedure)(void* buffer, uint32_t length, uint32_t sampleRate,
                                    uint32_t channels, uint32_t bytesPerSample);
/* UI thread. A stream starts (CreateEffect) or stops (StopEffect) on the audio library
 * channel with this handle; the plug-in may add and remove effects of its own on it through
 * the audio library (kaudio.h). */
typedef void (*zpdsp_Channel_Procedure)(uint32_t channel);
/* UI thread: Close before unloading; SaveSettings right before Close; LoadSettings right
 * after a successful Initialize. */
typedef void (*zpdsp_Procedure)(void);

typedef struct Tzpdsp_plugin_structure {
  void* dsp_hwndParent;   /* written by the host after loading: the native id of its main window
                           (an X11 window id under X11), or NULL when it has none */
  void* dsp_hDllInstance; /* written by the host after loading: the plug-in's module handle */
  Tzpdsp_plugin_INFO* dsp_plugin_Info;          /* read for the preferences */
  zpdsp_Initialize_Function dsp_plugin_Initialize; /* required */
  zpdsp_Config_Procedure dsp_plugin_Config;        /* optional (NULL: nothing to configure) */
  zpdsp_DSP_Procedure dsp_plugin_DSP_Proc;         /* optional */
  zpdsp_Channel_Procedure dsp_plugin_BASS_CreateEffect; /* optional */
  zpdsp_Channel_Procedure dsp_plugin_BASS_StopEffect;   /* optional */
  zpdsp_Procedure dsp_plugin_Close;                /* required */
  zpdsp_Procedure dsp_plugin_SaveSettings;         /* optional */
  zpdsp_Procedure dsp_plugin_LoadSettings;         /* optional */
} Tzpdsp_plugin_structure;

typedef Tzpdsp_plugin_structure* (*zpdsp_Plugin_Interface_Function)(void);

/* The one export: returns the plug-in's structure (any thread; UI thread in practice). */
Tzpdsp_plugin_structure* zpdsp_Plugin_Interface(void);

#ifdef __cplusplus
}
#endif

#endif
