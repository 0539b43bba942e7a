/* kaudio add-ons: shared libraries named kaudio_*.so beside the program that announce
 * formats and decode them for the audio library.
 *
 * An add-on exports one function, KAUDIO_AddonQuery, that returns a table owned by the
 * add-on and valid until it is unloaded. The library calls the decoder entries from one
 * thread at a time per decoder (open from the caller of KAUDIO_StreamCreateFile, read and
 * seek from its processing thread), so a decoder needs no locking of its own; separate
 * decoders may run at the same time on different threads.
 */
#ifndef KAUDIO_ADDON_H
#define KAUDIO_ADDON_H

#include "kaudio.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Bumped when the table below changes incompatibly. */
#define KAUDIO_ADDON_API_VERSION 1

typedef struct KAUDIO_ADDON_FORMAT {
  KAUDIO_DWORD freq;     /* Hz */
  KAUDIO_DWORD chans;
  KAUDIO_DWORD origres;  /* bits of the source, 0 when unknown */
  int64_t frames;        /* length in sample frames, -1 when unknown */
} KAUDIO_ADDON_FORMAT;

typedef struct KAUDIO_ADDON {
  KAUDIO_DWORD apiVersion; /* KAUDIO_ADDON_API_VERSION */
  KAUDIO_PLUGININFO info;  /* version and (format name, masks) pairs */

  /* Opens a file for decoding. Returns a decoder, or NULL with *error set to a KAUDIO_ERROR
   * code (KAUDIO_ERROR_FILEFORM when the file is not one of the add-on's formats). */
  void* (*open)(const char* path, KAUDIO_ADDON_FORMAT* format, int* error);
  /* Fills up to frames interleaved float frames; returns the frames written, 0 at the end. */
  KAUDIO_DWORD (*read)(void* decoder, float* buffer, KAUDIO_DWORD frames);
  /* Moves to a sample frame, exactly; returns non-zero on success. */
  KAUDIO_BOOL (*seek)(void* decoder, uint64_t frame);
  /* Tag block in the library's form (NUL-separated strings ended by an empty one), owned by
   * the decoder; NULL when it has none. May be NULL. */
  const char* (*tags)(void* decoder, KAUDIO_DWORD type);
  void (*close)(void* decoder);
} KAUDIO_ADDON;

typedef const KAUDIO_ADDON* KAUDIO_ADDONQUERYPROC(KAUDIO_DWORD hostVersion);

/* The one symbol an add-on exports. hostVersion is KAUDIO_GetVersion(); return NULL to refuse. */
KAUDIO_API const KAUDIO_ADDON* KAUDIO_AddonQuery(KAUDIO_DWORD hostVersion);

#ifdef __cplusplus
}
#endif

#endif /* KAUDIO_ADDON_H */
