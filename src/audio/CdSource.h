// One audio track of a disc, read digitally: 44100 Hz, stereo, 16-bit samples as floats.
#pragma once

#include <memory>
#include <vector>

#include "audio/CdDisc.h"
#include "audio/ChannelSource.h"

namespace kaudio {

class CdSource final : public ChannelSource {
 public:
  // nullptr with *error set when the track is missing or not audio.
  static std::unique_ptr<CdSource> Open(const std::string& drivePath, uint32_t track, int* error);
  SourceFormat Format() const override { return {44100, 2, 16}; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  bool Seek(uint64_t frame) override;
  int64_t LengthFrames() const override { return static_cast<int64_t>(sectors_) * kCdSectorFrames; }
  uint64_t Position() const override { return position_; }

 private:
  std::unique_ptr<CdDisc> disc_;
  int64_t first_ = 0;    // the track's first logical sector
  int64_t sectors_ = 0;
  uint64_t position_ = 0;  // frames from the track start
  std::vector<uint8_t> buffer_;
};

}  // namespace kaudio
