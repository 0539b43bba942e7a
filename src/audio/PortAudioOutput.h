// Output through PortAudio (ALSA, JACK, and a sound server through ALSA's plug-ins).
#pragma once

#include <atomic>
#include <mutex>
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
// Output-capable devices, in PortAudio order.
std::vector<PortAudioDeviceEntry> PortAudioOutputDevices();

class PortAudioOutput final : public OutputDevice {
 public:
  explicit PortAudioOutput(int paIndex) : paIndex_(paIndex) {}
  ~PortAudioOutput() override;
  bool Open(uint32_t rate, uint32_t channels, Mixer* mixer) override;
  bool Start() override;
  bool Pause() override;
  void Wake() override;
  void Close() override;
  // A seek or a stop: the stream drops what it holds and plays on from what was heard.
  void DropQueued() override;
  uint32_t Rate() const override { return rate_; }
  uint32_t Channels() const override { return channels_; }
  uint32_t LatencyFrames() const override { return latencyFrames_; }
  uint64_t PlayedFrames() const override;
  std::string Name() const override { return name_; }
  std::string Driver() const override { return driver_; }
  bool IsRunning() const override { return running_.load(); }

  // The stream's callback.
  bool RunMix(float* out, uint32_t frames, double dacTime);

 private:
  // Under control_: stops the stream, dropping what it holds, and rewinds the voices.
  void AbortAndRewind();

  int paIndex_;
  void* stream_ = nullptr;
  uint32_t rate_ = 44100;
  uint32_t channels_ = 2;
  uint32_t latencyFrames_ = 0;
  Mixer* mixer_ = nullptr;
  std::string name_;
  std::string driver_;
  std::mutex control_;  // start, stop and flush; never taken by the callback
  std::atomic<bool> running_{false};
  // The clock: frames mixed, and the first frame of the last block with the time the
  // device plays it.
  std::atomic<uint64_t> mixed_{0};
  std::atomic<uint64_t> blockStart_{0};
  std::atomic<double> blockDacTime_{0.0};
  std::atomic<uint32_t> priming_{0};  // silent frames still to give a just-started stream
  std::atomic<uint32_t> blockFrames_{0};  // the size of the callback's blocks
};

}  // namespace kaudio
