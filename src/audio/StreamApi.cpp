// Creating and freeing channels: files, modules, user streams and tempo streams.
#include <kaudio.h>

#include <fstream>
#include <iterator>

#include "audio/AddonRegistry.h"
#include "audio/ChannelPublish.h"
#include "audio/Errors.h"
#include "audio/FileSource.h"
#include "audio/Library.h"
#include "audio/ModuleSource.h"
#include "audio/SyncDispatcher.h"
#include "audio/TempoSource.h"
#include "audio/UserSource.h"

using namespace kaudio;

namespace {

constexpr uint32_t kStreamFlags = KAUDIO_SAMPLE_8BITS | KAUDIO_SAMPLE_MONO | KAUDIO_SAMPLE_FLOAT |
                                  KAUDIO_STREAM_PRESCAN | KAUDIO_STREAM_AUTOFREE |
                                  KAUDIO_STREAM_DECODE | KAUDIO_MUSIC_RAMP | KAUDIO_MUSIC_RAMPS |
                                  KAUDIO_MUSIC_SURROUND | KAUDIO_MUSIC_SURROUND2 |
                                  KAUDIO_MUSIC_FT2MOD | KAUDIO_MUSIC_PT1MOD | KAUDIO_MUSIC_NONINTER |
                                  KAUDIO_STREAM_RESTRATE | KAUDIO_STREAM_BLOCK | KAUDIO_STREAM_STATUS |
                                  KAUDIO_FX_FREESOURCE;

bool ReadWhole(const std::string& path, uint64_t offset, uint64_t length, std::vector<uint8_t>* out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  f.seekg(std::streamoff(offset));
  if (!f) return true;  // past the end: an empty module, reported as a format error
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (length && data.size() > length) data.resize(length);
  *out = std::move(data);
  return true;
}

}  // namespace

uint32_t kaudio::PublishChannel(std::unique_ptr<ChannelSource> src, uint32_t flags, uint32_t ctype,
                                const std::string& name, uint32_t plugin) {
  const uint32_t h = NewHandle();
  auto ch = std::make_shared<Channel>(h, std::move(src), flags & ~KAUDIO_UNICODE, ctype);
  ch->filename = name;
  ch->plugin = plugin;
  ch->source->Attach(ch.get());
  RegisterChannel(ch);
  SetError(0);
  return h;
}

extern "C" {

KAUDIO_HSTREAM KAUDIO_StreamCreateFile(KAUDIO_BOOL mem, const void* file, KAUDIO_QWORD offset,
                                       KAUDIO_QWORD length, KAUDIO_DWORD flags) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  if (!file) return Fail(KAUDIO_ERROR_FILEOPEN);
  const bool prescan = flags & KAUDIO_STREAM_PRESCAN;
  int error = 0;
  if (mem) {
    if (!length) return Fail(KAUDIO_ERROR_ILLPARAM);
    auto src = FileSource::OpenMemory(static_cast<const uint8_t*>(file) + offset, length, prescan, &error);
    if (!src) return Fail(error);
    return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_FILE, "", 0);
  }
  const std::string path(static_cast<const char*>(file));
  {
    std::ifstream probe(path, std::ios::binary);
    if (!probe) return Fail(KAUDIO_ERROR_FILEOPEN);
  }
  uint32_t plugin = 0;
  // Add-ons that name this extension first, then our own decoder, then any other add-on.
  if (auto src = OpenWithAddons(path, true, &plugin, &error))
    return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_ADDON, path, plugin);
  if (auto src = FileSource::Open(path, prescan, &error))
    return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_FILE, path, 0);
  int builtinError = error;
  if (auto src = OpenWithAddons(path, false, &plugin, &error))
    return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_ADDON, path, plugin);
  return Fail(builtinError ? builtinError : KAUDIO_ERROR_FILEFORM);
}

KAUDIO_HMUSIC KAUDIO_MusicLoad(KAUDIO_BOOL mem, const void* file, KAUDIO_QWORD offset,
                               KAUDIO_DWORD length, KAUDIO_DWORD flags, KAUDIO_DWORD freq) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  if (!file) return Fail(KAUDIO_ERROR_FILEOPEN);
  std::vector<uint8_t> data;
  std::string name;
  if (mem) {
    if (!length) return Fail(KAUDIO_ERROR_ILLPARAM);
    const auto* p = static_cast<const uint8_t*>(file) + offset;
    data.assign(p, p + length);
  } else {
    name = static_cast<const char*>(file);
    if (!ReadWhole(name, offset, length, &data)) return Fail(KAUDIO_ERROR_FILEOPEN);
  }
  int error = 0;
  auto src = ModuleSource::Open(std::move(data), flags, freq ? freq : OutputRate(), &error);
  if (!src) return Fail(error);
  return PublishChannel(std::move(src), flags, KAUDIO_CTYPE_MUSIC, name, 0);
}

KAUDIO_HSTREAM KAUDIO_StreamCreate(KAUDIO_DWORD freq, KAUDIO_DWORD chans, KAUDIO_DWORD flags,
                                   KAUDIO_STREAMPROC* proc, void* user) {
  if (!IsInitialized()) return Fail(KAUDIO_ERROR_INIT);
  if (freq < 1000 || freq > 384000) return Fail(KAUDIO_ERROR_FREQ);
  if (chans < 1 || chans > 32) return Fail(KAUDIO_ERROR_FORMAT);
  const uint32_t bps = (flags & KAUDIO_SAMPLE_FLOAT) ? 4 : (flags & KAUDIO_SAMPLE_8BITS) ? 1 : 2;
  auto src = std::make_unique<UserSource>(freq, chans, bps, proc, user);
  UserSource* raw = src.get();
  const uint32_t h = PublishChannel(std::move(src), flags, KAUDIO_CTYPE_STREAM_USER, "", 0);
  raw->SetHandle(h);
  return h;
}

KAUDIO_HSTREAM KAUDIO_FX_TempoCreate(KAUDIO_DWORD chan, KAUDIO_DWORD flags) {
  auto inner = FindChannel(chan);
  if (!inner) return 0;
  if (!inner->IsDecode()) return Fail(KAUDIO_ERROR_DECODE);
  auto src = std::make_unique<TempoSource>(inner);
  // The tempo stream keeps the source's sample format unless it asks for float.
  const uint32_t own = (flags & ~KAUDIO_UNICODE) | (inner->flags & (KAUDIO_SAMPLE_FLOAT | KAUDIO_SAMPLE_8BITS));
  const uint32_t h = PublishChannel(std::move(src), own, KAUDIO_CTYPE_STREAM_TEMPO, inner->filename, inner->plugin);
  return h;
}

KAUDIO_DWORD KAUDIO_FX_TempoGetSource(KAUDIO_HSTREAM chan) {
  auto ch = FindChannel(chan);
  if (!ch) return 0;
  auto* t = dynamic_cast<TempoSource*>(ch->source.get());
  if (!t) return Fail(KAUDIO_ERROR_HANDLE);
  SetError(0);
  return t->Inner()->handle;
}

KAUDIO_BOOL KAUDIO_StreamFree(KAUDIO_HSTREAM handle) {
  if (!FreeChannel(handle)) return 0;
  // A sync callback may still be reading the channel's tags; they die with it, so let the
  // callbacks finish first (a call from the sync thread itself does not wait).
  Syncs().Drain();
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_MusicFree(KAUDIO_HMUSIC handle) { return KAUDIO_StreamFree(handle); }

}  // extern "C"
