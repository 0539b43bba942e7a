// A stream whose samples come from a caller's callback (or nothing, for a dummy stream).
#pragma once

#include <kaudio.h>

#include <vector>

#include "audio/ChannelSource.h"

namespace kaudio {

class UserSource final : public ChannelSource {
 public:
  UserSource(uint32_t rate, uint32_t channels, uint32_t bytesPerSample, KAUDIO_STREAMPROC* proc,
             void* user)
      : format_{rate, channels, bytesPerSample * 8}, bps_(bytesPerSample), proc_(proc), user_(user) {}
  void SetHandle(uint32_t h) { handle_ = h; }
  SourceFormat Format() const override { return format_; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  uint64_t Position() const override { return position_; }

 private:
  SourceFormat format_;
  uint32_t bps_;
  KAUDIO_STREAMPROC* proc_;
  void* user_;
  uint32_t handle_ = 0;
  uint64_t position_ = 0;
  bool ended_ = false;
  std::vector<uint8_t> raw_;
};

}  // namespace kaudio
