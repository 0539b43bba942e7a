// The effects of one channel: user DSP callbacks and built-in effects, run in priority
// order (higher first, equal priorities in the order they were set) on float samples of
// the channel's own format. Guarded by the channel's processing lock.
#pragma once

#include <kaudio.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/DampEffect.h"

namespace kaudio {

struct DspEntry {
  uint32_t handle = 0;
  int priority = 0;
  uint64_t order = 0;
  KAUDIO_DSPPROC* proc = nullptr;  // user DSP
  void* user = nullptr;
  uint32_t fxType = 0;             // built-in effect
  std::unique_ptr<DampEffect> damp;
};

class DspChain {
 public:
  void AddDsp(uint32_t handle, KAUDIO_DSPPROC* proc, void* user, int priority);
  bool AddFx(uint32_t handle, uint32_t type, int priority);
  bool Remove(uint32_t handle);
  DspEntry* Find(uint32_t handle);
  bool Empty() const { return entries_.empty(); }
  // channel is the channel's handle, as the callbacks receive it.
  void Run(uint32_t channel, float* samples, uint32_t frames, uint32_t channels, uint32_t rate);

 private:
  void Sort();
  std::vector<DspEntry> entries_;
  uint64_t nextOrder_ = 0;
};

}  // namespace kaudio
