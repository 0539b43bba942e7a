// Tracker modules rendered by libopenmpt.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/ChannelSource.h"

struct openmpt_module;

namespace kaudio {

class ModuleSource final : public ChannelSource {
 public:
  static std::unique_ptr<ModuleSource> Open(std::vector<uint8_t> data, uint32_t flags,
                                            uint32_t rate, int* error);
  ~ModuleSource() override;
  SourceFormat Format() const override { return {rate_, 2, 16}; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  bool Seek(uint64_t frame) override;
  int64_t LengthFrames() const override { return length_; }
  uint64_t Position() const override { return position_; }
  void Attach(SourceEvents* events) override;
  // Pan separation, 0..100 with 50 normal stereo.
  void SetPanSeparation(float value);
  float PanSeparation() const { return panSep_; }

 private:
  openmpt_module* mod_ = nullptr;
  uint32_t rate_ = 44100;
  int64_t length_ = -1;
  uint64_t position_ = 0;
  float panSep_ = 50.0f;
};

}  // namespace kaudio
