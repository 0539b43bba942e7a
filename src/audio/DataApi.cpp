// Data and hooks: samples, spectrum, levels, DSP callbacks, effects and syncs.
#include <kaudio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/Errors.h"
#include "audio/Library.h"
#include "audio/SampleFormat.h"
#include "audio/Spectrum.h"

using namespace kaudio;

namespace {

constexpr KAUDIO_DWORD kError = KAUDIO_DWORD(-1);

// Scratch for one call; grows once per thread and is reused.
std::vector<float>& Scratch(size_t floats) {
  thread_local std::vector<float> buf;
  if (buf.size() < floats) buf.resize(floats);
  return buf;
}

// frames of the channel's latest audible samples (playing) or freshly decoded ones
// (decoding). Returns the frames obtained, or -1 with the error set.
long Obtain(Channel& ch, float* dst, size_t frames) {
  if (ch.IsDecode()) {
    bool ended = false;
    const size_t got = ch.Pull(dst, frames, &ended);
    if (!got && ended) { SetError(KAUDIO_ERROR_ENDED); return -1; }
    std::fill(dst + got * ch.format.channels, dst + frames * ch.format.channels, 0.0f);
    return long(got);
  }
  if (ch.State() == PlayState::Stopped || ch.HasEnded()) { SetError(KAUDIO_ERROR_NOPLAY); return -1; }
  if (!ch.LatestSamples(dst, frames)) { SetError(KAUDIO_ERROR_NOTAVAIL); return -1; }
  return long(frames);
}

}  // namespace

extern "C" {

KAUDIO_DWORD KAUDIO_ChannelGetData(KAUDIO_DWORD handle, void* buffer, KAUDIO_DWORD length) {
  auto ch = FindChannel(handle);
  if (!ch) return kError;
  const uint32_t chans = ch->format.channels;
  if (length == KAUDIO_DATA_AVAILABLE) {
    SetError(0);
    Voice* v = ch->GetVoice();
    if (ch->IsDecode() || !v) return 0;
    return KAUDIO_DWORD(std::min<uint64_t>((v->Written() - v->Read()) * ch->format.rate / OutputRate() *
                                               ch->FrameBytes(), 0x7fffffff));
  }
  if (!buffer) { SetError(KAUDIO_ERROR_ILLPARAM); return kError; }
  if (const uint32_t size = FftSizeOf(length)) {
    std::vector<float>& s = Scratch(size_t(size) * chans);
    const long got = Obtain(*ch, s.data(), size);
    if (got < 0) return kError;
    if (!ComputeSpectrum(s.data(), chans, length, static_cast<float*>(buffer))) {
      SetError(KAUDIO_ERROR_ILLPARAM);
      return kError;
    }
    SetError(0);
    return KAUDIO_DWORD(size_t(got) * ch->FrameBytes());
  }
  if (length & 0x80000000u) { SetError(KAUDIO_ERROR_ILLPARAM); return kError; }
  const bool asFloat = (length & KAUDIO_DATA_FLOAT) != 0;
  const uint32_t bytes = length & ~KAUDIO_DATA_FLOAT;
  const uint32_t bps = asFloat ? 4 : ch->bytesPerSample;
  const size_t frames = bytes / (bps * chans);
  if (!frames) { SetError(0); return 0; }
  std::vector<float>& s = Scratch(frames * chans);
  const long got = Obtain(*ch, s.data(), frames);
  if (got < 0) return kError;
  FloatToFormat(s.data(), size_t(got) * chans, bps, buffer);
  SetError(0);
  return KAUDIO_DWORD(size_t(got) * chans * bps);
}

KAUDIO_DWORD KAUDIO_ChannelGetLevel(KAUDIO_DWORD handle) {
  auto ch = FindChannel(handle);
  if (!ch) return kError;
  const uint32_t chans = ch->format.channels;
  const size_t frames = std::max<size_t>(1, ch->format.rate / 50);  // 20 ms
  std::vector<float>& s = Scratch(frames * chans);
  const long got = Obtain(*ch, s.data(), frames);
  if (got < 0) return kError;
  // Even channels count as left, odd ones as right; a mono channel is both. The meters ask
  // 50 times a second: each side is read by its own stride, with no test per sample.
  float left = 0, right = 0;
  for (size_t f = 0; f < size_t(got); ++f) {
    const float* frame = &s[f * chans];
    for (uint32_t c = 0; c < chans; c += 2) left = std::max(left, std::fabs(frame[c]));
    for (uint32_t c = 1; c < chans; c += 2) right = std::max(right, std::fabs(frame[c]));
  }
  if (chans == 1) right = left;
  auto scale = [](float v) { return KAUDIO_DWORD(std::min(32768.0f, std::round(v * 32768.0f))); };
  SetError(0);
  return scale(left) | (scale(right) << 16);
}

KAUDIO_HDSP KAUDIO_ChannelSetDSP(KAUDIO_DWORD handle, KAUDIO_DSPPROC* proc, void* user, int priority) {
  if (!proc) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  const uint32_t h = NewHandle();
  {
    std::lock_guard lock(ch->proc);
    ch->chain.AddDsp(h, proc, user, priority);
  }
  RememberOwner(h, handle);
  SetError(0);
  return h;
}

KAUDIO_BOOL KAUDIO_ChannelRemoveDSP(KAUDIO_DWORD handle, KAUDIO_HDSP dsp) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  bool ok;
  {
    std::lock_guard lock(ch->proc);
    ok = ch->chain.Remove(dsp);
  }
  if (!ok) return Fail(KAUDIO_ERROR_HANDLE);
  ForgetOwner(dsp);
  SetError(0);
  return 1;
}

