/* kaudio: the player's audio library. Decoding, output, effects hooks, data and tags.
 *
 * Thread safety: every function may be called from any thread. The last error code is
 * process-wide (KAUDIO_ErrorGetCode reports the code of the most recent call that set one),
 * so a connection thread can open a stream and the UI thread can read why it failed.
 * Callbacks (DSP, sync, download, stream) run on the library's own threads, never on the
 * caller's; they may call back into the library, but must not free the channel that is
 * calling them. DSP and effect callbacks of a played channel run on the processing thread
 * that decodes ahead into the playback buffer (those of a decoding channel inside the
 * caller's KAUDIO_ChannelGetData). The output mixing thread never runs user code, never
 * allocates and never locks.
 *
 * Handles are 32-bit, never 0 for a valid object, and are not reused while the library
 * stays initialised. Texts are UTF-8; the KAUDIO_UNICODE flag is accepted and changes nothing.
 */
#ifndef KAUDIO_H
#define KAUDIO_H

#include <stdint.h>

#if defined(_WIN32)
#define KAUDIO_API __declspec(dllexport)
#else
#define KAUDIO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int KAUDIO_BOOL;
typedef uint32_t KAUDIO_DWORD;
typedef uint64_t KAUDIO_QWORD;
typedef uint32_t KAUDIO_HANDLE;
typedef KAUDIO_HANDLE KAUDIO_HSTREAM;
typedef KAUDIO_HANDLE KAUDIO_HMUSIC;
typedef KAUDIO_HANDLE KAUDIO_HCHANNEL;
typedef KAUDIO_HANDLE KAUDIO_HDSP;
typedef KAUDIO_HANDLE KAUDIO_HFX;
typedef KAUDIO_HANDLE KAUDIO_HSYNC;
typedef KAUDIO_HANDLE KAUDIO_HPLUGIN;

/* Our own version: major, minor, revision, build, one byte each. */
#define KAUDIO_VERSION 0x01000000u
#define KAUDIO_VERSIONTEXT "1.0.0.0"

/* ---- Error codes (KAUDIO_ErrorGetCode) ---- */
#define KAUDIO_OK 0
#define KAUDIO_ERROR_MEM 1
#define KAUDIO_ERROR_FILEOPEN 2
#define KAUDIO_ERROR_DRIVER 3
#define KAUDIO_ERROR_HANDLE 5
#define KAUDIO_ERROR_FORMAT 6
#define KAUDIO_ERROR_POSITION 7
#define KAUDIO_ERROR_INIT 8
#define KAUDIO_ERROR_START 9
#define KAUDIO_ERROR_NOCD 12
#define KAUDIO_ERROR_CDTRACK 13
#define KAUDIO_ERROR_ALREADY 14
#define KAUDIO_ERROR_NOTAUDIO 17
#define KAUDIO_ERROR_NOCHAN 18
#define KAUDIO_ERROR_ILLTYPE 19
#define KAUDIO_ERROR_ILLPARAM 20
#define KAUDIO_ERROR_DEVICE 23
#define KAUDIO_ERROR_NOPLAY 24
#define KAUDIO_ERROR_FREQ 25
#define KAUDIO_ERROR_NOTFILE 27
#define KAUDIO_ERROR_NONET 32
#define KAUDIO_ERROR_CREATE 33
#define KAUDIO_ERROR_NOTAVAIL 37
#define KAUDIO_ERROR_DECODE 38
#define KAUDIO_ERROR_TIMEOUT 40
#define KAUDIO_ERROR_FILEFORM 41
#define KAUDIO_ERROR_SPEAKER 42
#define KAUDIO_ERROR_VERSION 43
#define KAUDIO_ERROR_CODEC 44
#define KAUDIO_ERROR_ENDED 45
#define KAUDIO_ERROR_BUSY 46
#define KAUDIO_ERROR_UNKNOWN (-1)

/* ---- Configuration options (KAUDIO_SetConfig) ---- */
#define KAUDIO_CONFIG_BUFFER 0       /* playback buffer length, ms (default 500, 10..5000) */
#define KAUDIO_CONFIG_UPDATEPERIOD 1 /* how often playback buffers are refilled, ms (default 10) */
#define KAUDIO_CONFIG_FLOATDSP 9     /* accepted for compatibility: DSP always sees float samples */
#define KAUDIO_CONFIG_NET_TIMEOUT 11 /* network time-out, ms (default 5000) */
#define KAUDIO_CONFIG_NET_BUFFER 12  /* network buffer, ms of audio decoded ahead (default 5000) */

