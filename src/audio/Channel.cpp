#include "audio/Channel.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

#include "audio/Config.h"
#include "audio/FileTags.h"
#include "audio/Library.h"
#include "audio/SampleFormat.h"

namespace kaudio {

namespace {
constexpr size_t kBlockFrames = 2048;
constexpr size_t kHistoryExtra = 8192;
}  // namespace

Channel::Channel(uint32_t h, std::unique_ptr<ChannelSource> src, uint32_t f, uint32_t type)
    : handle(h), flags(f), ctype(type), source(std::move(src)) {
  format = source->Format();
  bytesPerSample = BytesPerSample(flags);
  block_.resize(kBlockFrames * format.channels);
}

Channel::~Channel() {
  if (swr_) swr_free(&swr_);
}

void Channel::Shutdown() {
  if (attached_) {
    Lib().mixer.Detach(voice_.get());
    attached_ = false;
  }
  state_ = PlayState::Stopped;
  // Not under proc: a network source joins threads that may raise syncs which lock it.
  if (source) source->Close();
}

std::map<std::string, std::string> Channel::FileTagValues() {
  std::lock_guard lock(tagValuesMutex_);
  if (!tagValues_) tagValues_ = ReadFileTagValues(filename);
  return *tagValues_;
}

void Channel::OnTags(uint32_t tagType, const std::string& block, uint32_t syncType) {
  if (tags.Set(tagType, block) && syncType) syncs.Raise(handle, syncType, 0);
}

void Channel::OnSourceSync(uint32_t syncType, uint32_t data) { syncs.Raise(handle, syncType, data); }

size_t Channel::Pull(float* dst, size_t frames, bool* ended) {
  std::lock_guard lock(proc);
  size_t total = 0;
  *ended = false;
  while (total < frames) {
    size_t got = 0;
    const ReadResult r = source->Read(dst + total * format.channels, frames - total, &got);
    if (got) {
      chain.Run(handle, dst + total * format.channels, uint32_t(got), format.channels, format.rate);
      total += got;
    }
    if (r == ReadResult::Ended) { *ended = true; break; }
    if (r == ReadResult::Stalled) break;
  }
  if (total) syncs.RaisePositions(handle, source->Position() * FrameBytes());
  if (*ended && !decodeEnded_) {
    decodeEnded_ = true;
    syncs.Raise(handle, KAUDIO_SYNC_END, 0);
  }
  return total;
}

bool Channel::PrepareVoice() {
  if (voice_) return true;
  const uint32_t outRate = OutputRate();
  const uint32_t ms = std::clamp<uint32_t>(GetConfig().bufferMs.load(), 10, 5000) + 100;
  // The reserve keeps what the device may still hold unheard (a sound server behind ALSA adds
  // buffering the device does not report), so a pause that drops the device's buffer can go
  // back to what was heard.
  voice_ = std::make_unique<Voice>(size_t(outRate) * ms / 1000, size_t(OutputLatencyFrames()) + 2 * outRate);
  historyFrames_ = size_t(format.rate) * ms / 1000 * 2 + kHistoryExtra;
  history_ = std::make_unique<std::atomic<float>[]>(historyFrames_ * format.channels);
  voice_->volume = pendingVolume.load();
  voice_->pan = pendingPan.load();
  voiceView_.store(voice_.get(), std::memory_order_release);
  return true;
}

void Channel::ResetVoice() {
  if (swr_) swr_free(&swr_);
  swrRate_ = 0;
  voice_->Reset(source->Position(), procCount_.load());
}

size_t Channel::Resample(const float* in, size_t frames, bool flush) {
  const uint32_t outRate = OutputRate();
  const float pr = playRate_.load();
  const uint32_t inRate = pr > 0 ? uint32_t(pr) : format.rate;
  const uint32_t ch = format.channels;
  if (inRate == outRate && ch <= 2 && !swr_) {
    if (flush) return 0;
    out_.resize(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
      out_[i * 2] = in[i * ch];
      out_[i * 2 + 1] = in[i * ch + (ch == 2 ? 1 : 0)];
    }
    voice_->Write(out_.data(), frames);
    return frames;
  }
  if (!swr_ || swrRate_ != inRate) {
    if (swr_) swr_free(&swr_);
    AVChannelLayout inLayout, outLayout;
    av_channel_layout_default(&inLayout, int(ch));
    // Mono stays mono through the resampler and is copied to both sides afterwards.
    av_channel_layout_default(&outLayout, ch == 1 ? 1 : 2);
    if (swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_FLT, int(outRate), &inLayout,
                            AV_SAMPLE_FMT_FLT, int(inRate), 0, nullptr) < 0 || swr_init(swr_) < 0) {
      if (swr_) swr_free(&swr_);
      return 0;
    }
    swrRate_ = inRate;
  }
  const int cap = swr_get_out_samples(swr_, int(frames)) + 16;
  const uint32_t outCh = ch == 1 ? 1 : 2;
  out_.resize(size_t(cap) * 2);
  uint8_t* o = reinterpret_cast<uint8_t*>(out_.data());
  const uint8_t* i = reinterpret_cast<const uint8_t*>(in);
  const int n = swr_convert(swr_, &o, cap, flush ? nullptr : &i, flush ? 0 : int(frames));
  if (n <= 0) return 0;
  if (outCh == 1)
    for (int k = n - 1; k >= 0; --k) out_[size_t(k) * 2 + 1] = out_[size_t(k) * 2] = out_[size_t(k)];
  voice_->Write(out_.data(), size_t(n));
  return size_t(n);
}

