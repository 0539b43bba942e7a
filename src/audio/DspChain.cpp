#include "audio/DspChain.h"

#include <algorithm>

namespace kaudio {

void DspChain::AddDsp(uint32_t handle, KAUDIO_DSPPROC* proc, void* user, int priority) {
  DspEntry e;
  e.handle = handle;
  e.priority = priority;
  e.order = nextOrder_++;
  e.proc = proc;
  e.user = user;
  entries_.push_back(std::move(e));
  Sort();
}

bool DspChain::AddFx(uint32_t handle, uint32_t type, int priority) {
  if (type != KAUDIO_FX_DAMP) return false;
  DspEntry e;
  e.handle = handle;
  e.priority = priority;
  e.order = nextOrder_++;
  e.fxType = type;
  e.damp = std::make_unique<DampEffect>();
  entries_.push_back(std::move(e));
  Sort();
  return true;
}

bool DspChain::Remove(uint32_t handle) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const DspEntry& e) { return e.handle == handle; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

DspEntry* DspChain::Find(uint32_t handle) {
  for (auto& e : entries_)
    if (e.handle == handle) return &e;
  return nullptr;
}

void DspChain::Sort() {
  std::stable_sort(entries_.begin(), entries_.end(), [](const DspEntry& a, const DspEntry& b) {
    return a.priority != b.priority ? a.priority > b.priority : a.order < b.order;
  });
}

void DspChain::Run(uint32_t channel, float* samples, uint32_t frames, uint32_t channels,
                   uint32_t rate) {
  if (!frames) return;
  // Index loop: a callback may add or remove entries of this chain (same thread, same lock).
  for (size_t i = 0; i < entries_.size(); ++i) {
    DspEntry& e = entries_[i];
    if (e.proc) {
      const uint32_t handle = e.handle;
      e.proc(handle, channel, samples, frames * channels * uint32_t(sizeof(float)), e.user);
    } else if (e.damp) {
      e.damp->Process(samples, frames, channels, rate);
    }
  }
}

}  // namespace kaudio