/* ---- Init flags and devices ---- */
#define KAUDIO_DEVICE_DEFAULT (-1) /* the default output; falls back to device 0 when none opens */
#define KAUDIO_DEVICE_NOSOUND 0    /* a clock-driven sink that consumes audio in real time */
#define KAUDIO_DEVICE_MONO 2
#define KAUDIO_DEVICE_LATENCY 0x100

/* Device info flags */
#define KAUDIO_DEVICE_ENABLED 1
#define KAUDIO_DEVICE_ISDEFAULT 2
#define KAUDIO_DEVICE_INIT 4

/* Capability flags of KAUDIO_INFO.flags */
#define KAUDIO_DSCAPS_CONTINUOUSRATE 0x10
#define KAUDIO_DSCAPS_EMULDRIVER 0x20

typedef struct KAUDIO_DEVICEINFO {
  const char* name;   /* owned by the library, valid until KAUDIO_Free */
  const char* driver; /* host API name ("none" for device 0) */
  KAUDIO_DWORD flags;
} KAUDIO_DEVICEINFO;

typedef struct KAUDIO_INFO {
  KAUDIO_DWORD flags;
  KAUDIO_DWORD hwsize, hwfree, freesam, free3d; /* no hardware mixing: all 0 */
  KAUDIO_DWORD minrate, maxrate;
  KAUDIO_BOOL eax;
  KAUDIO_DWORD minbuf;  /* smallest sensible KAUDIO_CONFIG_BUFFER, ms */
  KAUDIO_DWORD dsver;   /* 0 */
  KAUDIO_DWORD latency; /* output latency, ms */
  KAUDIO_DWORD initflags;
  KAUDIO_DWORD speakers; /* output channels */
  KAUDIO_DWORD freq;     /* output rate */
} KAUDIO_INFO;

/* ---- Channel flags ---- */
#define KAUDIO_SAMPLE_8BITS 1
#define KAUDIO_SAMPLE_MONO 2
#define KAUDIO_SAMPLE_FLOAT 0x100
#define KAUDIO_STREAM_PRESCAN 0x20000 /* exact length by scanning the whole file */
#define KAUDIO_STREAM_AUTOFREE 0x40000
#define KAUDIO_STREAM_RESTRATE 0x80000
#define KAUDIO_STREAM_BLOCK 0x100000
#define KAUDIO_STREAM_DECODE 0x200000 /* not played: pulled with KAUDIO_ChannelGetData */
#define KAUDIO_STREAM_STATUS 0x800000 /* pass the header block to the download callback */
#define KAUDIO_UNICODE 0x80000000u

/* Module flags */
#define KAUDIO_MUSIC_FLOAT KAUDIO_SAMPLE_FLOAT
#define KAUDIO_MUSIC_RAMP 0x200
#define KAUDIO_MUSIC_RAMPS 0x400
#define KAUDIO_MUSIC_SURROUND 0x800
#define KAUDIO_MUSIC_SURROUND2 0x1000
#define KAUDIO_MUSIC_FT2MOD 0x2000
#define KAUDIO_MUSIC_PT1MOD 0x4000
#define KAUDIO_MUSIC_NONINTER 0x10000
#define KAUDIO_MUSIC_PRESCAN KAUDIO_STREAM_PRESCAN
#define KAUDIO_MUSIC_DECODE KAUDIO_STREAM_DECODE

/* Tempo stream flags */
#define KAUDIO_FX_FREESOURCE 0x10000

/* Channel types (KAUDIO_CHANNELINFO.ctype) */
#define KAUDIO_CTYPE_STREAM 0x10000
#define KAUDIO_CTYPE_STREAM_FILE 0x10001
#define KAUDIO_CTYPE_STREAM_URL 0x10002
#define KAUDIO_CTYPE_STREAM_USER 0x10003
#define KAUDIO_CTYPE_STREAM_TEMPO 0x1f200
#define KAUDIO_CTYPE_STREAM_ADDON 0x10100
#define KAUDIO_CTYPE_MUSIC 0x20000
#define KAUDIO_CTYPE_STREAM_CD 0x10200

typedef struct KAUDIO_CHANNELINFO {
  KAUDIO_DWORD freq;  /* the channel's own rate, Hz */
  KAUDIO_DWORD chans; /* the channel's own channel count */
  KAUDIO_DWORD flags; /* the creation flags (KAUDIO_SAMPLE_8BITS, KAUDIO_SAMPLE_FLOAT, ...) */
  KAUDIO_DWORD ctype;
  KAUDIO_DWORD origres; /* bits per sample of the source, 0 when unknown */
  KAUDIO_HPLUGIN plugin; /* the add-on decoding it, or 0 */
  const char* filename;  /* owned by the channel, valid until it is freed */
} KAUDIO_CHANNELINFO;

