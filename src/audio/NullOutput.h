// Device 0, "no sound": a clock that consumes audio in real time and discards it.
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
  bool Open(uint32_t rate, uint32_t channels, MixCallback mix, void* user) override;
  bool Start() override;
  bool Pause() override;
  void Close() override;
  uint32_t Rate() const override { return rate_; }
  uint32_t Channels() const override { return channels_; }
  uint32_t LatencyFrames() const override { return 0; }
  std::string Name() const override { return "No sound"; }
  std::string Driver() const override { return "none"; }
  bool IsRunning() const override { return running_.load(); }

 private:
  void Run();

  uint32_t rate_ = 44100;
  uint32_t channels_ = 2;
  MixCallback mix_ = nullptr;
  void* user_ = nullptr;
  std::vector<float> scratch_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> running_{false};
  bool quit_ = false;
};

}  // namespace kaudio
