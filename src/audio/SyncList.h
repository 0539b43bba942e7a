// The syncs set on one channel. Thread-safe: raised from processing, network and
// mixing-side threads, changed from the caller's thread.
#pragma once

#include <kaudio.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace kaudio {

struct SyncEntry {
  uint32_t handle;
  uint32_t type;  // without the MIXTIME/ONETIME bits
  uint64_t param;
  KAUDIO_SYNCPROC* proc;
  void* user;
  bool mixtime;
  bool onetime;
  bool posFired = false;
};

class SyncList {
 public:
  void Add(const SyncEntry& e);
  bool Remove(uint32_t handle);
  bool Has(uint32_t type);
  // Calls (mixtime) or posts every sync of this type.
  void Raise(uint32_t channel, uint32_t type, uint32_t data);
  // Position syncs: raises those whose byte position lies at or before pos and have not
  // fired since the last ResetPositions.
  void RaisePositions(uint32_t channel, uint64_t pos);
  void ResetPositions(uint64_t pos);

 private:
  std::mutex mutex_;
  std::vector<SyncEntry> entries_;
};

}  // namespace kaudio