/* ---- Active states (KAUDIO_ChannelIsActive) ---- */
#define KAUDIO_ACTIVE_STOPPED 0 /* also once a channel has ended */
#define KAUDIO_ACTIVE_PLAYING 1
#define KAUDIO_ACTIVE_STALLED 2 /* waiting for network data */
#define KAUDIO_ACTIVE_PAUSED 3

/* ---- Position modes ---- */
#define KAUDIO_POS_BYTE 0

/* ---- Attributes (KAUDIO_ChannelSetAttribute) ---- */
#define KAUDIO_ATTRIB_FREQ 1            /* playback rate, Hz (0 = the channel's own) */
#define KAUDIO_ATTRIB_VOL 2             /* 0..1 */
#define KAUDIO_ATTRIB_PAN 3             /* -1..1 */
#define KAUDIO_ATTRIB_MUSIC_PANSEP 257  /* modules: 0..100, 50 normal stereo */
#define KAUDIO_ATTRIB_TEMPO 0x10000      /* tempo streams: percent change, -95..5000 */
#define KAUDIO_ATTRIB_TEMPO_PITCH 0x10001 /* semitones, -60..60 */
#define KAUDIO_ATTRIB_TEMPO_FREQ 0x10002  /* rate of the source, Hz (changes tempo and pitch) */

/* ---- Data requests (KAUDIO_ChannelGetData length) ---- */
#define KAUDIO_DATA_AVAILABLE 0
#define KAUDIO_DATA_FLOAT 0x40000000 /* sample data as float */
#define KAUDIO_DATA_FFT256 0x80000000u
#define KAUDIO_DATA_FFT512 0x80000001u
#define KAUDIO_DATA_FFT1024 0x80000002u  /* 512 magnitudes */
#define KAUDIO_DATA_FFT2048 0x80000003u
#define KAUDIO_DATA_FFT4096 0x80000004u
#define KAUDIO_DATA_FFT_INDIVIDUAL 0x10 /* one FFT per channel, interleaved */
#define KAUDIO_DATA_FFT_NOWINDOW 0x20
/* Magnitudes are amplitudes: a full-scale sine peaks near 1.0 in its bin. */

/* ---- Syncs ---- */
#define KAUDIO_SYNC_POS 0
#define KAUDIO_SYNC_END 2
#define KAUDIO_SYNC_META 4        /* ICY/Shoutcast stream title changed */
#define KAUDIO_SYNC_STALL 6
#define KAUDIO_SYNC_DOWNLOAD 7
#define KAUDIO_SYNC_FREE 8
#define KAUDIO_SYNC_SETPOS 11
#define KAUDIO_SYNC_OGG_CHANGE 12 /* a new logical Ogg stream (new comments) */
#define KAUDIO_SYNC_WMA_CHANGE 0x10100
#define KAUDIO_SYNC_WMA_META 0x10101
#define KAUDIO_SYNC_MIXTIME 0x40000000 /* call on the processing thread, at once */
#define KAUDIO_SYNC_ONETIME 0x80000000u

/* ---- Tag blocks (KAUDIO_ChannelGetTags) ---- */
#define KAUDIO_TAG_ID3 0
#define KAUDIO_TAG_ID3V2 1
#define KAUDIO_TAG_OGG 2   /* NUL-separated "key=value" comments, ended by an empty string */
#define KAUDIO_TAG_HTTP 3  /* NUL-separated response header lines, ended by an empty string */
#define KAUDIO_TAG_ICY 4   /* NUL-separated icy-/ice- header lines, ended by an empty string */
#define KAUDIO_TAG_META 5  /* one string: the last in-stream metadata block */
#define KAUDIO_TAG_WMA 8   /* NUL-separated "key=value" lines, ended by an empty string */
#define KAUDIO_TAG_MUSIC_NAME 0x10000
#define KAUDIO_TAG_MUSIC_MESSAGE 0x10001
#define KAUDIO_TAG_MUSIC_INST 0x10100   /* + instrument index */
#define KAUDIO_TAG_MUSIC_SAMPLE 0x10300 /* + sample index */

/* ---- Effects (KAUDIO_ChannelSetFX) ---- */
#define KAUDIO_FX_DAMP 0x10008 /* dynamic amplification */

