// Where a channel's samples come from: a file decoder, a module, a network stream, a user
// callback, a tempo processor, and later CD tracks and recording inputs. Every source
// delivers interleaved float frames at its own rate and channel count; the channel does
// the rest (effects, data, resampling to the output).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kaudio {

struct SourceFormat {
  uint32_t rate = 44100;
  uint32_t channels = 2;
  uint32_t origres = 0;  // bits of the source, 0 when unknown
};

enum class ReadResult { Data, Stalled, Ended };

// Receives what a source learns while it runs (tags, metadata changes). Called from the
// source's own threads; implementations must be thread-safe.
class SourceEvents {
 public:
  virtual ~SourceEvents() = default;
  // Replaces a tag block; syncType is the sync to fire (0 for none).
  virtual void OnTags(uint32_t tagType, const std::string& block, uint32_t syncType) = 0;
  virtual void OnSourceSync(uint32_t syncType, uint32_t data) = 0;
};

class ChannelSource {
 public:
  virtual ~ChannelSource() = default;
  virtual SourceFormat Format() const = 0;
  // Up to frames frames into dst; frames written via *got. Never blocks on the network.
  virtual ReadResult Read(float* dst, size_t frames, size_t* got) = 0;
  // Moves to a frame; false when the source cannot seek there.
  virtual bool Seek(uint64_t frame) { (void)frame; return false; }
  // Length in frames, -1 when unknown.
  virtual int64_t LengthFrames() const { return -1; }
  // Frame index (in the source's own terms) of the next frame Read will deliver.
  virtual uint64_t Position() const = 0;
  // Called once the owning channel exists; tags known at open time are published here.
  virtual void Attach(SourceEvents* events) { (void)events; }
  // Stops background work before destruction.
  virtual void Close() {}
  // A source whose data arrives from elsewhere (network) reports stalls instead of ends.
  virtual bool IsLive() const { return false; }
};

}  // namespace kaudio