KAUDIO_HFX KAUDIO_ChannelSetFX(KAUDIO_DWORD handle, KAUDIO_DWORD type, int priority) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  const uint32_t h = NewHandle();
  {
    std::lock_guard lock(ch->proc);
    if (!ch->chain.AddFx(h, type, priority)) return Fail(KAUDIO_ERROR_ILLTYPE);
  }
  RememberOwner(h, handle);
  SetError(0);
  return h;
}

KAUDIO_BOOL KAUDIO_FXSetParameters(KAUDIO_HFX handle, const void* params) {
  if (!params) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindOwner(handle);
  if (!ch) return 0;
  std::lock_guard lock(ch->proc);
  DspEntry* e = ch->chain.Find(handle);
  if (!e || !e->damp) return Fail(KAUDIO_ERROR_HANDLE);
  KAUDIO_FX_DAMP_PARAMS p;
  std::memcpy(&p, params, sizeof p);
  if (!(p.fTarget > 0) || p.fQuiet < 0 || p.fRate < 0 || p.fGain < 0 || p.fDelay < 0)
    return Fail(KAUDIO_ERROR_ILLPARAM);
  e->damp->SetParameters(p);
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_FXGetParameters(KAUDIO_HFX handle, void* params) {
  if (!params) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindOwner(handle);
  if (!ch) return 0;
  std::lock_guard lock(ch->proc);
  DspEntry* e = ch->chain.Find(handle);
  if (!e || !e->damp) return Fail(KAUDIO_ERROR_HANDLE);
  const KAUDIO_FX_DAMP_PARAMS p = e->damp->Parameters();
  std::memcpy(params, &p, sizeof p);
  SetError(0);
  return 1;
}

KAUDIO_BOOL KAUDIO_ChannelRemoveFX(KAUDIO_DWORD handle, KAUDIO_HFX fx) {
  return KAUDIO_ChannelRemoveDSP(handle, fx);
}

KAUDIO_HSYNC KAUDIO_ChannelSetSync(KAUDIO_DWORD handle, KAUDIO_DWORD type, KAUDIO_QWORD param,
                                   KAUDIO_SYNCPROC* proc, void* user) {
  if (!proc) return Fail(KAUDIO_ERROR_ILLPARAM);
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  const uint32_t base = type & ~(KAUDIO_SYNC_MIXTIME | KAUDIO_SYNC_ONETIME);
  switch (base) {
    case KAUDIO_SYNC_POS: case KAUDIO_SYNC_END: case KAUDIO_SYNC_META: case KAUDIO_SYNC_STALL:
    case KAUDIO_SYNC_DOWNLOAD: case KAUDIO_SYNC_FREE: case KAUDIO_SYNC_SETPOS:
    case KAUDIO_SYNC_OGG_CHANGE: case KAUDIO_SYNC_WMA_CHANGE: case KAUDIO_SYNC_WMA_META: break;
    default: return Fail(KAUDIO_ERROR_ILLTYPE);
  }
  const uint32_t h = NewHandle();
  SyncEntry e{h, base, param, proc, user, (type & KAUDIO_SYNC_MIXTIME) != 0,
              (type & KAUDIO_SYNC_ONETIME) != 0};
  if (base == KAUDIO_SYNC_POS) e.posFired = param < ch->PositionFrames() * ch->FrameBytes();
  ch->syncs.Add(e);
  RememberOwner(h, handle);
  SetError(0);
  return h;
}

KAUDIO_BOOL KAUDIO_ChannelRemoveSync(KAUDIO_DWORD handle, KAUDIO_HSYNC sync) {
  auto ch = FindChannel(handle);
  if (!ch) return 0;
  if (!ch->syncs.Remove(sync)) return Fail(KAUDIO_ERROR_HANDLE);
  ForgetOwner(sync);
  SetError(0);
  return 1;
}

}  // extern "C"