typedef struct KAUDIO_FX_DAMP_PARAMS {
  float fTarget; /* level the gain aims for, 0..1 */
  float fQuiet;  /* below this level the gain is not raised (silence stays silence) */
  float fRate;   /* fraction by which the gain may rise per second, 0..1 */
  float fGain;   /* starting gain, >= 0 */
  float fDelay;  /* seconds after a reduction before the gain may rise again */
  int lChannel;  /* kept 0: all channels */
} KAUDIO_FX_DAMP_PARAMS;

/* ---- Callbacks ---- */
/* DSP: float samples of the channel's own rate and channel count, edited in place. */
typedef void KAUDIO_DSPPROC(KAUDIO_HDSP handle, KAUDIO_DWORD channel, void* buffer,
                            KAUDIO_DWORD length, void* user);
typedef void KAUDIO_SYNCPROC(KAUDIO_HSYNC handle, KAUDIO_DWORD channel, KAUDIO_DWORD data,
                             void* user);
/* Download: once with the header block (length 0) when KAUDIO_STREAM_STATUS is given, then
 * with the received bytes, and finally with NULL/0 when the download has ended. */
typedef void KAUDIO_DOWNLOADPROC(const void* buffer, KAUDIO_DWORD length, void* user);
/* User stream: fill up to length bytes; return the bytes written, or'ed with
 * KAUDIO_STREAMPROC_END when the stream has ended. */
typedef KAUDIO_DWORD KAUDIO_STREAMPROC(KAUDIO_HSTREAM handle, void* buffer, KAUDIO_DWORD length,
                                       void* user);
#define KAUDIO_STREAMPROC_END 0x80000000u

/* ---- Add-ons ---- */
typedef struct KAUDIO_PLUGINFORM {
  KAUDIO_DWORD ctype;
  const char* name; /* format name, e.g. "Free Lossless Audio Codec" */
  const char* exts; /* ";"-separated masks, e.g. "*.flac;*.fla" */
} KAUDIO_PLUGINFORM;

typedef struct KAUDIO_PLUGININFO {
  KAUDIO_DWORD version; /* the add-on's own version, one byte per part */
  KAUDIO_DWORD formatc;
  const KAUDIO_PLUGINFORM* formats;
} KAUDIO_PLUGININFO;

/* ---- Library ---- */
KAUDIO_API KAUDIO_DWORD KAUDIO_GetVersion(void);
KAUDIO_API KAUDIO_BOOL KAUDIO_SetConfig(KAUDIO_DWORD option, KAUDIO_DWORD value);
KAUDIO_API KAUDIO_DWORD KAUDIO_GetConfig(KAUDIO_DWORD option);
/* device: -1 default, 0 no sound, 1.. output devices. win and clsid are ignored. */
KAUDIO_API KAUDIO_BOOL KAUDIO_Init(int device, KAUDIO_DWORD freq, KAUDIO_DWORD flags, void* win,
                                   const void* clsid);
/* The device actually in use (0 after a fallback to no sound), -1 before Init. */
KAUDIO_API int KAUDIO_GetDevice(void);
KAUDIO_API KAUDIO_BOOL KAUDIO_Free(void); /* frees every channel and add-on */
KAUDIO_API KAUDIO_BOOL KAUDIO_Start(void);
KAUDIO_API KAUDIO_BOOL KAUDIO_Pause(void);
KAUDIO_API KAUDIO_BOOL KAUDIO_Stop(void); /* stops the output and every playing channel */
KAUDIO_API int KAUDIO_ErrorGetCode(void);
KAUDIO_API KAUDIO_BOOL KAUDIO_GetInfo(KAUDIO_INFO* info);
KAUDIO_API KAUDIO_BOOL KAUDIO_GetDeviceInfo(KAUDIO_DWORD device, KAUDIO_DEVICEINFO* info);
/* Share of one core used by decoding, effects and mixing over the last second, percent. */
KAUDIO_API float KAUDIO_GetCPU(void);

/* ---- Add-ons ---- */
/* Loads a kaudio_*.so add-on; its decoders are tried for files its masks name. */
KAUDIO_API KAUDIO_HPLUGIN KAUDIO_PluginLoad(const char* file, KAUDIO_DWORD flags);
/* Owned by the library, valid until the add-on is freed. */
KAUDIO_API const KAUDIO_PLUGININFO* KAUDIO_PluginGetInfo(KAUDIO_HPLUGIN handle);
/* handle 0 frees every add-on. Channels decoded by a freed add-on are freed with it. */
KAUDIO_API KAUDIO_BOOL KAUDIO_PluginFree(KAUDIO_HPLUGIN handle);

