#include "audio/SyncDispatcher.h"

namespace kaudio {

SyncDispatcher::SyncDispatcher() { thread_ = std::thread([this] { Run(); }); }

SyncDispatcher::~SyncDispatcher() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SyncDispatcher::Post(const SyncCall& call) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(call);
  }
  wake_.notify_one();
}

void SyncDispatcher::Drain() {
  if (std::this_thread::get_id() == thread_.get_id()) return;
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void SyncDispatcher::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (queue_.empty() && quit_) break;
    SyncCall call = queue_.front();
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    call.proc(call.sync, call.channel, call.data, call.user);
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}

SyncDispatcher& Syncs() {
  static SyncDispatcher dispatcher;
  return dispatcher;
}

}  // namespace kaudio
