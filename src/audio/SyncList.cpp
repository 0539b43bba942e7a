#include "audio/SyncList.h"

#include <algorithm>

#include "audio/SyncDispatcher.h"

namespace kaudio {

void SyncList::Add(const SyncEntry& e) {
  std::lock_guard lock(mutex_);
  entries_.push_back(e);
}

bool SyncList::Remove(uint32_t handle) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const SyncEntry& e) { return e.handle == handle; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

bool SyncList::Has(uint32_t type) {
  std::lock_guard lock(mutex_);
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const SyncEntry& e) { return e.type == type; });
}

void SyncList::Raise(uint32_t channel, uint32_t type, uint32_t data) {
  std::vector<SyncCall> now;
  {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (it->type != type) { ++it; continue; }
      SyncCall call{it->proc, it->handle, channel, data, it->user};
      if (it->mixtime) now.push_back(call);
      else Syncs().Post(call);
      it = it->onetime ? entries_.erase(it) : it + 1;
    }
  }
  // Outside the lock: a callback may set or remove syncs.
  for (const auto& c : now) c.proc(c.sync, c.channel, c.data, c.user);
}

void SyncList::RaisePositions(uint32_t channel, uint64_t pos) {
  std::vector<SyncCall> now;
  {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (it->type != KAUDIO_SYNC_POS || it->posFired || it->param > pos) { ++it; continue; }
      it->posFired = true;
      SyncCall call{it->proc, it->handle, channel, 0, it->user};
      if (it->mixtime) now.push_back(call);
      else Syncs().Post(call);
      it = it->onetime ? entries_.erase(it) : it + 1;
    }
  }
  for (const auto& c : now) c.proc(c.sync, c.channel, c.data, c.user);
}

void SyncList::ResetPositions(uint64_t pos) {
  std::lock_guard lock(mutex_);
  for (auto& e : entries_)
    if (e.type == KAUDIO_SYNC_POS) e.posFired = e.param < pos;
}

}  // namespace kaudio
