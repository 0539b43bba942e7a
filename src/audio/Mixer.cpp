#include "audio/Mixer.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace kaudio {

bool Mixer::Attach(Voice* voice) {
  for (auto& slot : slots_) {
    if (slot.load() == voice) return true;
  }
  for (auto& slot : slots_) {
    Voice* expected = nullptr;
    if (slot.compare_exchange_strong(expected, voice)) return true;
  }
  return false;
}

void Mixer::Detach(Voice* voice) {
  bool found = false;
  for (auto& slot : slots_) {
    Voice* expected = voice;
    if (slot.compare_exchange_strong(expected, nullptr)) found = true;
  }
  if (found) WaitForPass();
}

void Mixer::DetachAll() {
  for (auto& slot : slots_) slot.store(nullptr);
  WaitForPass();
}

void Mixer::WaitForPass() {
  const uint64_t seen = pass_.load(std::memory_order_acquire);
  if ((seen & 1) == 0) return;  // no pass running: nobody holds the old pointer
  while (pass_.load(std::memory_order_acquire) == seen) std::this_thread::yield();
}

bool Mixer::HasPlayingVoice() const {
  for (const auto& slot : slots_) {
    const Voice* v = slot.load(std::memory_order_acquire);
    if (v && !v->paused.load(std::memory_order_relaxed)) return true;
  }
  return false;
}

void Mixer::Rewind(uint64_t heardFrame) {
  for (auto& slot : slots_)
    if (Voice* v = slot.load(std::memory_order_acquire)) v->RewindTo(heardFrame);
}

void Mixer::Mix(float* out, uint32_t frames, uint64_t deviceFrame) {
  const auto t0 = std::chrono::steady_clock::now();
  pass_.fetch_add(1, std::memory_order_acq_rel);
  std::memset(out, 0, sizeof(float) * frames * Voice::kOutChannels);
  bool sounding = false;
  for (auto& slot : slots_) {
    Voice* v = slot.load(std::memory_order_acquire);
    if (v && !v->paused.load(std::memory_order_relaxed) && v->MixInto(out, frames, deviceFrame))
      sounding = true;
  }
  if (sounding) silentFrames_.store(0, std::memory_order_relaxed);
  else silentFrames_.fetch_add(frames, std::memory_order_relaxed);
  for (uint32_t i = 0; i < frames * Voice::kOutChannels; ++i) {
    if (out[i] > 1.0f) out[i] = 1.0f;
    else if (out[i] < -1.0f) out[i] = -1.0f;
  }
  pass_.fetch_add(1, std::memory_order_acq_rel);
  busyNanos_.fetch_add(uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::steady_clock::now() - t0).count()),
                       std::memory_order_relaxed);
}

}  // namespace kaudio
