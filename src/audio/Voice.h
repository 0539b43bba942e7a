// The playing end of a channel: a single-producer/single-consumer ring of output-rate
// stereo frames (the processing thread writes, the mixing thread reads), the volume and
// pan the mixer applies, and the markers that map output frames back to source positions.
// The ring keeps what the device holds but has not played yet (the reserve), so a device
// flush can move the read cursor back to what the listener has actually heard.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdint>
#include <memory>

namespace kaudio {

struct PositionMarker {
  std::atomic<uint64_t> out{0};   // output frames written up to here
  std::atomic<uint64_t> src{0};   // source frame that follows them
  std::atomic<uint64_t> proc{0};  // processed (post-effects) channel frames that follow them
};

class Voice {
 public:
  static constexpr uint32_t kOutChannels = 2;
  static constexpr size_t kMarkers = 1024;

  // reserveFrames: the most the device can hold unheard.
  Voice(size_t capacityFrames, size_t reserveFrames)
      : capacity_(capacityFrames + reserveFrames), reserve_(reserveFrames),
        ring_(std::make_unique<float[]>((capacityFrames + reserveFrames) * kOutChannels)),
        markers_(std::make_unique<PositionMarker[]>(kMarkers)) {}

  // What the producer may keep queued ahead of the read cursor.
  size_t Capacity() const { return capacity_ - reserve_; }
  uint64_t Written() const { return write_.load(std::memory_order_acquire); }
  uint64_t Read() const { return read_.load(std::memory_order_acquire); }
  size_t Space() const {
    const size_t used = size_t(Written() - Read());
    return used >= Capacity() ? 0 : Capacity() - used;
  }

  // Producer side.
  void Write(const float* frames, size_t n) {
    const uint64_t w = write_.load(std::memory_order_relaxed);
    // At most two copies, before and after the ring's wrap.
    for (size_t done = 0; done < n;) {
      const size_t at = size_t((w + done) % capacity_);
      const size_t run = std::min(n - done, capacity_ - at);
      std::memcpy(&ring_[at * kOutChannels], frames + done * kOutChannels, run * kOutChannels * sizeof(float));
      done += run;
    }
    write_.store(w + n, std::memory_order_release);
  }
  void AddMarker(uint64_t out, uint64_t src, uint64_t proc) {
    const uint64_t n = markerCount_.load(std::memory_order_relaxed);
    PositionMarker& m = markers_[n % kMarkers];
    m.out.store(out, std::memory_order_relaxed);
    m.src.store(src, std::memory_order_relaxed);
    m.proc.store(proc, std::memory_order_relaxed);
    markerCount_.store(n + 1, std::memory_order_release);
  }
  // Only while the voice is not attached to the mixer.
  void Reset(uint64_t src, uint64_t proc) {
    write_.store(0);
    read_.store(0);
    markerCount_.store(0);
    ended_.store(false);
    endAt_.store(UINT64_MAX);
    mixedUntil_.store(0);
    gainsSet_ = false;
    AddMarker(0, src, proc);
  }
  void MarkEnd() {
    endAt_.store(Written(), std::memory_order_release);
    ended_.store(true, std::memory_order_release);
  }
  bool SourceEnded() const { return ended_.load(std::memory_order_acquire); }
  uint64_t EndAt() const { return endAt_.load(std::memory_order_acquire); }

  // Maps an output frame to (source frame, processed frame) by the markers.
  void Locate(uint64_t out, uint64_t* src, uint64_t* proc) const {
    const uint64_t count = markerCount_.load(std::memory_order_acquire);
    if (count == 0) { *src = 0; *proc = 0; return; }
    const uint64_t oldest = count > kMarkers ? count - kMarkers + 1 : 0;
    uint64_t i = count - 1;
    while (i > oldest && markers_[i % kMarkers].out.load(std::memory_order_relaxed) > out) --i;
    const PositionMarker& a = markers_[i % kMarkers];
    const uint64_t ao = a.out.load(std::memory_order_relaxed);
    *src = a.src.load(std::memory_order_relaxed);
    *proc = a.proc.load(std::memory_order_relaxed);
    if (i + 1 < count && out > ao) {
      const PositionMarker& b = markers_[(i + 1) % kMarkers];
      const uint64_t bo = b.out.load(std::memory_order_relaxed);
      if (bo > ao) {
        const double t = double(std::min(out, bo) - ao) / double(bo - ao);
        const uint64_t bs = b.src.load(std::memory_order_relaxed);
        const uint64_t bp = b.proc.load(std::memory_order_relaxed);
        if (bs >= *src) *src += uint64_t(t * double(bs - *src));
        if (bp >= *proc) *proc += uint64_t(t * double(bp - *proc));
      }
    }
  }

