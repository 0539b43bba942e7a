#include "audio/NullOutput.h"

#include <algorithm>
#include <chrono>

namespace kaudio {

namespace {
constexpr uint32_t kPeriodMs = 10;
constexpr uint32_t kMaxBlock = 4096;
}  // namespace

NullOutput::~NullOutput() { Close(); }

bool NullOutput::Open(uint32_t rate, uint32_t channels, MixCallback mix, void* user) {
  rate_ = rate;
  channels_ = channels;
  mix_ = mix;
  user_ = user;
  scratch_.assign(size_t(kMaxBlock) * channels, 0.0f);
  quit_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool NullOutput::Start() {
  {
    std::lock_guard lock(mutex_);
    running_ = true;
  }
  wake_.notify_all();
  return true;
}

bool NullOutput::Pause() {
  std::lock_guard lock(mutex_);
  running_ = false;
  return true;
}

void NullOutput::Close() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    running_ = false;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void NullOutput::Run() {
  using Clock = std::chrono::steady_clock;
  std::unique_lock lock(mutex_);
  while (!quit_) {
    wake_.wait(lock, [this] { return quit_ || running_.load(); });
    if (quit_) break;
    // A fresh clock at every start: time spent paused is not owed.
    const auto start = Clock::now();
    uint64_t consumed = 0;
    while (!quit_ && running_) {
      lock.unlock();
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      uint64_t due = uint64_t(elapsed * rate_);
      while (consumed < due) {
        const uint32_t n = uint32_t(std::min<uint64_t>(due - consumed, kMaxBlock));
        mix_(scratch_.data(), n, user_);
        consumed += n;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(kPeriodMs));
      lock.lock();
    }
  }
}

}  // namespace kaudio