/* ---- Channels ---- */
/* mem: file is a memory block of length bytes that must stay valid for the stream's life. */
KAUDIO_API KAUDIO_HSTREAM KAUDIO_StreamCreateFile(KAUDIO_BOOL mem, const void* file,
                                                  KAUDIO_QWORD offset, KAUDIO_QWORD length,
                                                  KAUDIO_DWORD flags);
/* freq 0 = the output rate (or 44100 before Init). length 0 = to the end. */
KAUDIO_API KAUDIO_HMUSIC KAUDIO_MusicLoad(KAUDIO_BOOL mem, const void* file, KAUDIO_QWORD offset,
                                          KAUDIO_DWORD length, KAUDIO_DWORD flags,
                                          KAUDIO_DWORD freq);
/* http, https and ftp through our own connection, mms through the decoder. Blocks until the
 * stream can start, the network time-out passes or the server refuses. */
KAUDIO_API KAUDIO_HSTREAM KAUDIO_StreamCreateURL(const char* url, KAUDIO_DWORD offset,
                                                 KAUDIO_DWORD flags, KAUDIO_DOWNLOADPROC* proc,
                                                 void* user);
/* proc NULL: a dummy stream that produces nothing (ends at once when played). */
KAUDIO_API KAUDIO_HSTREAM KAUDIO_StreamCreate(KAUDIO_DWORD freq, KAUDIO_DWORD chans,
                                              KAUDIO_DWORD flags, KAUDIO_STREAMPROC* proc,
                                              void* user);
/* chan must be a decoding channel. With KAUDIO_FX_FREESOURCE the tempo stream owns it and
 * frees it with itself. Positions and lengths are those of the source. */
KAUDIO_API KAUDIO_HSTREAM KAUDIO_FX_TempoCreate(KAUDIO_DWORD chan, KAUDIO_DWORD flags);
KAUDIO_API KAUDIO_DWORD KAUDIO_FX_TempoGetSource(KAUDIO_HSTREAM chan);
/* When it returns, no sync callback is running any more (except when called from one). */
KAUDIO_API KAUDIO_BOOL KAUDIO_StreamFree(KAUDIO_HSTREAM handle);
KAUDIO_API KAUDIO_BOOL KAUDIO_MusicFree(KAUDIO_HMUSIC handle);

/* ---- Control ---- */
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelPlay(KAUDIO_DWORD handle, KAUDIO_BOOL restart);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelStop(KAUDIO_DWORD handle);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelPause(KAUDIO_DWORD handle);
KAUDIO_API KAUDIO_DWORD KAUDIO_ChannelIsActive(KAUDIO_DWORD handle);
/* Bytes of the channel's decoded format (2 bytes a sample, 4 with float, 1 with 8-bit);
 * (QWORD)-1 on error or when unknown. */
KAUDIO_API KAUDIO_QWORD KAUDIO_ChannelGetLength(KAUDIO_DWORD handle, KAUDIO_DWORD mode);
/* What is audible now: decoded position minus what waits in the output buffers. */
KAUDIO_API KAUDIO_QWORD KAUDIO_ChannelGetPosition(KAUDIO_DWORD handle, KAUDIO_DWORD mode);
/* Sample-accurate for files. */
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelSetPosition(KAUDIO_DWORD handle, KAUDIO_QWORD pos,
                                                 KAUDIO_DWORD mode);
KAUDIO_API double KAUDIO_ChannelBytes2Seconds(KAUDIO_DWORD handle, KAUDIO_QWORD pos);
KAUDIO_API KAUDIO_QWORD KAUDIO_ChannelSeconds2Bytes(KAUDIO_DWORD handle, double pos);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelGetInfo(KAUDIO_DWORD handle, KAUDIO_CHANNELINFO* info);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelSetAttribute(KAUDIO_DWORD handle, KAUDIO_DWORD attrib,
                                                  float value);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelGetAttribute(KAUDIO_DWORD handle, KAUDIO_DWORD attrib,
                                                  float* value);

/* ---- Data and hooks ---- */
/* Decoding channels: decodes length bytes (or an FFT's worth) and returns them.
 * Playing channels: the latest audible samples, or their FFT. Returns the bytes of sample
 * data read, or (DWORD)-1 on error (KAUDIO_ERROR_ENDED at the end of a decoding channel). */
