// Tempo, pitch and rate changes with SoundTouch, over a decoding channel that it pulls.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "audio/ChannelSource.h"

namespace soundtouch { class SoundTouch; }

namespace kaudio {

class Channel;

class TempoSource final : public ChannelSource {
 public:
  explicit TempoSource(std::shared_ptr<Channel> source);
  ~TempoSource() override;
  SourceFormat Format() const override { return format_; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  bool Seek(uint64_t frame) override;
  int64_t LengthFrames() const override;
  uint64_t Position() const override;
  bool IsLive() const override;
  Channel* Inner() const { return source_.get(); }

  // Set from any thread; applied before the next block.
  std::atomic<float> tempo{0.0f};   // percent
  std::atomic<float> pitch{0.0f};   // semitones
  std::atomic<float> rate{0.0f};    // Hz of the source, 0 = its own

 private:
  void Apply();
  std::shared_ptr<Channel> source_;
  std::unique_ptr<soundtouch::SoundTouch> st_;
  SourceFormat format_;
  std::vector<float> in_;
  float appliedTempo_ = 0, appliedPitch_ = 0, appliedRate_ = 0;
  bool sourceEnded_ = false;
  double consumedOut_ = 0;
};

}  // namespace kaudio
