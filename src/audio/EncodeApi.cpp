// Encoders attached to channels (through a DSP hook that runs after every effect) or to the
// recording. Each encoder has its own handle; the table lock is never held while an
// encoder writes or finishes.
#include <kaudio.h>
#include <sndfile.h>

#include <climits>
#include <cstring>
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


// The rate, channel count and sample flags of a channel or recording.
bool ChannelSourceFormat(KAUDIO_DWORD handle, EncoderFormat& format, uint32_t& channelFlags, bool& recording) {
  recording = IsRecordingHandle(handle);
  if (recording) return RecordingFormat(handle, &format.rate, &format.channels, &channelFlags);
  KAUDIO_CHANNELINFO info{};
  if (!KAUDIO_ChannelGetInfo(handle, &info)) return false;
  format.rate = info.freq;
  format.channels = info.chans;
  channelFlags = info.flags;
  return true;
}

KAUDIO_HENCODE Attach(KAUDIO_DWORD handle, bool recording, const std::shared_ptr<Encoder>& encoder, KAUDIO_DWORD flags);

std::mutex g_chooserMutex;
KAUDIO_ACMCHOOSERPROC* g_chooser = nullptr;
void* g_chooserUser = nullptr;

// The formats libsndfile can write at this rate and channel count, in the order offered.
std::vector<KAUDIO_ACMFORMAT> CodecFormats(uint32_t rate, uint32_t chans) {
  struct Candidate {
    int format;
    const char* name;
  };
  static const Candidate candidates[] = {
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "WAV PCM 16-bit"}, {SF_FORMAT_WAV | SF_FORMAT_PCM_24, "WAV PCM 24-bit"},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_32, "WAV PCM 32-bit"}, {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV 32-bit float"},
      {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "FLAC 16-bit"},   {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC 24-bit"},
      {SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg Vorbis"},     {SF_FORMAT_OGG | SF_FORMAT_OPUS, "Opus"},
  };
  std::vector<KAUDIO_ACMFORMAT> list;
  for (const auto& c : candidates) {
    SF_INFO info{};
    info.samplerate = int(rate);
    info.channels = int(chans);
    info.format = c.format;
    if (!sf_format_check(&info)) continue;
    // The check lets Opus pass at any rate, but its writer takes only these.
    if ((c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS && rate != 8000 && rate != 12000 && rate != 16000 &&
        rate != 24000 && rate != 48000)
      continue;
    KAUDIO_ACMFORMAT f{};
    f.format = KAUDIO_DWORD(c.format);
    f.rate = rate;
    f.chans = chans;
    std::strncpy(f.name, c.name, sizeof f.name - 1);
    list.push_back(f);
  }
  return list;
}

}  // namespace

void KAUDIO_Encode_SetACMChooser(KAUDIO_ACMCHOOSERPROC* proc, void* user) {
  std::lock_guard lock(g_chooserMutex);
  g_chooser = proc;
  g_chooserUser = user;
}

KAUDIO_DWORD KAUDIO_Encode_GetACMFormat(KAUDIO_DWORD handle, void* form, KAUDIO_DWORD formlen, const char* title,
                                        KAUDIO_DWORD flags) {
  if (formlen == 0) return SetError(0), KAUDIO_DWORD(sizeof(KAUDIO_ACMFORMAT));
  if (!form || formlen < sizeof(KAUDIO_ACMFORMAT)) return Fail(KAUDIO_ERROR_ILLPARAM);
  EncoderFormat format;
  uint32_t channelFlags = 0;
  bool recording = false;
  if (!ChannelSourceFormat(handle, format, channelFlags, recording)) return Fail(KAUDIO_ERROR_HANDLE);
  const auto formats = CodecFormats(format.rate, format.channels);
  if (formats.empty()) return Fail(KAUDIO_ERROR_CODEC);
  KAUDIO_ACMCHOOSERPROC* chooser;
  void* user;
  {
    std::lock_guard lock(g_chooserMutex);
    chooser = g_chooser;
    user = g_chooserUser;
  }
  int chosen = 0;
  if (chooser) chosen = chooser(formats.data(), int(formats.size()), 0, title ? title : "", user);
  else if (!(flags & KAUDIO_ACM_DEFAULT)) chosen = -1;
  if (chosen < 0 || size_t(chosen) >= formats.size()) return Fail(KAUDIO_ERROR_ACM_CANCEL);
  std::memcpy(form, &formats[size_t(chosen)], sizeof(KAUDIO_ACMFORMAT));
  SetError(0);
  return KAUDIO_DWORD(sizeof(KAUDIO_ACMFORMAT));
}

KAUDIO_HENCODE KAUDIO_Encode_StartACMFile(KAUDIO_DWORD handle, const void* form, KAUDIO_DWORD flags, const char* file) {
  if (!form || !file) return Fail(KAUDIO_ERROR_ILLPARAM);
  KAUDIO_ACMFORMAT chosen;
  std::memcpy(&chosen, form, sizeof chosen);
  EncoderFormat format;
  uint32_t channelFlags = 0;
  bool recording = false;
  if (!ChannelSourceFormat(handle, format, channelFlags, recording)) return Fail(KAUDIO_ERROR_HANDLE);
  auto encoder = std::make_shared<Encoder>();
  if (!encoder->StartCodecFile(file, format, int(chosen.format))) return Fail(KAUDIO_ERROR_CREATE);
  return Attach(handle, recording, encoder, flags);
}

KAUDIO_HENCODE KAUDIO_Encode_Start(KAUDIO_DWORD handle, const char* cmdline, KAUDIO_DWORD flags, void*, void*) {
  if (!cmdline) return Fail(KAUDIO_ERROR_ILLPARAM);
  EncoderFormat format;
  uint32_t channelFlags = 0;
  bool recording = false;
  if (!ChannelSourceFormat(handle, format, channelFlags, recording)) return Fail(KAUDIO_ERROR_HANDLE);
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
  return Attach(handle, recording, encoder, flags);
}

namespace {

KAUDIO_HENCODE Attach(KAUDIO_DWORD handle, bool recording, const std::shared_ptr<Encoder>& encoder, KAUDIO_DWORD flags) {
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

}  // namespace

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
