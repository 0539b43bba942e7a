// A file (or memory block) decoded by FFmpeg.
#pragma once

#include <memory>
#include <string>

#include "audio/ChannelSource.h"
#include "audio/FfmpegDecoder.h"

namespace kaudio {

class FileSource final : public ChannelSource {
 public:
  // Returns nullptr with *error set when the file cannot be decoded.
  static std::unique_ptr<FileSource> Open(const std::string& path, bool prescan, int* error);
  static std::unique_ptr<FileSource> OpenMemory(const void* data, uint64_t size, bool prescan,
                                                int* error);
  SourceFormat Format() const override { return decoder_.Format(); }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  bool Seek(uint64_t frame) override { return decoder_.Seek(frame); }
  int64_t LengthFrames() const override { return decoder_.LengthFrames(); }
  uint64_t Position() const override { return decoder_.Position(); }
  void Attach(SourceEvents* events) override;

 private:
  void PublishTags(bool change);
  FfmpegDecoder decoder_;
  SourceEvents* events_ = nullptr;
  const uint8_t* memData_ = nullptr;
  uint64_t memSize_ = 0;
  uint64_t memPos_ = 0;
};

// Builds the "OGG" or "WMA" block from decoder metadata; the type is 0 when neither applies.
uint32_t StreamTagBlock(const FfmpegDecoder& decoder, std::string* block);

}  // namespace kaudio
