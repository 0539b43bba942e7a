// Encoders attached to channels (through a DSP hook that runs after every effect) or to the
// recording. Each encoder has its own handle; the table lock is never held while an
// encoder writes or finishes.
#include <kaudio.h>

#include <climits>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "audio/Encoder.h"
#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/Recording.h"

using namespace kaudio;

namespace {

struct Attached {
  uint32_t channel = 0;
  uint32_t dsp = 0;
  uint32_t sync = 0;
  bool recording = false;
  std::shared_ptr<Encoder> encoder;
};

std::mutex g_mutex;
std::unordered_map<uint32_t, Attached> g_encoders;

void FeedFromDsp(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void* user) {
  static_cast<Encoder*>(user)->Feed(static_cast<const float*>(buffer), length / sizeof(float));
}

std::vector<std::pair<uint32_t, Attached>> Take(uint32_t handle) {
  std::vector<std::pair<uint32_t, Attached>> taken;
  std::lock_guard lock(g_mutex);
  auto it = g_encoders.find(handle);
  if (it != g_encoders.end()) {
    taken.emplace_back(it->first, std::move(it->second));
    g_encoders.erase(it);
    return taken;
  }
  for (auto i = g_encoders.begin(); i != g_encoders.end();) {
    if (i->second.channel == handle) {
      taken.emplace_back(i->first, std::move(i->second));
      i = g_encoders.erase(i);
    } else {
      ++i;
    }
  }
  return taken;
}

void Finish(std::pair<uint32_t, Attached>& entry) {
  Attached& a = entry.second;
  if (a.recording) {
    RecordingDetach(a.channel, a.encoder.get());
  } else {
    // After this no DSP call can reach the encoder.
    KAUDIO_ChannelRemoveDSP(a.channel, a.dsp);
    if (a.sync) KAUDIO_ChannelRemoveSync(a.channel, a.sync);
  }
  a.encoder->Stop();
}

void StopWithChannel(KAUDIO_HSYNC, KAUDIO_DWORD channel, KAUDIO_DWORD, void* user) {
  const uint32_t encoder = uint32_t(reinterpret_cast<uintptr_t>(user));
  (void)channel;
  auto taken = Take(encoder);
  for (auto& e : taken) e.second.encoder->Stop();  // the channel and its hooks are gone
}

}  // namespace

KAUDIO_HENCODE KAUDIO_Encode_Start(KAUDIO_DWORD handle, const char* cmdline, KAUDIO_DWORD flags, void*, void*) {
  if (!cmdline) return Fail(KAUDIO_ERROR_ILLPARAM);
  EncoderFormat format;
  uint32_t channelFlags = 0;
  const bool recording = IsRecordingHandle(handle);
  if (recording) {
    if (!RecordingFormat(handle, &format.rate, &format.channels, &channelFlags)) return Fail(KAUDIO_ERROR_HANDLE);
  } else {
    KAUDIO_CHANNELINFO info{};
    if (!KAUDIO_ChannelGetInfo(handle, &info)) return Fail(KAUDIO_ERROR_HANDLE);
    format.rate = info.freq;
    format.channels = info.chans;
    channelFlags = info.flags;
  }
  // Samples reach the encoder as float; without a size in the flags it gets the channel's own.
  format.bits = EncoderBitsForFlags(flags, channelFlags);
  auto encoder = std::make_shared<Encoder>();
  if (flags & KAUDIO_ENCODE_PCM) {
    if (!encoder->StartWavFile(cmdline, format)) return Fail(KAUDIO_ERROR_CREATE);
  } else {
    int error = 0;
    if (!encoder->StartProgram(cmdline, format, !(flags & KAUDIO_ENCODE_NOHEAD), &error))
      return Fail(KAUDIO_ERROR_FILEOPEN);
  }
  const uint32_t h = NewHandle();
  Attached a;
  a.channel = handle;
  a.recording = recording;
  a.encoder = encoder;
  if (recording) {
    RecordingAttach(handle, encoder);
  } else {
    a.dsp = KAUDIO_ChannelSetDSP(handle, &FeedFromDsp, encoder.get(), INT_MIN);
    if (!a.dsp) {
      encoder->Stop();
      return Fail(KAUDIO_ERROR_HANDLE);
    }
    if (flags & KAUDIO_ENCODE_AUTOFREE)
      a.sync = KAUDIO_ChannelSetSync(handle, KAUDIO_SYNC_FREE, 0, &StopWithChannel,
                                     reinterpret_cast<void*>(uintptr_t(h)));
  }
  {
    std::lock_guard lock(g_mutex);
    g_encoders.emplace(h, std::move(a));
  }
  SetError(0);
  return h;
}

KAUDIO_DWORD KAUDIO_Encode_IsActive(KAUDIO_DWORD handle) {
  std::vector<std::shared_ptr<Encoder>> list;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_encoders.find(handle);
    if (it != g_encoders.end()) {
      list.push_back(it->second.encoder);
    } else {
      for (auto& [h, a] : g_encoders)
        if (a.channel == handle) list.push_back(a.encoder);
    }
  }
  if (list.empty()) return Fail(KAUDIO_ERROR_HANDLE);
  SetError(0);
  for (auto& e : list)
    if (e->IsRunning()) return KAUDIO_ACTIVE_PLAYING;
  return KAUDIO_ACTIVE_STOPPED;
}

KAUDIO_BOOL KAUDIO_Encode_Stop(KAUDIO_DWORD handle) {
  auto taken = Take(handle);
  if (taken.empty()) return Fail(KAUDIO_ERROR_HANDLE);
  for (auto& e : taken) Finish(e);
  SetError(0);
  return 1;
}
