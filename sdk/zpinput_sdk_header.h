/* Input plug-in SDK of the Zorvane Audio Player.
 *
 * An input plug-in is a shared library named "zpinput_<something>.so" placed in the
 * player's "inputplugins" folder. It exports one C function, "zpinput_Plugin_Interface",
 * that returns a pointer to a Tzpinput_plugin_structure owned by the plug-in (it must stay
 * valid until the library is unloaded).
 *
 * Kinds of service (input_plugin_Type):
 *   0 audio stream  - only registered as a media type; the player makes no calls.
 *   1 playlist      - LoadData(file) reads a foreign playlist into the byte stream as
 *                     serialized playlist items; SaveData(file, "") writes the items the host
 *                     put into the byte stream to a foreign playlist file.
 *   2 archive       - LoadData(archive) lists the archive: one serialized item per entry,
 *                     FullPathAndFilename = the entry's path inside the archive.
 *                     SaveData(archive + "/" + entry, destination folder) extracts that entry
 *                     into the folder under its file name; entry "*.*" extracts everything.
 *   3 picture       - LoadData(file) decodes the picture into a zpinput_picture.
 *
 * Protocol of one service call (always on the player's UI thread, never concurrently):
 *   Initialize -> LoadData or (host fills the stream, then) SaveData -> Close.
 * Every entry returns 0 for success and 65535 (ZPINPUT_RESULT_FAILURE) for failure or
 * "not supported". The data object belongs to the plug-in; it must be valid from Initialize
 * (an empty stream the host may write into) until Close. The host never frees it.
 *
 * Serialized playlist item (little-endian, no padding; strings are a 32-bit signed count of
 * UTF-16 code units followed by that many UTF-16LE code units, no terminator):
 *   6 strings: FullPathAndFilename, ArtistName, TitleName, AlbumName, Genre, Year;
 *   int32 CDIndex, StartPos, EndPos, LengthSeconds; int64 FileSize; int32 FileDate;
 *   int32 Pitch, Tempo, Samplerate, Preamp, EQBand1..EQBand10 (0..100, 50 neutral);
 *   1 byte TagsRead (0 or 1).
 * Items follow one another with nothing before, between or after them.
 *
 * Strings passed through the records and entries are zero-terminated UTF-8.
 * Calling convention: the platform's C convention; records use natural C layout.
 */
#ifndef ZPINPUT_SDK_HEADER_H
#define ZPINPUT_SDK_HEADER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZPINPUT_RESULT_SUCCESS 0
#define ZPINPUT_RESULT_FAILURE 65535
#define ZPINPUT_MAX_FORMATS 15

#define ZPINPUT_TYPE_AUDIOSTREAM 0
#define ZPINPUT_TYPE_PLAYLIST 1
#define ZPINPUT_TYPE_COMPRESSED 2
#define ZPINPUT_TYPE_PICTURE 3

/* ---- records ---- */

typedef struct Tzpinput_plugin_Format_Record {
  const char* input_plugin_FormatDescription; /* display name, e.g. "MP3 Playlist" */
  const char* input_plugin_FormatExtension;   /* with its dot, e.g. ".m3u"; case ignored */
} Tzpinput_plugin_Format_Record;

typedef Tzpinput_plugin_Format_Record Tzpinput_plugin_Format_RecordArray[ZPINPUT_MAX_FORMATS];
typedef Tzpinput_plugin_Format_RecordArray* Pzpinput_plugin_Format_RecordArray;

typedef struct Tzpinput_plugin_INFO {
  uint32_t input_plugin_Version;      /* shown as a decimal number */
  const char* input_plugin_Name;
  uint32_t input_plugin_Type;         /* ZPINPUT_TYPE_* */
  uint32_t input_plugin_FormatsNumber; /* used entries of the array, at most 15 */
  Pzpinput_plugin_Format_RecordArray input_plugin_PFormatsArray;
} Tzpinput_plugin_INFO;

/* ---- the data object behind input_plugin_DataPointer ---- */

/* A growable in-memory byte stream (kinds 1 and 2). The plug-in owns the memory and
 * supplies read, write and seek; the host only calls them and reads size/position.
 * Invariants the plug-in keeps: position <= size, size <= capacity, data holds size bytes. */
typedef struct zpinput_byte_stream {
  uint8_t* data;
  uint64_t size;
  uint64_t capacity;
  uint64_t position;
  /* Copies up to count bytes from position into buffer, advances position; returns the
   * number of bytes copied (0 at the end), or -1 on failure. */
  int64_t (*read)(struct zpinput_byte_stream* stream, void* buffer, uint64_t count);
  /* Writes count bytes at position (growing the stream), advances position; returns
   * count, or -1 when memory runs out. */
  int64_t (*write)(struct zpinput_byte_stream* stream, const void* buffer, uint64_t count);
  /* Sets position (clamped to size); returns the new position. */
  uint64_t (*seek)(struct zpinput_byte_stream* stream, uint64_t position);
} zpinput_byte_stream;

/* A decoded picture (kind 3): width x height pixels, rows top to bottom without padding,
 * each pixel 0xAARRGGBB in a uint32_t. The host draws it by copying the pixels. */
typedef struct zpinput_picture {
  uint32_t width;
  uint32_t height;
  uint32_t* pixels;
} zpinput_picture;

/* What input_plugin_DataPointer points to: the plug-in's variable holding the current
 * object; exactly one of the members is used, by the plug-in's kind. NULL means "none". */
typedef union zpinput_data_object {
  zpinput_byte_stream* stream;  /* kinds 1 and 2 */
  zpinput_picture* picture;     /* kind 3 */
} zpinput_data_object;

/* ---- the plug-in structure ---- */

typedef int32_t (*zpinput_Initialize_Function)(void);
typedef int32_t (*zpinput_LoadData_Function)(const char* fileName);
typedef int32_t (*zpinput_SaveData_Function)(const char* fileName, const char* destination);
typedef void (*zpinput_Close_Procedure)(void);

typedef struct Tzpinput_plugin_structure {
  void* input_hwndParent;   /* written by the host after loading: its main window (or NULL) */
  void* input_hDllInstance; /* written by the host after loading: the plug-in's module handle */
  zpinput_data_object* input_plugin_DataPointer;
  Tzpinput_plugin_INFO* input_plugin_Info;
  zpinput_Initialize_Function input_plugin_Initialize;
  zpinput_LoadData_Function input_plugin_LoadData;
  zpinput_SaveData_Function input_plugin_SaveData;
  zpinput_Close_Procedure input_plugin_Close;
} Tzpinput_plugin_structure;

/* The one export: "zpinput_Plugin_Interface". */
typedef Tzpinput_plugin_structure* (*zpinput_Plugin_Interface_Function)(void);
#define ZPINPUT_EXPORT_NAME "zpinput_Plugin_Interface"

#ifdef __cplusplus
}
#endif

#endif /* ZPINPUT_SDK_HEADER_H */
