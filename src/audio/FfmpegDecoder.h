// Decodes one audio stream with FFmpeg into interleaved float frames at the stream's
// first rate and channel count. Seeking is sample-accurate: it seeks before the target
// and decodes up to it, using the decoder's timestamps.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "audio/ChannelSource.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVIOContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace kaudio {

class FfmpegDecoder {
 public:
  // Reads up to size bytes; returns the count, 0 at the end, -1 on failure.
  using ReadFn = std::function<int(uint8_t* buf, int size)>;
  // whence as for fseek, plus AVSEEK_SIZE; returns the new position or the size, -1 on failure.
  using SeekFn = std::function<int64_t(int64_t offset, int whence)>;
  // True when a blocking operation should give up.
  using InterruptFn = std::function<bool()>;

  FfmpegDecoder();
  ~FfmpegDecoder();
  FfmpegDecoder(const FfmpegDecoder&) = delete;
  FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

  // Each returns 0 or a KAUDIO_ERROR code. prescan counts the packets for an exact length.
  int OpenFile(const std::string& path, bool prescan);
  int OpenUrl(const std::string& url, InterruptFn interrupt);
  int OpenIo(ReadFn read, SeekFn seek, InterruptFn interrupt, bool prescan);

  SourceFormat Format() const { return format_; }
  int64_t LengthFrames() const { return lengthFrames_; }
  uint64_t Position() const { return position_; }
  std::string ContainerName() const;
  int64_t BitRate() const;

  ReadResult Read(float* dst, size_t frames, size_t* got);
  bool Seek(uint64_t frame);
  bool CanSeek() const;

  // "key=value" lines of the container's and the stream's metadata.
  std::deque<std::string> MetadataLines() const;
  // True once after the demuxer reported new metadata (chained Ogg, ASF script commands).
  bool TakeMetadataChange();

 private:
  int Finish(bool prescan);
  bool DecodeMore();
  bool ConvertFrame();
  void Close();

  AVFormatContext* fmt_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwrContext* swr_ = nullptr;
  int swrInRate_ = 0, swrInFormat_ = -1, swrInChannels_ = 0;
  int streamIndex_ = -1;
  SourceFormat format_;
  int64_t lengthFrames_ = -1;
  uint64_t position_ = 0;      // frame index of the next frame Read delivers
  int64_t firstPts_ = INT64_MIN;  // in samples, timestamp of frame 0
  uint64_t skipTo_ = 0;        // after a seek: drop frames before this one
  bool afterSeek_ = false;
  bool draining_ = false;
  bool eof_ = false;
  int errors_ = 0;
  std::vector<float> pending_;
  size_t pendingOffset_ = 0;   // in frames
  size_t pendingFrames_ = 0;
  ReadFn read_;
  SeekFn seek_;
  InterruptFn interrupt_;
  bool lossless_ = false;
};

}  // namespace kaudio
