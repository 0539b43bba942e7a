// Sums the attached voices into the device buffer. Runs on the device's thread; takes no
// locks and allocates nothing. Attaching and detaching happen on other threads through a
// fixed table of atomic slots; Detach waits until no mixing pass can still see the voice.
#pragma once

#include <atomic>
#include <cstdint>

#include "audio/Voice.h"

namespace kaudio {

class Mixer {
 public:
  static constexpr int kSlots = 256;

  bool Attach(Voice* voice);
  void Detach(Voice* voice);
  void DetachAll();
  static void MixCallback(float* out, uint32_t frames, void* user);
  void Mix(float* out, uint32_t frames);
  // Nanoseconds spent mixing, summed since start.
  uint64_t BusyNanos() const { return busyNanos_.load(std::memory_order_relaxed); }

 private:
  void WaitForPass();
  std::atomic<Voice*> slots_[kSlots]{};
  std::atomic<uint64_t> pass_{0};  // odd while a pass is running
  std::atomic<uint64_t> busyNanos_{0};
};

}  // namespace kaudio