KAUDIO_API KAUDIO_DWORD KAUDIO_ChannelGetData(KAUDIO_DWORD handle, void* buffer,
                                              KAUDIO_DWORD length);
/* Peak of the last 20 ms: left in the low word, right in the high word, 0..32768; (DWORD)-1
 * on error. */
KAUDIO_API KAUDIO_DWORD KAUDIO_ChannelGetLevel(KAUDIO_DWORD handle);
/* Higher priority runs first; equal priorities run in the order they were set. */
KAUDIO_API KAUDIO_HDSP KAUDIO_ChannelSetDSP(KAUDIO_DWORD handle, KAUDIO_DSPPROC* proc, void* user,
                                            int priority);
/* When it returns, the callback is not running and will not run again. */
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelRemoveDSP(KAUDIO_DWORD handle, KAUDIO_HDSP dsp);
KAUDIO_API KAUDIO_HFX KAUDIO_ChannelSetFX(KAUDIO_DWORD handle, KAUDIO_DWORD type, int priority);
KAUDIO_API KAUDIO_BOOL KAUDIO_FXSetParameters(KAUDIO_HFX handle, const void* params);
KAUDIO_API KAUDIO_BOOL KAUDIO_FXGetParameters(KAUDIO_HFX handle, void* params);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelRemoveFX(KAUDIO_DWORD handle, KAUDIO_HFX fx);
KAUDIO_API KAUDIO_HSYNC KAUDIO_ChannelSetSync(KAUDIO_DWORD handle, KAUDIO_DWORD type,
                                              KAUDIO_QWORD param, KAUDIO_SYNCPROC* proc,
                                              void* user);
KAUDIO_API KAUDIO_BOOL KAUDIO_ChannelRemoveSync(KAUDIO_DWORD handle, KAUDIO_HSYNC sync);
/* Owned by the channel and valid until it is freed; NULL when the block does not exist. */
KAUDIO_API const char* KAUDIO_ChannelGetTags(KAUDIO_DWORD handle, KAUDIO_DWORD tags);

/* ---- Tags ---- */
/* Expands %TITL %ARTI %ALBM %GNRE %YEAR %CMNT %TRCK %COMP %COPY %SUBT %AART %DISC (empty
 * when absent), %IFV1(x,a), %IFV2(x,a,b) and %% for the channel's file. The text is owned by
 * the calling thread and valid until its next call. */
KAUDIO_API const char* KAUDIO_TAGS_Read(KAUDIO_DWORD handle, const char* fmt);

/* ---- Audio CDs ----
 * Drives are numbered from 0: first the system's drives (/dev/sr0, /dev/sr1, ...), then the
 * disc images (".cue" with its ".bin" files) made known with
 * KAUDIO_CD_DriveFromPath, which stand as drives for every call below. Tracks count from 0.
 * Every call reads the disc afresh, so a changed disc is seen at once. Any thread. */
typedef struct KAUDIO_CD_INFO {
  const char* path;    /* the drive's device or image path */
  const char* vendor;  /* texts valid until the next call on this thread */
  const char* product;
  const char* rev;
  KAUDIO_DWORD rwflags;  /* what it reads (0x1 CD-R, 0x2 CD-RW, 0x1000000 audio, ...) */
  KAUDIO_DWORD maxspeed; /* KB/s, 0 when unknown */
  KAUDIO_DWORD cache;    /* KB, 0 when unknown */
  KAUDIO_BOOL cdtext;
  KAUDIO_BOOL analog;    /* can play through its own audio output */
  KAUDIO_BOOL image;     /* a disc image, not a device */
} KAUDIO_CD_INFO;

#define KAUDIO_CDID_CDDB 2 /* freedb query: "discid tracks offset... seconds" */

/* False past the last drive. */
KAUDIO_API KAUDIO_BOOL KAUDIO_CD_GetInfo(KAUDIO_DWORD drive, KAUDIO_CD_INFO* info);
/* The drive number of a device or image path (an image is added on first use); -1 when the
 * path is neither. */
