#include "audio/TempoSource.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>

#include "audio/Channel.h"

namespace kaudio {

namespace {
constexpr size_t kChunk = 1024;
}

TempoSource::TempoSource(std::shared_ptr<Channel> source)
    : source_(std::move(source)), st_(std::make_unique<soundtouch::SoundTouch>()) {
  format_ = source_->format;
  st_->setSampleRate(format_.rate);
  st_->setChannels(format_.channels);
  in_.resize(kChunk * format_.channels);
}

TempoSource::~TempoSource() = default;

void TempoSource::Apply() {
  const float t = tempo.load(), p = pitch.load(), r = rate.load();
  if (t == appliedTempo_ && p == appliedPitch_ && r == appliedRate_) return;
  st_->setTempoChange(std::clamp(t, -95.0f, 5000.0f));
  st_->setPitchSemiTones(std::clamp(p, -60.0f, 60.0f));
  st_->setRate(r > 0 ? double(r) / format_.rate : 1.0);
  appliedTempo_ = t;
  appliedPitch_ = p;
  appliedRate_ = r;
}

ReadResult TempoSource::Read(float* dst, size_t frames, size_t* got) {
  Apply();
  *got = 0;
  // Neither tempo, pitch nor rate changed: SoundTouch would only cost time (most songs play
  // so). What it still holds from a change is pushed out first.
  const bool neutral = appliedTempo_ == 0 && appliedPitch_ == 0 && (appliedRate_ == 0 || appliedRate_ == format_.rate);
  if (neutral) {
    if (st_->numUnprocessedSamples() > 0) st_->flush();
    while (*got < frames && st_->numSamples() > 0)
      *got += st_->receiveSamples(dst + *got * format_.channels, uint32_t(frames - *got));
    while (*got < frames && !sourceEnded_) {
      bool ended = false;
      const size_t pulled = source_->Pull(dst + *got * format_.channels, frames - *got, &ended);
      *got += pulled;
      if (ended) sourceEnded_ = true;
      else if (!pulled) break;  // a live source has nothing yet
    }
    if (*got) return ReadResult::Data;
    return sourceEnded_ ? ReadResult::Ended : ReadResult::Stalled;
  }
  while (*got < frames) {
    const unsigned n = st_->receiveSamples(dst + *got * format_.channels, uint32_t(frames - *got));
    *got += n;
    if (*got >= frames) break;
    if (sourceEnded_) {
      if (st_->numUnprocessedSamples() == 0 && st_->numSamples() == 0) break;
      if (n == 0) {
        // Push the tail through, then stop feeding.
        st_->flush();
        const unsigned tail = st_->receiveSamples(dst + *got * format_.channels, uint32_t(frames - *got));
        *got += tail;
        st_->clear();
        break;
      }
      continue;
    }
    bool ended = false;
    const size_t pulled = source_->Pull(in_.data(), kChunk, &ended);
    if (pulled) st_->putSamples(in_.data(), uint32_t(pulled));
    if (ended) sourceEnded_ = true;
    else if (!pulled) break;  // a live source has nothing yet
  }
  if (*got) return ReadResult::Data;
  if (sourceEnded_) return ReadResult::Ended;
  return ReadResult::Stalled;
}

bool TempoSource::Seek(uint64_t frame) {
  std::lock_guard lock(source_->proc);
  if (!source_->source->Seek(frame)) return false;
  st_->clear();
  sourceEnded_ = false;
  return true;
}

int64_t TempoSource::LengthFrames() const {
  std::lock_guard lock(source_->proc);
  return source_->source->LengthFrames();
}

uint64_t TempoSource::Position() const {
  std::lock_guard lock(source_->proc);
  const uint64_t pos = source_->source->Position();
  // What sits inside SoundTouch has been pulled but not heard yet.
  const double speed = (1.0 + appliedTempo_ / 100.0) * (appliedRate_ > 0 ? appliedRate_ / format_.rate : 1.0);
  const uint64_t held = uint64_t(st_->numUnprocessedSamples() + st_->numSamples() * std::max(speed, 0.05));
  return pos > held ? pos - held : 0;
}

bool TempoSource::IsLive() const {
  std::lock_guard lock(source_->proc);
  return source_->source->IsLive();
}

}  // namespace kaudio
