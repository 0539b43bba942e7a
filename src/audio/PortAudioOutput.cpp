#include "audio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <mutex>

namespace kaudio {

namespace {
std::mutex g_paMutex;
bool g_paUp = false;
}  // namespace

bool PortAudioStartup() {
  std::lock_guard lock(g_paMutex);
  if (!g_paUp) g_paUp = Pa_Initialize() == paNoError;
  return g_paUp;
}

void PortAudioShutdown() {
  std::lock_guard lock(g_paMutex);
  if (g_paUp) Pa_Terminate();
  g_paUp = false;
}

std::vector<PortAudioDeviceEntry> PortAudioOutputDevices() {
  std::vector<PortAudioDeviceEntry> list;
  if (!PortAudioStartup()) return list;
  const int count = Pa_GetDeviceCount();
  const PaDeviceIndex def = Pa_GetDefaultOutputDevice();
  for (int i = 0; i < count; ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (!info || info->maxOutputChannels < 1) continue;
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
    list.push_back({i, info->name ? info->name : "", host && host->name ? host->name : "",
                    i == def});
  }
  return list;
}

PortAudioOutput::~PortAudioOutput() { Close(); }

static int PaCallback(const void*, void* out, unsigned long frames,
                      const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user) {
  static_cast<PortAudioOutput*>(user)->RunMix(static_cast<float*>(out), uint32_t(frames));
  return paContinue;
}

bool PortAudioOutput::Open(uint32_t rate, uint32_t channels, MixCallback mix, void* user) {
  if (!PortAudioStartup()) return false;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(paIndex_);
  // The mixer always produces stereo frames.
  if (!info || info->maxOutputChannels < int(channels)) return false;
  rate_ = rate;
  channels_ = channels;
  mix_ = mix;
  user_ = user;
  name_ = info->name ? info->name : "";
  const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
  driver_ = host && host->name ? host->name : "";
  PaStreamParameters params{};
  params.device = paIndex_;
  params.channelCount = int(channels_);
  params.sampleFormat = paFloat32;
  params.suggestedLatency = info->defaultLowOutputLatency;
  PaStream* stream = nullptr;
  if (Pa_OpenStream(&stream, nullptr, &params, rate, paFramesPerBufferUnspecified, paClipOff,
&PaCallback, this) != paNoError)
    return false;
  stream_ = stream;
  if (const PaStreamInfo* si = Pa_GetStreamInfo(stream))
    latencyFrames_ = uint32_t(si->outputLatency * rate);
  return true;
}

bool PortAudioOutput::Start() {
  if (!stream_) return false;
  if (running_) return true;
  if (Pa_StartStream(static_cast<PaStream*>(stream_)) != paNoError) return false;
  running_ = true;
  return true;
}

bool PortAudioOutput::Pause() {
  if (!stream_) return false;
  if (running_) Pa_AbortStream(static_cast<PaStream*>(stream_));
  running_ = false;
  return true;
}

void PortAudioOutput::Close() {
  if (!stream_) return;
  Pause();
  Pa_CloseStream(static_cast<PaStream*>(stream_));
  stream_ = nullptr;
}

}  // namespace kaudio
