// An output device pulls mixed float frames from the mixer on its own thread. The mixing
// callback is real-time: it never allocates, locks or calls user code.
#pragma once

#include <cstdint>
#include <string>

namespace kaudio {

// Fills frames interleaved stereo floats.
using MixCallback = void (*)(float* out, uint32_t frames, void* user);

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  virtual bool Open(uint32_t rate, uint32_t channels, MixCallback mix, void* user) = 0;
  virtual bool Start() = 0;
  virtual bool Pause() = 0;  // stops consuming; Start resumes
  virtual void Close() = 0;
  virtual uint32_t Rate() const = 0;
  virtual uint32_t Channels() const = 0;
  virtual uint32_t LatencyFrames() const = 0;  // what sits between the mixer and the ear
  virtual std::string Name() const = 0;
  virtual std::string Driver() const = 0;
  virtual bool IsRunning() const = 0;
};

}  // namespace kaudio
