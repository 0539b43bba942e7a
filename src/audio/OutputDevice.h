// An output device pulls mixed float frames from the mixer on its own thread and keeps the
// clock of what has really been played. The mixing pass is real-time: it never allocates,
// locks a lock the UI can hold or calls user code.
//
// Every device counts frames from Open: frame n of what it mixed is heard when PlayedFrames()
// passes n. A device that has mixed only silence for a second stops consuming (corks, stops
// its stream or sleeps) until Wake().
#pragma once

#include <cstdint>
#include <string>

namespace kaudio {

class Mixer;

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  // Any thread, once; the device mixes from mixer until Close.
  virtual bool Open(uint32_t rate, uint32_t channels, Mixer* mixer) = 0;
  // Any thread: consume and play (again). Start after Pause plays on from what was heard.
  virtual bool Start() = 0;
  // Any thread: stop at once; nothing queued is lost (kept by the device, or dropped with the
  // voices moved back to what was heard).
  virtual bool Pause() = 0;
  // Any thread: a voice starts or resumes; consume again if idle.
  virtual void Wake() = 0;
  virtual void Close() = 0;
  // Any thread, while a voice is detached for a seek or a stop: what the device holds but has
  // not played is dropped and the attached voices move back to what was heard, so the old
  // place is not heard after the new one was asked for. Devices that hold little keep it.
  virtual void DropQueued() {}
  virtual uint32_t Rate() const = 0;
  virtual uint32_t Channels() const = 0;
  // The most the device holds between the mixer and the ear.
  virtual uint32_t LatencyFrames() const = 0;
  // Any thread: frames heard since Open, in the mixer's frame count.
  virtual uint64_t PlayedFrames() const = 0;
  virtual std::string Name() const = 0;
  virtual std::string Driver() const = 0;
  // Started and not paused (an idle device still counts as running).
  virtual bool IsRunning() const = 0;
};

// Silence that has to be mixed before a device goes idle: a second, plus what it holds, so the
// last real frame has been heard.
inline uint64_t IdleAfterFrames(const OutputDevice& d) {
  return uint64_t(d.Rate()) + d.LatencyFrames();
}

}  // namespace kaudio