  // The device frame just after the last frame of this voice that was mixed.
  uint64_t MixedUntil() const { return mixedUntil_.load(std::memory_order_acquire); }
  // The voice frame the listener hears when the device has played deviceFrame frames: the
  // frames mixed since then are still queued in the device.
  uint64_t HeardFrame(uint64_t deviceFrame) const {
    const uint64_t r = Read();
    const uint64_t until = MixedUntil();
    uint64_t queued = until > deviceFrame ? until - deviceFrame : 0;
    queued = std::min<uint64_t>({queued, r, reserve_});
    return r - queued;
  }
  // Mixing thread, or while the device does not mix: the device dropped what it had queued,
  // so play on from what was heard.
  void RewindTo(uint64_t deviceFrame) {
    read_.store(HeardFrame(deviceFrame), std::memory_order_release);
    mixedUntil_.store(std::min(MixedUntil(), deviceFrame), std::memory_order_release);
  }

  // Consumer side (mixing thread). Adds up to frames frames into out with the current gains;
  // they will be played from device frame deviceFrame on. Returns how many it had.
  uint32_t MixInto(float* out, uint32_t frames, uint64_t deviceFrame) {
    const uint64_t r = read_.load(std::memory_order_relaxed);
    const uint64_t avail = write_.load(std::memory_order_acquire) - r;
    const uint32_t n = uint32_t(std::min<uint64_t>(avail, frames));
    const float vol = volume.load(std::memory_order_relaxed);
    const float pan = this->pan.load(std::memory_order_relaxed);
    const float targetL = vol * (pan > 0 ? 1.0f - pan : 1.0f);
    const float targetR = vol * (pan < 0 ? 1.0f + pan : 1.0f);
    // A voice's first sound (at a start or after a seek) comes at its gains at once: a ramp
    // from unity there made every song start loud. Later changes ramp over the block so they
    // do not click.
    if (n && !gainsSet_) {
      gainL_ = targetL;
      gainR_ = targetR;
      gainsSet_ = true;
    }
    const float stepL = n ? (targetL - gainL_) / float(n) : 0.0f;
    const float stepR = n ? (targetR - gainR_) / float(n) : 0.0f;
    // At most two runs, before and after the ring's wrap: no division per frame.
    for (uint32_t done = 0; done < n;) {
      const size_t at = size_t((r + done) % capacity_);
      const uint32_t run = uint32_t(std::min<uint64_t>(n - done, capacity_ - at));
      const float* src = &ring_[at * kOutChannels];
      float* dst = out + size_t(done) * kOutChannels;
      for (uint32_t i = 0; i < run; ++i) {
        gainL_ += stepL;
        gainR_ += stepR;
        dst[i * kOutChannels] += src[i * kOutChannels] * gainL_;
        dst[i * kOutChannels + 1] += src[i * kOutChannels + 1] * gainR_;
      }
      done += run;
    }
    if (n) {
      gainL_ = targetL;
      gainR_ = targetR;
      mixedUntil_.store(deviceFrame + n, std::memory_order_release);
    }
    read_.store(r + n, std::memory_order_release);
    return n;
  }

  std::atomic<float> volume{1.0f};
  std::atomic<float> pan{0.0f};
  std::atomic<bool> paused{false};

 private:
  size_t capacity_;
  size_t reserve_;
  std::unique_ptr<float[]> ring_;
  std::unique_ptr<PositionMarker[]> markers_;
  std::atomic<uint64_t> markerCount_{0};
  std::atomic<uint64_t> write_{0};
  std::atomic<uint64_t> read_{0};
  std::atomic<bool> ended_{false};
  std::atomic<uint64_t> endAt_{UINT64_MAX};
  std::atomic<uint64_t> mixedUntil_{0};
  float gainL_ = 1.0f;
  float gainR_ = 1.0f;
  bool gainsSet_ = false;  // mixing thread; false until the first sound is mixed
};

}  // namespace kaudio
