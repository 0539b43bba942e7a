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
  // Device thread: fills frames stereo frames that the device plays from its frame
  // deviceFrame on.
  void Mix(float* out, uint32_t frames, uint64_t deviceFrame);
  // Device thread, or while the device does not mix: the device dropped everything after
  // heardFrame, so every voice goes back to what was heard.
  void Rewind(uint64_t heardFrame);
  // Device frames mixed in a row to which no voice contributed.
  uint64_t SilentFrames() const { return silentFrames_.load(std::memory_order_relaxed); }
  // Whether any attached voice is playing (not paused).
  bool HasPlayingVoice() const;
  // A voice starts: the silent run is over even before its first frame is mixed.
  void EndSilence() { silentFrames_.store(0, std::memory_order_relaxed); }
  // Nanoseconds spent mixing, summed since start.
  uint64_t BusyNanos() const { return busyNanos_.load(std::memory_order_relaxed); }

 private:
  void WaitForPass();
  std::atomic<Voice*> slots_[kSlots]{};
  std::atomic<uint64_t> pass_{0};  // odd while a pass is running
  std::atomic<uint64_t> busyNanos_{0};
  std::atomic<uint64_t> silentFrames_{0};
};

}  // namespace kaudio
