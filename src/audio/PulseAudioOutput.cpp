#include "audio/PulseAudioOutput.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/Config.h"
#include "audio/Mixer.h"

namespace kaudio {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kConnectWait = std::chrono::milliseconds(1500);
constexpr auto kListWait = std::chrono::milliseconds(1000);
constexpr auto kTimingRefresh = std::chrono::milliseconds(1000);

void Unref(pa_operation* op) {
  if (op) pa_operation_unref(op);
}

struct SinkQuery {
  std::string defaultSink;
  std::vector<PulseSinkEntry> sinks;
  bool haveServer = false;
  bool haveSinks = false;
};

}  // namespace

std::vector<PulseSinkEntry> PulseAudioSinks() {
  SinkQuery q;
  pa_mainloop* ml = pa_mainloop_new();
  if (!ml) return {};
  pa_context* ctx = pa_context_new(pa_mainloop_get_api(ml), "keldar3");
  if (ctx && pa_context_connect(ctx, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
    const auto deadline = Clock::now() + kListWait;
    bool asked = false;
    while (Clock::now() < deadline && !(q.haveServer && q.haveSinks)) {
      if (pa_mainloop_iterate(ml, 0, nullptr) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const pa_context_state_t st = pa_context_get_state(ctx);
      if (!PA_CONTEXT_IS_GOOD(st)) break;
      if (st == PA_CONTEXT_READY && !asked) {
        asked = true;
        Unref(pa_context_get_server_info(
            ctx,
            [](pa_context*, const pa_server_info* i, void* u) {
              auto* q = static_cast<SinkQuery*>(u);
              if (i && i->default_sink_name) q->defaultSink = i->default_sink_name;
              q->haveServer = true;
            },
            &q));
        Unref(pa_context_get_sink_info_list(
            ctx,
            [](pa_context*, const pa_sink_info* i, int eol, void* u) {
              auto* q = static_cast<SinkQuery*>(u);
              if (eol) {
                q->haveSinks = true;
                return;
              }
              if (i && i->name) q->sinks.push_back({i->name, i->description ? i->description : i->name, false});
            },
            &q));
      }
    }
    pa_context_disconnect(ctx);
  }
  if (ctx) pa_context_unref(ctx);
  pa_mainloop_free(ml);
  if (!q.haveServer || !q.haveSinks) return {};
  // The default sink first: it is the one a "default device" means.
  for (auto& s : q.sinks) s.isDefault = s.name == q.defaultSink;
  std::stable_partition(q.sinks.begin(), q.sinks.end(), [](const PulseSinkEntry& s) { return s.isDefault; });
  return q.sinks;
}

PulseAudioOutput::~PulseAudioOutput() { Close(); }

bool PulseAudioOutput::Open(uint32_t rate, uint32_t channels, Mixer* mixer) {
  rate_ = rate;
  channels_ = channels;
  mixer_ = mixer;
  // The server holds about the library's buffer length, capped so that what it holds of a
  // stopped song is short; it asks for a refill each time half of it has played, so the
  // process wakes a few times a second. Seeks and stops drop what it holds.
  const uint32_t ms = std::clamp<uint32_t>(GetConfig().bufferMs.load(), 100, 500);
  targetBytes_ = uint32_t(uint64_t(rate) * ms / 1000) * channels * sizeof(float);
  loop_ = pa_threaded_mainloop_new();
  if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
    if (loop_) pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    return false;
  }
  fallback_ = std::make_unique<NullOutput>();
  fallback_->Open(rate, channels, mixer);
  if (Connect()) return true;
  Close();
  return false;
}

bool PulseAudioOutput::Connect() {
  pa_threaded_mainloop_lock(loop_);
  const auto deadline = Clock::now() + kConnectWait;
  auto waitFor = [&](auto ready) {
    while (!ready()) {
      if (Clock::now() > deadline) return false;
      pa_threaded_mainloop_unlock(loop_);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      pa_threaded_mainloop_lock(loop_);
    }
    return true;
  };
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "keldar3");
  bool ok = context_ != nullptr;
  if (ok) {
    pa_context_set_state_callback(
        context_,
        [](pa_context* c, void* u) {
          if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(c))) static_cast<PulseAudioOutput*>(u)->OnFailure();
        },
        this);
    ok = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 && waitFor([&] {
      const auto st = pa_context_get_state(context_);
      return st == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(st);
    }) && pa_context_get_state(context_) == PA_CONTEXT_READY;
  }
  if (ok) {
    pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, rate_, uint8_t(channels_)};
    stream_ = pa_stream_new(context_, "Playback", &spec, nullptr);
    ok = stream_ != nullptr;
  }
  if (ok) {
    pa_stream_set_write_callback(
        stream_, [](pa_stream*, size_t, void* u) { static_cast<PulseAudioOutput*>(u)->OnWritable(); }, this);
    pa_stream_set_state_callback(
        stream_,
        [](pa_stream* s, void* u) {
          if (!PA_STREAM_IS_GOOD(pa_stream_get_state(s))) static_cast<PulseAudioOutput*>(u)->OnFailure();
        },
        this);
    pa_stream_set_latency_update_callback(
        stream_, [](pa_stream*, void* u) { static_cast<PulseAudioOutput*>(u)->PublishClock(); }, this);
    pa_buffer_attr attr{};
    attr.maxlength = uint32_t(-1);
    attr.tlength = targetBytes_;
    // The server's default pre-buffer is the whole target, more than it asks for at first:
    // it would never start. A small one starts it as soon as the first piece arrives.
    attr.prebuf = targetBytes_ / 8;
    attr.minreq = targetBytes_ / 2;
    attr.fragsize = uint32_t(-1);
    // Timing is asked for by us, after each refill and each cork, flush or uncork: the
    // library's automatic updates go on every 1.5 s while the stream rests corked.
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY);
    ok = pa_stream_connect_playback(stream_, sink_.empty() ? nullptr : sink_.c_str(), &attr, flags, nullptr,
                                    nullptr) >= 0 &&
         waitFor([&] {
           const auto st = pa_stream_get_state(stream_);
           return st == PA_STREAM_READY || !PA_STREAM_IS_GOOD(st);
         }) &&
         pa_stream_get_state(stream_) == PA_STREAM_READY;
  }
  if (ok) {
    const pa_buffer_attr* got = pa_stream_get_buffer_attr(stream_);
    const uint32_t frameBytes = channels_ * sizeof(float);
    latencyFrames_ = (got ? got->tlength : targetBytes_) / frameBytes;
    clockBase_ = int64_t(written_.load());
    reported_ = written_.load();
    corked_ = false;
    idle_ = false;
    live_ = true;
    RequestTiming();
  }
  PublishClock();
  pa_threaded_mainloop_unlock(loop_);
  return ok;
}