void Channel::WriteHistory(const float* in, size_t frames) {
  const uint32_t ch = format.channels;
  const uint64_t p = procCount_.load(std::memory_order_relaxed);
  // One division per block, not per frame: this runs for every frame decoded.
  size_t at = size_t(p % historyFrames_);
  for (size_t f = 0; f < frames; ++f) {
    std::atomic<float>* dst = &history_[at * ch];
    for (uint32_t c = 0; c < ch; ++c) dst[c].store(in[f * ch + c], std::memory_order_relaxed);
    if (++at == historyFrames_) at = 0;
  }
  procCount_.store(p + frames, std::memory_order_release);
}

size_t Channel::Fill() {
  if (!voice_ || voice_->SourceEnded()) return 0;
  const uint32_t outRate = OutputRate();
  // At least what the device holds: a sound server rounds its buffer up from the library's
  // length, and asks for all of it when a voice starts; what the voice lacked then would be
  // played as a gap.
  const size_t target = std::min(voice_->Capacity() - 64,
                                 std::max<size_t>(size_t(outRate) * GetConfig().bufferMs.load() / 1000,
                                                  OutputLatencyFrames()));
  size_t produced = 0;
  const float pr = playRate_.load();
  const double ratio = double(pr > 0 ? pr : format.rate) / outRate;
  while (size_t(voice_->Written() - voice_->Read()) < target) {
    const size_t space = target - size_t(voice_->Written() - voice_->Read());
    size_t want = std::clamp<size_t>(size_t(double(space) * ratio), 1, kBlockFrames);
    // Leave room for what the resampler may add.
    if (voice_->Space() < size_t(double(want) / ratio) + 64) break;
    size_t got = 0;
    const ReadResult r = source->Read(block_.data(), want, &got);
    if (got) {
      chain.Run(handle, block_.data(), uint32_t(got), format.channels, format.rate);
      WriteHistory(block_.data(), got);
      produced += Resample(block_.data(), got, false);
      uint64_t delay = swr_ ? uint64_t(std::max<int64_t>(0, swr_get_delay(swr_, format.rate))) : 0;
      const uint64_t src = source->Position();
      const uint64_t proc = procCount_.load();
      voice_->AddMarker(voice_->Written(), src > delay ? src - delay : 0, proc > delay ? proc - delay : 0);
    }
    if (r == ReadResult::Ended) {
      if (swr_) produced += Resample(nullptr, 0, true);
      voice_->AddMarker(voice_->Written(), source->Position(), procCount_.load());
      voice_->MarkEnd();
      break;
    }
    if (r == ReadResult::Stalled) break;
  }
  return produced;
}

bool Channel::Play(bool restart) {
  std::lock_guard lock(proc);
  if (restart || ended_) {
    if (attached_) { Lib().mixer.Detach(voice_.get()); attached_ = false; }
    if (!source->Seek(0) && restart && source->IsLive()) {
      // A live stream cannot restart; play on from here.
    }
    ended_ = false;
    state_ = PlayState::Stopped;
    syncs.ResetPositions(0);
  }
  if (state_ == PlayState::Playing) return true;
  if (state_ == PlayState::Paused && attached_) {
    voice_->paused = false;
    state_ = PlayState::Playing;
    StartHearing();
    return true;
  }
  PrepareVoice();
  ResetVoice();
  voice_->paused = false;
  Fill();
  state_ = PlayState::Playing;
  attached_ = Lib().mixer.Attach(voice_.get());
  StartHearing();
  return attached_;
}

void Channel::StartHearing() {
  WakeOutput();
  WakeProcessing();
}

void Channel::Pause() {
  std::lock_guard lock(proc);
  if (state_ != PlayState::Playing) return;
  voice_->paused = true;
  state_ = PlayState::Paused;
}

