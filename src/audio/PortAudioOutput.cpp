#include "audio/PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <cmath>

#include "audio/Mixer.h"

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
                      const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags, void* user) {
  const bool more = static_cast<PortAudioOutput*>(user)->RunMix(
      static_cast<float*>(out), uint32_t(frames), time ? time->outputBufferDacTime : 0.0);
  // Once idle the stream plays out what it holds and stops until Wake.
  return more ? paContinue : paComplete;
}

bool PortAudioOutput::RunMix(float* out, uint32_t frames, double dacTime) {
  const uint64_t start = mixed_.load(std::memory_order_relaxed);
  blockFrames_.store(frames, std::memory_order_relaxed);
  // A stream that has just started may drop its first buffer (ALSA's sound-server plug-in
  // does): it gets silence, and the voices wait.
  const uint32_t prime = priming_.load(std::memory_order_relaxed);
  if (prime > 0) {
    std::fill(out, out + size_t(frames) * channels_, 0.0f);
    priming_.store(prime > frames ? prime - frames : 0, std::memory_order_relaxed);
  } else {
    mixer_->Mix(out, frames, start);
  }
  blockStart_.store(start, std::memory_order_relaxed);
  blockDacTime_.store(dacTime, std::memory_order_relaxed);
  mixed_.store(start + frames, std::memory_order_release);
  return mixer_->SilentFrames() < IdleAfterFrames(*this);
}

uint64_t PortAudioOutput::PlayedFrames() const {
  const uint64_t mixed = mixed_.load(std::memory_order_acquire);
  auto* stream = static_cast<PaStream*>(stream_);
  if (!stream || Pa_IsStreamActive(stream) != 1) return mixed;  // stopped: all was played
  const double dac = blockDacTime_.load(std::memory_order_relaxed);
  const uint64_t start = blockStart_.load(std::memory_order_relaxed);
  if (dac <= 0.0)  // no timing from the host: assume the buffer is full
    return mixed > latencyFrames_ ? mixed - latencyFrames_ : 0;
  const double ahead = (Pa_GetStreamTime(stream) - dac) * rate_;
  const int64_t played = int64_t(start) + int64_t(std::floor(ahead));
  return uint64_t(std::clamp<int64_t>(played, 0, int64_t(mixed)));
}

bool PortAudioOutput::Open(uint32_t rate, uint32_t channels, Mixer* mixer) {
  if (!PortAudioStartup()) return false;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(paIndex_);
  // The mixer always produces stereo frames.
  if (!info || info->maxOutputChannels < int(channels)) return false;
  rate_ = rate;
  channels_ = channels;
  mixer_ = mixer;
  name_ = info->name ? info->name : "";
  const PaHostApiInfo* host = Pa_GetHostApiInfo(info->hostApi);
  driver_ = host && host->name ? host->name : "";
  PaStreamParameters params{};
  params.device = paIndex_;
  params.channelCount = int(channels_);
  params.sampleFormat = paFloat32;
  // A tenth of a second lets the process sleep between blocks where the device's low
  // latency would wake it every few milliseconds, and is short enough to be heard out after a
  // seek; a pause drops it and plays it again on resume.
  params.suggestedLatency = std::max(info->defaultLowOutputLatency, 0.1);
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
  std::lock_guard lock(control_);
  auto* stream = static_cast<PaStream*>(stream_);
  if (!stream) return false;
  mixer_->EndSilence();
  if (Pa_IsStreamActive(stream) == 1 || !mixer_->HasPlayingVoice()) {
    // Nothing to play: the stream starts with the first voice (Wake).
    running_ = true;
    return true;
  }
  // A stream that completed while idle must be stopped before it starts again.
  if (Pa_IsStreamStopped(stream) == 0) Pa_StopStream(stream);
  priming_ = latencyFrames_;
  if (Pa_StartStream(stream) != paNoError) return false;
  running_ = true;
  return true;
}

void PortAudioOutput::AbortAndRewind() {
  auto* stream = static_cast<PaStream*>(stream_);
  const uint64_t heard = PlayedFrames();
  if (Pa_IsStreamStopped(stream) == 0) Pa_AbortStream(stream);
  // The callback no longer runs: move the voices and the clock back to what was heard.
  mixer_->Rewind(heard);
  mixed_.store(heard, std::memory_order_release);
  blockStart_.store(heard, std::memory_order_relaxed);
  blockDacTime_.store(0.0, std::memory_order_relaxed);
}

bool PortAudioOutput::Pause() {
  std::lock_guard lock(control_);
  if (!stream_) return false;
  AbortAndRewind();
  running_ = false;
  return true;
}

void PortAudioOutput::DropQueued() {
  std::lock_guard lock(control_);
  auto* stream = static_cast<PaStream*>(stream_);
  if (!stream || !running_ || Pa_IsStreamActive(stream) != 1) return;
  // The stream holds a tenth of a second and the sound server behind ALSA more: stopped
  // and started again, the new place is heard at once.
  AbortAndRewind();
  if (!mixer_->HasPlayingVoice()) return;  // the next voice starts it (Wake)
  // One block of silence is enough for what the plug-in drops of a new stream; a whole
  // buffer of it would be heard as a gap at the seek.
  const uint32_t block = blockFrames_.load(std::memory_order_relaxed);
  priming_ = block ? block : latencyFrames_;
  Pa_StartStream(stream);
}

void PortAudioOutput::Wake() {
  mixer_->EndSilence();
  if (!running_) return;
  std::lock_guard lock(control_);
  auto* stream = static_cast<PaStream*>(stream_);
  if (!stream || !running_ || Pa_IsStreamActive(stream) == 1) return;
  if (Pa_IsStreamStopped(stream) == 0) Pa_StopStream(stream);
  priming_ = latencyFrames_;
  Pa_StartStream(stream);
}

void PortAudioOutput::Close() {
  if (!stream_) return;
  Pause();
  Pa_CloseStream(static_cast<PaStream*>(stream_));
  stream_ = nullptr;
}

}  // namespace kaudio