void PulseAudioOutput::Disconnect() {
  if (!loop_) return;
  pa_threaded_mainloop_lock(loop_);
  live_ = false;
  PublishClock();
  if (stream_) {
    pa_stream_set_state_callback(stream_, nullptr, nullptr);
    pa_stream_set_write_callback(stream_, nullptr, nullptr);
    pa_stream_set_latency_update_callback(stream_, nullptr, nullptr);
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
    stream_ = nullptr;
  }
  if (context_) {
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  pa_threaded_mainloop_unlock(loop_);
}

bool PulseAudioOutput::Reconnect() {
  Disconnect();
  // The silent clock stops; the server takes over from what it counted.
  fallback_->Pause();
  written_ = fallback_->PlayedFrames();
  if (!Connect()) {
    Disconnect();
    return false;
  }
  broken_ = false;
  return true;
}

int64_t PulseAudioOutput::StreamFrames(bool heard) const {
  // From the server's last timing report, run on at the sample rate since it was taken while
  // the stream plays. The interpolating clock of the library is not used: it runs from the
  // stream's creation, before the server has played anything.
  const pa_timing_info* t = pa_stream_get_timing_info(stream_);
  if (!t) return -1;
  int64_t frames = ReportFrames(*t, heard);
  if (t->playing && !corked_) {
    timeval now{};
    pa_gettimeofday(&now);
    frames += int64_t(pa_timeval_diff(&now, &t->timestamp) * rate_ / 1000000ull);
  }
  return frames;
}

int64_t PulseAudioOutput::ReportFrames(const pa_timing_info& t, bool heard) const {
  const int64_t frameBytes = int64_t(channels_ * sizeof(float));
  int64_t frames = t.read_index / frameBytes;
  if (heard) frames -= int64_t((t.sink_usec + t.transport_usec) * rate_ / 1000000ull);
  return frames;
}

uint64_t PulseAudioOutput::Advance(int64_t played) const {
  const uint64_t clamped = uint64_t(std::clamp<int64_t>(played, 0, int64_t(written_.load())));
  // A report may fall behind what was run on before it, and a drop moves the base.
  uint64_t seen = reported_.load();
  while (clamped > seen && !reported_.compare_exchange_weak(seen, clamped)) {
  }
  return std::max(seen, clamped);
}

uint64_t PulseAudioOutput::PlayedLocked() const {
  if (!stream_ || !live_) return reported_;
  const int64_t stream = StreamFrames(true);
  if (stream < 0) return reported_;
  return Advance(clockBase_ + stream);
}

void PulseAudioOutput::PublishClock() {
  ClockReport report;
  if (const pa_timing_info* t = stream_ && live_ ? pa_stream_get_timing_info(stream_) : nullptr) {
    report.valid = true;
    report.running = t->playing && !corked_;
    report.frames = clockBase_ + ReportFrames(*t, true);
    report.at = pa_timeval_load(&t->timestamp);
  }
  std::lock_guard lock(clockMutex_);
  clock_ = report;
}

uint64_t PulseAudioOutput::PlayedFrames() const {
  if (!loop_) return 0;
  if (broken_.load(std::memory_order_acquire)) return fallback_->PlayedFrames();
  ClockReport report;
  {
    std::lock_guard lock(clockMutex_);
    report = clock_;
  }
  if (!report.valid) return reported_;
  int64_t frames = report.frames;
  if (report.running) {
    timeval now{};
    pa_gettimeofday(&now);
    const int64_t since = int64_t(pa_timeval_load(&now)) - int64_t(report.at);
    if (since > 0) frames += since * int64_t(rate_) / 1000000;
  }
  return Advance(frames);
}

void PulseAudioOutput::OnWritable() {
  if (!running_ || idle_ || !live_) return;
  WriteAvailable();
}

void PulseAudioOutput::WriteAvailable() {
  const size_t frameBytes = channels_ * sizeof(float);
  size_t left = pa_stream_writable_size(stream_);
  if (left == size_t(-1)) return;
  // Topped up to the target as well: just after a start or a drop the server's request may
  // not have arrived yet, and it would wait for us.
  const uint64_t written = written_.load(std::memory_order_relaxed);
  const uint64_t queued = written - std::min(written, PlayedLocked());
  if (queued < latencyFrames_) left = std::max(left, size_t(latencyFrames_ - queued) * frameBytes);
  // Requests are answered in full, silence where no voice has data, so the server never
  // waits for us and the clock keeps running.
  bool wrote = false;
  while (left >= frameBytes) {
    void* data = nullptr;
    size_t len = left;
    if (pa_stream_begin_write(stream_, &data, &len) < 0 || !data) break;
    len = std::min(len, left);
    len -= len % frameBytes;
    if (len == 0) {
      pa_stream_cancel_write(stream_);
      break;
    }
    const uint64_t at = written_.load(std::memory_order_relaxed);
    mixer_->Mix(static_cast<float*>(data), uint32_t(len / frameBytes), at);
    if (pa_stream_write(stream_, data, len, nullptr, 0, PA_SEEK_RELATIVE) < 0) break;
    written_.store(at + len / frameBytes, std::memory_order_release);
    left -= len;
    wrote = true;
  }
  if (wrote && TimingStale()) RequestTiming();
  // Nothing has played for a while: nothing runs until a voice starts.
  if (mixer_->SilentFrames() >= IdleAfterFrames(*this)) GoIdle();
}

void PulseAudioOutput::Cork(bool cork) {
  if (corked_ == cork) return;
  corked_ = cork;
  Unref(pa_stream_cork(stream_, cork ? 1 : 0, nullptr, nullptr));
  RequestTiming();
  PublishClock();
}

void PulseAudioOutput::RequestTiming() {
  // The answer comes through the latency-update callback, which publishes it.
  Unref(pa_stream_update_timing_info(stream_, nullptr, nullptr));
  timingAskedAt_ = Clock::now();
}

bool PulseAudioOutput::TimingStale() const {
  // A playing stream's report runs on by the sample rate, so a refill asks again only after a
  // while; until a report says the server plays, every refill asks (the clock waits for it).
  const pa_timing_info* t = pa_stream_get_timing_info(stream_);
  return !t || !t->playing || Clock::now() - timingAskedAt_ >= kTimingRefresh;
}

void PulseAudioOutput::DropLocked() {
  // Everything after what was heard goes: the voices move back to it, and the next frame
  // written is played where the server reads now.
  const uint64_t heard = PlayedLocked();
  const int64_t reading = std::max<int64_t>(StreamFrames(false), 0);
  Unref(pa_stream_flush(stream_, nullptr, nullptr));
  RequestTiming();
  mixer_->Rewind(heard);
  written_.store(heard, std::memory_order_release);
  clockBase_ = int64_t(heard) - reading;
  PublishClock();
}

void PulseAudioOutput::GoIdle() {
  idle_ = true;
  Cork(true);
  // What the server holds is silence by now; dropped, the next sound starts at once.
  DropLocked();
}

void PulseAudioOutput::DropQueued() {
  std::lock_guard lock(control_);
  if (!loop_ || broken_) return;
  // The server asks for what it lost; a voice that starts meanwhile wakes us.
  pa_threaded_mainloop_lock(loop_);
  if (live_) DropLocked();
  pa_threaded_mainloop_unlock(loop_);
}

void PulseAudioOutput::OnFailure() {
  if (!live_ || broken_) return;
  // What the server held is lost: the voices go back to what was heard, and a silent clock
  // plays them on so songs still end.
  const uint64_t heard = PlayedLocked();
  live_ = false;
  PublishClock();
  mixer_->Rewind(heard);
  written_ = heard;
  // The silent clock takes over from what was heard, running or paused as the server was.
  fallback_->StartAt(heard);
  if (!running_) fallback_->Pause();
  broken_ = true;
}

bool PulseAudioOutput::Start() {
  std::lock_guard lock(control_);
  if (!fallback_) return false;
  running_ = true;
  mixer_->EndSilence();
  if (broken_ && !Reconnect()) return fallback_->StartAt(fallback_->PlayedFrames());
  pa_threaded_mainloop_lock(loop_);
  if (mixer_->HasPlayingVoice()) {
    // Paused: the server plays on from what it kept.
    idle_ = false;
    Cork(false);
    WriteAvailable();
  } else {
    // Nothing to play: what the server kept belongs to stopped or paused voices.
    GoIdle();
  }
  pa_threaded_mainloop_unlock(loop_);
  return true;
}

bool PulseAudioOutput::Pause() {
  std::lock_guard lock(control_);
  if (!fallback_) return false;
  running_ = false;
  if (broken_) return fallback_->Pause();
  // Corked, the server keeps what it holds and plays it on when uncorked. The clock stops
  // where the server stopped: its timing is asked again once the cork has been done.
  pa_threaded_mainloop_lock(loop_);
  if (live_) {
    Cork(true);
    if (pa_operation* op = pa_stream_update_timing_info(stream_, nullptr, nullptr)) {
      const auto deadline = Clock::now() + std::chrono::milliseconds(300);
      while (pa_operation_get_state(op) == PA_OPERATION_RUNNING && Clock::now() < deadline) {
        pa_threaded_mainloop_unlock(loop_);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pa_threaded_mainloop_lock(loop_);
      }
      pa_operation_unref(op);
    }
    PublishClock();
  }
  pa_threaded_mainloop_unlock(loop_);
  return true;
}

void PulseAudioOutput::Wake() {
  // Only silence mixed since this many frames: what the server holds of it need not be heard
  // before the voice that starts.
  const uint64_t silent = mixer_->SilentFrames();
  mixer_->EndSilence();
  std::lock_guard lock(control_);
  if (!fallback_ || !running_) return;
  if (broken_) {
    // A server that came back is used from the next play on.
    if (!Reconnect()) {
      fallback_->StartAt(fallback_->PlayedFrames());
      fallback_->Wake();
      return;
    }
  }
  pa_threaded_mainloop_lock(loop_);
  if (live_) {
    const uint64_t written = written_.load();
    if (idle_ || silent >= written - std::min(written, PlayedLocked())) DropLocked();
    idle_ = false;
    // The first piece goes in before the uncork: uncorked empty, the stream would run dry
    // until it came, and the server's rewind over that silence loses a start that is late.
    WriteAvailable();
    Cork(false);
  }
  pa_threaded_mainloop_unlock(loop_);
}

void PulseAudioOutput::Close() {
  std::lock_guard lock(control_);
  running_ = false;
  Disconnect();
  if (loop_) {
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
  }
  if (fallback_) fallback_->Close();
}

}  // namespace kaudio