KAUDIO_API int KAUDIO_CD_DriveFromPath(const char* path);
KAUDIO_API KAUDIO_BOOL KAUDIO_CD_IsReady(KAUDIO_DWORD drive);
/* Tracks on the disc, (DWORD)-1 on error (no disc: KAUDIO_ERROR_NOCD). */
KAUDIO_API KAUDIO_DWORD KAUDIO_CD_GetTracks(KAUDIO_DWORD drive);
/* Bytes of 16-bit stereo data; (DWORD)-1 for a data track or on error. */
KAUDIO_API KAUDIO_DWORD KAUDIO_CD_GetTrackLength(KAUDIO_DWORD drive, KAUDIO_DWORD track);
/* Text owned by the calling thread, valid until its next call; NULL on error. */
KAUDIO_API const char* KAUDIO_CD_GetID(KAUDIO_DWORD drive, KAUDIO_DWORD id);
/* A track read digitally: 44100 Hz stereo; flags as for files (float, decode). */
KAUDIO_API KAUDIO_HSTREAM KAUDIO_CD_StreamCreate(KAUDIO_DWORD drive, KAUDIO_DWORD track,
                                                KAUDIO_DWORD flags);
/* Analog playback through the drive's own output, from pos sectors into the track to its end.
 * Images have no output: false with KAUDIO_ERROR_NOTAVAIL. */
KAUDIO_API KAUDIO_BOOL KAUDIO_CD_Analog_Play(KAUDIO_DWORD drive, KAUDIO_DWORD track,
                                            KAUDIO_DWORD pos);
KAUDIO_API KAUDIO_BOOL KAUDIO_CD_Analog_Stop(KAUDIO_DWORD drive);
/* KAUDIO_ACTIVE_PLAYING, KAUDIO_ACTIVE_PAUSED or KAUDIO_ACTIVE_STOPPED. */
KAUDIO_API KAUDIO_DWORD KAUDIO_CD_Analog_IsActive(KAUDIO_DWORD drive);
/* Sectors into the track in the low word, the track in the high word; (DWORD)-1 on error. */
KAUDIO_API KAUDIO_DWORD KAUDIO_CD_Analog_GetPosition(KAUDIO_DWORD drive);
/* ---- Recording ---- */
/* Inputs: KAUDIO_RecordGetInput gives the input's type in the top byte and
 * KAUDIO_INPUT_OFF when it is switched off; KAUDIO_RecordSetInput takes KAUDIO_INPUT_OFF or
 * KAUDIO_INPUT_ON, volume 0..1 or -1 to leave it. On a sound server every source (monitors
 * included) is an input and switching one on makes it the one recorded; on bare ALSA the
 * capture devices are the inputs. */
#define KAUDIO_INPUT_OFF 0x10000
#define KAUDIO_INPUT_ON 0x20000
#define KAUDIO_INPUT_TYPE_MASK 0xFF000000u
#define KAUDIO_INPUT_TYPE_UNDEF 0x00000000
#define KAUDIO_INPUT_TYPE_DIGITAL 0x01000000
#define KAUDIO_INPUT_TYPE_LINE 0x02000000
#define KAUDIO_INPUT_TYPE_MIC 0x03000000
#define KAUDIO_INPUT_TYPE_SYNTH 0x04000000
#define KAUDIO_INPUT_TYPE_CD 0x05000000
#define KAUDIO_INPUT_TYPE_PHONE 0x06000000
#define KAUDIO_INPUT_TYPE_SPEAKER 0x07000000
#define KAUDIO_INPUT_TYPE_WAVE 0x08000000
#define KAUDIO_INPUT_TYPE_AUX 0x09000000
#define KAUDIO_INPUT_TYPE_ANALOG 0x0A000000
#define KAUDIO_RECORD_PAUSE 0x8000 /* start paused: KAUDIO_ChannelPlay releases it */

typedef KAUDIO_HANDLE KAUDIO_HRECORD;
/* Runs on the recording thread with the captured samples (float with KAUDIO_SAMPLE_FLOAT,
 * else 16-bit); false ends the recording. */
typedef KAUDIO_BOOL KAUDIO_RECORDPROC(KAUDIO_HRECORD handle, const void* buffer, KAUDIO_DWORD length,
                                      void* user);

/* device: -1 the default capture device (the sound server when one answers). */
KAUDIO_API KAUDIO_BOOL KAUDIO_RecordInit(int device);
KAUDIO_API KAUDIO_BOOL KAUDIO_RecordFree(void); /* stops a recording that still runs */
/* Owned by the library until KAUDIO_RecordFree; NULL past the last input. */
KAUDIO_API const char* KAUDIO_RecordGetInputName(int input);
/* Flags as above, (DWORD)-1 past the last input; *volume (may be NULL) 0..1. */
KAUDIO_API KAUDIO_DWORD KAUDIO_RecordGetInput(int input, float* volume);
KAUDIO_API KAUDIO_BOOL KAUDIO_RecordSetInput(int input, KAUDIO_DWORD flags, float volume);
/* A recording channel: KAUDIO_ChannelPlay releases a paused start, KAUDIO_ChannelStop ends
 * and frees it, KAUDIO_ChannelIsActive tells whether it runs. Encoders may be attached. */