void Channel::Stop() {
  std::lock_guard lock(proc);
  if (!attached_) { state_ = PlayState::Stopped; return; }
  const uint64_t pos = PositionFrames();
  Lib().mixer.Detach(voice_.get());
  attached_ = false;
  DropOutputQueue();
  // What was buffered but never heard is decoded again on the next play.
  if (!ended_ && !HasEnded()) source->Seek(pos);
  state_ = PlayState::Stopped;
}

bool Channel::SetPosition(uint64_t frame) {
  std::lock_guard lock(proc);
  const bool wasAttached = attached_;
  if (wasAttached) {
    Lib().mixer.Detach(voice_.get());
    attached_ = false;
  }
  const bool ok = source->Seek(frame);
  if (ok) {
    ended_ = false;
    decodeEnded_ = false;
    syncs.ResetPositions(frame * FrameBytes());
  }
  if (wasAttached) {
    ResetVoice();
    Fill();
    attached_ = Lib().mixer.Attach(voice_.get());
    // The new place follows what was heard; what the output held of the old one is dropped.
    DropOutputQueue();
    StartHearing();
  }
  if (ok) syncs.Raise(handle, KAUDIO_SYNC_SETPOS, 0);
  return ok;
}

bool Channel::HasEnded() const {
  if (ended_) return true;
  Voice* voice = GetVoice();
  if (!attached_ || !voice || !voice->SourceEnded()) return false;
  // Ended once the last frame is mixed and the device has played it.
  return voice->Read() >= voice->EndAt() && OutputPlayedFrames() >= voice->MixedUntil();
}

uint64_t Channel::PositionFrames() {
  Voice* voice = GetVoice();
  if (IsDecode() || !voice || !attached_) {
    std::lock_guard lock(proc);
    return source->Position();
  }
  uint64_t src = 0, p = 0;
  voice->Locate(voice->HeardFrame(OutputPlayedFrames()), &src, &p);
  return src;
}

bool Channel::LatestSamples(float* dst, size_t frames) {
  const uint32_t ch = format.channels;
  Voice* voice = GetVoice();
  if (!voice || frames > historyFrames_ - kHistoryExtra / 2) return false;
  uint64_t src = 0, p = 0;
  voice->Locate(voice->HeardFrame(OutputPlayedFrames()), &src, &p);
  p = std::min(p, procCount_.load(std::memory_order_acquire));
  // Frames before the channel's first are silence; the rest is read from the ring with one
  // division per call: the meters and the visualization ask for thousands of frames each tick.
  const size_t silent = p < frames ? size_t(frames - p) : 0;
  std::fill(dst, dst + silent * ch, 0.0f);
  const uint64_t oldest = p + silent - frames;
  size_t at = size_t(oldest % historyFrames_);
  for (size_t f = silent; f < frames; ++f) {
    const std::atomic<float>* s = &history_[at * ch];
    for (uint32_t c = 0; c < ch; ++c) dst[f * ch + c] = s[c].load(std::memory_order_relaxed);
    if (++at == historyFrames_) at = 0;
  }
  // Decoding runs ahead of what is heard: a request reaching back nearly as far as the ring
  // holds may have been partly written over meanwhile, and is refused rather than torn.
  return procCount_.load(std::memory_order_acquire) - oldest <= historyFrames_ - kHistoryExtra / 2;
}

uint32_t Channel::SpareMs() const {
  const Voice* voice = GetVoice();
  if (!voice || !NeedsService() || voice->SourceEnded() || source->IsLive()) return 0;
  const uint64_t rate = OutputRate();
  const uint64_t target = rate * GetConfig().bufferMs.load() / 1000;
  const uint64_t ahead = voice->Written() - voice->Read();
  if (rate == 0 || ahead * 4 < target * 3) return 0;
  return uint32_t((ahead - target / 2) * 1000 / rate / 2);
}

bool Channel::Service() {
  std::lock_guard lock(proc);
  if (!attached_ || state_ != PlayState::Playing) return false;
  if (HasEnded()) {
    Lib().mixer.Detach(voice_.get());
    attached_ = false;
    ended_ = true;
    state_ = PlayState::Stopped;
    syncs.Raise(handle, KAUDIO_SYNC_END, 0);
    return true;
  }
  if (voice_->SourceEnded() == false) Fill();
  if (source->IsLive()) {
    // Stall syncs: data 0 when the buffer ran dry, 1 when playback resumes.
    const bool dry = !voice_->SourceEnded() && voice_->Written() == voice_->Read();
    if (dry != stalled_) {
      stalled_ = dry;
      syncs.Raise(handle, KAUDIO_SYNC_STALL, dry ? 0 : 1);
    }
  }
  syncs.RaisePositions(handle, PositionFrames() * FrameBytes());
  return false;
}

}  // namespace kaudio
