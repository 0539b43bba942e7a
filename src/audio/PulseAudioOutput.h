// Output to a PulseAudio sound server (also PipeWire's PulseAudio service) through libpulse's
// asynchronous API on its threaded main loop. The server holds a buffer near the library's
// buffer length and asks for a refill a few times a second; pause corks the stream and keeps
// what it holds. When the server goes away the voices play on against a silent clock, and
// the next start or play connects again.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/NullOutput.h"
#include "audio/OutputDevice.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_timing_info;

namespace kaudio {

struct PulseSinkEntry {
  std::string name;         // the server's sink name
  std::string description;  // what people read
  bool isDefault;
};

// The sinks of the running server, its default one first; empty when no server answers
// within a second (a server is never started for us).
std::vector<PulseSinkEntry> PulseAudioSinks();

class PulseAudioOutput final : public OutputDevice {
 public:
  // sink "": the server's default sink.
  PulseAudioOutput(std::string sink, std::string description)
      : sink_(std::move(sink)), name_(std::move(description)) {}
  ~PulseAudioOutput() override;
  bool Open(uint32_t rate, uint32_t channels, Mixer* mixer) override;
  bool Start() override;
  bool Pause() override;
  void Wake() override;
  void Close() override;
  void DropQueued() override;
  uint32_t Rate() const override { return rate_; }
  uint32_t Channels() const override { return channels_; }
  uint32_t LatencyFrames() const override { return latencyFrames_; }
  uint64_t PlayedFrames() const override;
  std::string Name() const override { return name_; }
  std::string Driver() const override { return "PulseAudio"; }
  bool IsRunning() const override { return running_.load(); }
  // Corked for lack of anything to play.
  bool IsIdle() const { return idle_.load(); }
  // The server went away; a silent clock stands in until a start reconnects.
  bool IsBroken() const { return broken_.load(); }

  // Main-loop thread only.
  void OnWritable();
  void OnFailure();
  void PublishClock();

 private:
  bool Connect();
  void Disconnect();
  bool Reconnect();
  // Under the main-loop lock.
  void WriteAvailable();
  void Cork(bool cork);
  void RequestTiming();
  bool TimingStale() const;
  void DropLocked();
  void GoIdle();
  uint64_t PlayedLocked() const;
  // The stream's frame the server reads now (heard: the one heard now); -1 before its first
  // timing report.
  int64_t StreamFrames(bool heard) const;
  // The same at the report's own time, without the run-on.
  int64_t ReportFrames(const pa_timing_info& t, bool heard) const;
  // played limited to what was written; the clock never goes back.
  uint64_t Advance(int64_t played) const;

  std::string sink_;
  std::string name_;
  uint32_t rate_ = 48000;
  uint32_t channels_ = 2;
  uint32_t latencyFrames_ = 0;
  uint32_t targetBytes_ = 0;
  Mixer* mixer_ = nullptr;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  std::mutex control_;  // Start, Pause, Wake, Close
  std::unique_ptr<NullOutput> fallback_;
  std::atomic<bool> running_{false};
  std::atomic<bool> idle_{false};
  std::atomic<bool> corked_{true};
  std::atomic<bool> broken_{false};
  std::atomic<bool> live_{false};  // connected and ready
  std::atomic<uint64_t> written_{0};
  std::chrono::steady_clock::time_point timingAskedAt_;  // main-loop lock
  // Our frame count at the stream's time 0: moves when the server drops what it held.
  int64_t clockBase_ = 0;
  mutable std::atomic<uint64_t> reported_{0};  // the clock never goes back
  // The clock as of the server's last report, republished whenever it or our side of it
  // changes: the visualization, the meters and the processing thread read the position
  // many times a second, and the main loop's lock and the library's calls cost more than the
  // sum.
  struct ClockReport {
    bool valid = false;
    bool running = false;  // runs on at the sample rate from `at`
    int64_t frames = 0;    // heard at `at`
    uint64_t at = 0;       // microseconds, the server's timestamp
  };
  mutable std::mutex clockMutex_;
  ClockReport clock_;
};

}  // namespace kaudio