KAUDIO_API KAUDIO_HRECORD KAUDIO_RecordStart(KAUDIO_DWORD freq, KAUDIO_DWORD chans, KAUDIO_DWORD flags,
                                             KAUDIO_RECORDPROC* proc, void* user);

/* ---- Encoding ---- */
/* An encoder takes the samples of a channel (after its effects, as they are decoded or
 * played) or of a recording. A command line is split into words as a shell would (quotes
 * respected) but never run by one; the program is looked up on PATH and gets a WAV header
 * and the samples on its standard input. With KAUDIO_ENCODE_PCM the command line is the
 * name of a plain WAV file to write instead. */
#define KAUDIO_ENCODE_NOHEAD 1
#define KAUDIO_ENCODE_FP_8BIT 2
#define KAUDIO_ENCODE_FP_16BIT 4
#define KAUDIO_ENCODE_FP_24BIT 6
#define KAUDIO_ENCODE_FP_32BIT 8
#define KAUDIO_ENCODE_PCM 0x40
#define KAUDIO_ENCODE_AUTOFREE 0x40000 /* the encoder ends when its channel is freed */
#define KAUDIO_ERROR_ACM_CANCEL 2000

typedef KAUDIO_HANDLE KAUDIO_HENCODE;
/* proc and user are reserved (NULL). 0 on failure: KAUDIO_ERROR_FILEOPEN when the program
 * cannot be started or the file not created. */
KAUDIO_API KAUDIO_HENCODE KAUDIO_Encode_Start(KAUDIO_DWORD handle, const char* cmdline, KAUDIO_DWORD flags,
                                              void* proc, void* user);
/* handle: an encoder or its channel. KAUDIO_ACTIVE_PLAYING while the program runs (the WAV
 * writer while its file can be written), else KAUDIO_ACTIVE_STOPPED. */
KAUDIO_API KAUDIO_DWORD KAUDIO_Encode_IsActive(KAUDIO_DWORD handle);
/* handle: an encoder, or a channel (all of its encoders). Closes the program's input and
 * waits for it to finish (a program that hangs is ended by force); never leaves a child. */
KAUDIO_API KAUDIO_BOOL KAUDIO_Encode_Stop(KAUDIO_DWORD handle);

/* ---- The internal codec writer ----
 * Files written through libsndfile in a format the user picks. The program installs the
 * chooser that presents the formats; the library offers those that can hold the channel's
 * rate and channel count (WAV PCM 16/24/32-bit and float, FLAC, Ogg Vorbis, Opus). */
typedef struct KAUDIO_ACMFORMAT {
  KAUDIO_DWORD format; /* libsndfile major format | subtype */
  KAUDIO_DWORD rate;
  KAUDIO_DWORD chans;
  char name[64];       /* "FLAC", "WAV PCM 16-bit", ... */
} KAUDIO_ACMFORMAT;
#define KAUDIO_ACM_DEFAULT 1 /* the chooser starts at the first format (and no chooser takes it) */
/* Returns the index of the chosen format, or -1 when the user cancelled. Runs on the caller's
 * thread of KAUDIO_Encode_GetACMFormat. */
typedef int KAUDIO_ACMCHOOSERPROC(const KAUDIO_ACMFORMAT* formats, int count, int initial, const char* title,
                                  void* user);
KAUDIO_API void KAUDIO_Encode_SetACMChooser(KAUDIO_ACMCHOOSERPROC* proc, void* user);
/* formlen 0: the size a format needs. Otherwise the chooser picks one for the channel; the
 * size written, or 0 (KAUDIO_ERROR_ACM_CANCEL when the user cancelled). */
KAUDIO_API KAUDIO_DWORD KAUDIO_Encode_GetACMFormat(KAUDIO_DWORD handle, void* form, KAUDIO_DWORD formlen,
                                                   const char* title, KAUDIO_DWORD flags);
/* Writes file in the chosen format; flags as for KAUDIO_Encode_Start (AUTOFREE). */
KAUDIO_API KAUDIO_HENCODE KAUDIO_Encode_StartACMFile(KAUDIO_DWORD handle, const void* form, KAUDIO_DWORD flags,
                                                     const char* file);

#ifdef __cplusplus
}
#endif

#endif /* KAUDIO_H */
