// Output through PortAudio (ALSA, PulseAudio, JACK).
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "audio/OutputDevice.h"

namespace kaudio {

struct PortAudioDeviceEntry {
  int paIndex;
  std::string name;
  std::string driver;
  bool isDefault;
};

// PortAudio is initialised on first use and stays so until PortAudioShutdown().
bool PortAudioStartup();
void PortAudioShutdown();
// Output-capable devices, in PortAudio order; our device numbers are 1 + the index here.
std::vector<PortAudioDeviceEntry> PortAudioOutputDevices();

class PortAudioOutput final : public OutputDevice {
 public:
  explicit PortAudioOutput(int paIndex) : paIndex_(paIndex) {}
  ~PortAudioOutput() override;
  bool Open(uint32_t rate, uint32_t channels, MixCallback mix, void* user) override;
  bool Start() override;
  bool Pause() override;
  void Close() override;
  uint32_t Rate() const override { return rate_; }
  uint32_t Channels() const override { return channels_; }
  uint32_t LatencyFrames() const override { return latencyFrames_; }
  std::string Name() const override { return name_; }
  std::string Driver() const override { return driver_; }
  bool IsRunning() const override { return running_.load(); }

  void RunMix(float* out, uint32_t frames) { mix_(out, frames, user_); }

 private:
  int paIndex_;
  void* stream_ = nullptr;
  uint32_t rate_ = 44100;
  uint32_t channels_ = 2;
  uint32_t latencyFrames_ = 0;
  MixCallback mix_ = nullptr;
  void* user_ = nullptr;
  std::string name_;
  std::string driver_;
  std::atomic<bool> running_{false};
};

}  // namespace kaudio
