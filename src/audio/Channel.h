// One channel: a source, its effects, syncs and tags, and, when played, its voice in the
// mixer. The processing lock (proc) guards the source, the effects and the resampler; it
// is held by the processing thread for one block at a time and never by the mixer.
#pragma once

#include <kaudio.h>

#include <atomic>
#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/ChannelSource.h"
#include "audio/DspChain.h"
#include "audio/SyncList.h"
#include "audio/TagStore.h"
#include "audio/Voice.h"

struct SwrContext;

namespace kaudio {

enum class PlayState { Stopped, Playing, Paused };

class Channel final : public SourceEvents {
 public:
  Channel(uint32_t handle, std::unique_ptr<ChannelSource> source, uint32_t flags, uint32_t ctype);
  ~Channel() override;

  const uint32_t handle;
  const uint32_t flags;
  const uint32_t ctype;
  uint32_t plugin = 0;
  std::string filename;
  SourceFormat format;
  uint32_t bytesPerSample;
  uint32_t FrameBytes() const { return bytesPerSample * format.channels; }
  bool IsDecode() const { return flags & KAUDIO_STREAM_DECODE; }

  // The file's tag values, read on first request: every format then comes from one read.
  std::map<std::string, std::string> FileTagValues();

  std::recursive_mutex proc;
  DspChain chain;
  SyncList syncs;
  TagStore tags;
  std::unique_ptr<ChannelSource> source;  // under proc

  // SourceEvents
  void OnTags(uint32_t tagType, const std::string& block, uint32_t syncType) override;
  void OnSourceSync(uint32_t syncType, uint32_t data) override;

  // Decoding path: frames through the effects into dst. Sets *ended at the end.
  size_t Pull(float* dst, size_t frames, bool* ended);

  // Playback (called with proc held unless stated).
  bool Play(bool restart);
  void Stop();
  void Pause();
  bool SetPosition(uint64_t frame);
  // Processing thread: refills the voice; returns true when the channel has just ended.
  bool Service();
  // Lock-free queries.
  PlayState State() const { return state_.load(); }
  // Playing through the mixer: the processing thread has work for it.
  bool NeedsService() const { return attached_.load() && state_.load() == PlayState::Playing; }
  // How many milliseconds the processing thread may leave it alone: none unless it plays with
  // most of its buffer ahead and more to come; then half the time its voice takes to play
  // down to half the buffer, so a refill comes long before the voice could run dry.
  uint32_t SpareMs() const;
  bool HasEnded() const;
  uint64_t PositionFrames();
  bool LatestSamples(float* dst, size_t frames);
  // Published once the voice and its history exist; lock-free readers go through this.
  Voice* GetVoice() const { return voiceView_.load(std::memory_order_acquire); }
  void SetPlaybackRate(float hz) { playRate_.store(hz); }
  float PlaybackRate() const { return playRate_.load(); }

  std::atomic<float> pendingVolume{1.0f};
  std::atomic<float> pendingPan{0.0f};
  bool DecodeEnded() const { return decodeEnded_.load(); }

  // Called by the library when the channel is freed.
  void Shutdown();

 private:
  bool PrepareVoice();
  void StartHearing();
  void ResetVoice();
  size_t Fill();
  size_t Resample(const float* in, size_t frames, bool flush);
  void WriteHistory(const float* in, size_t frames);
  void Finish();

  std::atomic<PlayState> state_{PlayState::Stopped};
  std::atomic<bool> ended_{false};
  std::atomic<bool> attached_{false};
  std::atomic<float> playRate_{0.0f};
  std::unique_ptr<Voice> voice_;
  std::atomic<Voice*> voiceView_{nullptr};
  // History of processed frames for data requests; written by the processor.
  std::unique_ptr<std::atomic<float>[]> history_;
  size_t historyFrames_ = 0;
  std::atomic<uint64_t> procCount_{0};
  // Resampling to the output.
  SwrContext* swr_ = nullptr;
  uint32_t swrRate_ = 0;
  std::vector<float> block_;
  std::vector<float> out_;
  std::atomic<bool> decodeEnded_{false};
  bool stalled_ = false;  // under proc
  std::mutex tagValuesMutex_;
  std::optional<std::map<std::string, std::string>> tagValues_;
};

}  // namespace kaudio
