// An internet stream: the connection thread downloads, a decoder thread of its own turns
// the bytes into samples, and Read hands them out without ever waiting for the network.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/ChannelSource.h"
#include "audio/FfmpegDecoder.h"
#include "audio/NetConnection.h"

namespace kaudio {

class UrlSource final : public ChannelSource {
 public:
  // Blocks until the stream can start; nullptr with *error on failure.
  static std::unique_ptr<UrlSource> Open(const std::string& url, KAUDIO_DOWNLOADPROC* proc,
                                         void* user, bool status, int* error);
  ~UrlSource() override;
  SourceFormat Format() const override { return format_; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override;
  uint64_t Position() const override { return position_; }
  void Attach(SourceEvents* events) override;
  void Close() override;
  bool IsLive() const override { return true; }

 private:
  UrlSource() = default;
  void Decode();
  void OnMeta(const std::string& meta);

  std::unique_ptr<NetConnection> net_;
  std::unique_ptr<FfmpegDecoder> decoder_;
  SourceFormat format_;
  std::thread thread_;
  std::atomic<bool> quit_{false};
  std::mutex mutex_;  // guards the sample buffer, events_ and pendingMeta_
  std::vector<float> ring_;
  size_t ringFrames_ = 0;
  uint64_t written_ = 0, read_ = 0;
  bool ended_ = false;
  uint64_t position_ = 0;
  SourceEvents* events_ = nullptr;
  std::string pendingMeta_;
  std::vector<std::string> headers_;
};

}  // namespace kaudio
