// Device 0, "no sound": a clock that consumes audio in real time and discards it. It holds
// nothing, so what it mixed is what was heard; it sleeps while nothing plays.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/OutputDevice.h"

namespace kaudio {

class NullOutput final : public OutputDevice {
 public:
  ~NullOutput() override;
  bool Open(uint32_t rate, uint32_t channels, Mixer* mixer) override;
  // Starts counting from frame: a stand-in for a device that failed while its voices played.
  bool StartAt(uint64_t frame);
  bool Start() override;
  bool Pause() override;
  void Wake() override;
  void Close() override;
  uint32_t Rate() const override { return rate_; }
  uint32_t Channels() const override { return channels_; }
  uint32_t LatencyFrames() const override { return 0; }
  uint64_t PlayedFrames() const override { return mixed_.load(std::memory_order_acquire); }
  std::string Name() const override { return "No sound"; }
  std::string Driver() const override { return "none"; }
  bool IsRunning() const override { return running_.load(); }
  // True while it sleeps for lack of anything to play.
  bool IsIdle() const { return idle_.load(); }

 private:
  void Run();

  uint32_t rate_ = 44100;
  uint32_t channels_ = 2;
  Mixer* mixer_ = nullptr;
  std::vector<float> scratch_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> running_{false};
  std::atomic<bool> idle_{false};
  std::atomic<uint64_t> mixed_{0};
  bool woken_ = false;
  bool quit_ = false;
};

}  // namespace kaudio
