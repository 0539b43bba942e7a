#include "audio/NullOutput.h"

#include <algorithm>
#include <chrono>

#include "audio/Mixer.h"

namespace kaudio {

namespace {
constexpr uint32_t kPeriodMs = 10;
constexpr uint32_t kMaxBlock = 4096;
}  // namespace

NullOutput::~NullOutput() { Close(); }

bool NullOutput::Open(uint32_t rate, uint32_t channels, Mixer* mixer) {
  rate_ = rate;
  channels_ = channels;
  mixer_ = mixer;
  scratch_.assign(size_t(kMaxBlock) * channels, 0.0f);
  quit_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool NullOutput::Start() {
  {
    std::lock_guard lock(mutex_);
    running_ = true;
    woken_ = true;
  }
  wake_.notify_all();
  return true;
}

bool NullOutput::StartAt(uint64_t frame) {
  {
    std::lock_guard lock(mutex_);
    mixed_.store(frame, std::memory_order_release);
  }
  return Start();
}

// Mixing happens under mutex_, so once Pause returns no pass is running.
bool NullOutput::Pause() {
  std::lock_guard lock(mutex_);
  running_ = false;
  return true;
}

void NullOutput::Wake() {
  mixer_->EndSilence();
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
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
    idle_ = true;
    wake_.wait(lock, [this] { return quit_ || (running_.load() && woken_); });
    idle_ = false;
    if (quit_) break;
    // A fresh clock at every start: time spent paused or idle is not owed.
    const auto start = Clock::now();
    uint64_t consumed = 0;
    while (!quit_ && running_) {
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      const uint64_t due = uint64_t(elapsed * rate_);
      while (consumed < due) {
        const uint32_t n = uint32_t(std::min<uint64_t>(due - consumed, kMaxBlock));
        mixer_->Mix(scratch_.data(), n, mixed_.load(std::memory_order_relaxed));
        mixed_.fetch_add(n, std::memory_order_release);
        consumed += n;
      }
      if (woken_) woken_ = false;
      else if (mixer_->SilentFrames() >= IdleAfterFrames(*this)) break;
      wake_.wait_for(lock, std::chrono::milliseconds(kPeriodMs), [this] { return quit_ || !running_; });
    }
  }
}

}  // namespace kaudio
