// Runs sync callbacks that are not mixtime on one thread of their own, in the order they
// were raised, so a slow callback never holds up decoding or mixing.
#pragma once

#include <kaudio.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kaudio {

struct SyncCall {
  KAUDIO_SYNCPROC* proc;
  uint32_t sync;
  uint32_t channel;
  uint32_t data;
  void* user;
};

class SyncDispatcher {
 public:
  SyncDispatcher();
  ~SyncDispatcher();
  void Post(const SyncCall& call);
  // Waits until every call posted so far has run (unless called from the sync thread).
  void Drain();

 private:
  void Run();
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<SyncCall> queue_;
  bool busy_ = false;
  bool quit_ = false;
  std::thread thread_;
};

SyncDispatcher& Syncs();

}  // namespace kaudio
