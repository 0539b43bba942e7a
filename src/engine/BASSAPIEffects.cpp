#include "engine/BASSAPIEffects.h"

#include <cmath>
#include <cstdint>

#include "engine/BASSAPI.h"
#include "engine/EQFilters.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_VideoEngine.h"
#include "kaudio.h"

namespace {

constexpr int kDSPPriority = 5;
constexpr int kAutoAmplifyPriority = 4;
constexpr int kEQPriority = 3;
constexpr int kFadePriority = 2;
constexpr std::uint32_t kBytesPerFloat = 4;

KELDAR_AUDIOVIDEO_API_EngineState& S() { return KELDAR_AUDIOVIDEO_API_State(); }

// One effect attached to one channel.
struct TAttachment {
  std::uint32_t Channel = 0;
  std::uint32_t Handle = 0;
};
TAttachment g_eq, g_fade, g_autoAmplify, g_dsp;

// What the DSP feeder tells the plug-in about the channel; set before it is attached.
std::atomic<std::uint32_t> g_feederRate{0};
std::atomic<std::uint32_t> g_feederChannels{0};

std::string Percent(double value) { return std::to_string(EffectRound(value * 100)) + "%"; }

// Only stereo and mono channels get sample DSPs.
bool TakesSampleDSP() { return S().ChannelInfo.Channels == 1 || S().ChannelInfo.Channels == 2; }

void EQDsp(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void* user) {
  const int channels = static_cast<int>(reinterpret_cast<std::intptr_t>(user));
  EQFilterBank().Process(static_cast<float*>(buffer), length / (kBytesPerFloat * channels), channels);
}

void FadeDsp(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void* user) {
  const int channels = static_cast<int>(reinterpret_cast<std::intptr_t>(user));
  FadeProcess(static_cast<float*>(buffer), length / (kBytesPerFloat * channels), channels);
}

void FeederDsp(KAUDIO_HDSP, KAUDIO_DWORD, void* buffer, KAUDIO_DWORD length, void*) {
  if (const auto process = DSPPluginHook().Process.load(std::memory_order_acquire))
    process(buffer, length, g_feederRate.load(std::memory_order_relaxed),
            g_feederChannels.load(std::memory_order_relaxed), kBytesPerFloat);
}

void DetachDsp(TAttachment& a) {
  if (a.Channel) KAUDIO_ChannelRemoveDSP(a.Channel, a.Handle);
  a = {};
}

// Keeps a sample DSP attached to the current channel while wanted, nowhere else.
void ApplySampleDsp(TAttachment& a, bool wanted, KAUDIO_DSPPROC* proc, int priority) {
  const std::uint32_t channel = BASSAPI_CurrentHandle();
  if (a.Channel && (!wanted || a.Channel != channel)) DetachDsp(a);
  if (!wanted || !channel || a.Channel == channel || !TakesSampleDSP()) return;
  void* user = reinterpret_cast<void*>(static_cast<std::intptr_t>(S().ChannelInfo.Channels));
  if (const KAUDIO_HDSP h = KAUDIO_ChannelSetDSP(channel, proc, user, priority)) a = {channel, h};
}

void SetChannelAttribute(KAUDIO_DWORD attribute, double value) {
  if (const std::uint32_t h = BASSAPI_CurrentHandle()) KAUDIO_ChannelSetAttribute(h, attribute, static_cast<float>(value));
}

// Pitch, tempo and rate exist only on the tempo stream.
void SetTempoAttribute(KAUDIO_DWORD attribute, double value) {
  if (S().TempoMode == 1) SetChannelAttribute(attribute, value);
}

void DetachAutoAmplify() {
  if (g_autoAmplify.Channel) KAUDIO_ChannelRemoveFX(g_autoAmplify.Channel, g_autoAmplify.Handle);
  g_autoAmplify = {};
}

// The feeder goes, and the plug-in stops its own effect on that channel.
void DetachPluginDsp() {
  const std::uint32_t old = g_dsp.Channel;
  DetachDsp(g_dsp);
  if (const auto stop = DSPPluginHook().StopEffect.load(); old && stop) stop(old);
}

}  // namespace

long long EffectRound(double x) { return std::llround(x); }

double VolumeFromSlider(int v) { return v / 100.0; }
double BalanceFromSlider(int v) { return (2.0 * v - 100.0) / 100.0; }
double PitchFromSlider(int v) { return (v - 50) * 0.48; }
double TempoFromSlider(int v) { return (v - 50) * 1.9; }

std::uint32_t SampleRateFromSlider(int v, std::uint32_t ownRate) {
  const std::int64_t r = ownRate;
  if (v > 50) return static_cast<std::uint32_t>(r * 2 * v / 100);
  if (v < 50) return static_cast<std::uint32_t>(r * (v + 50) / 100);
  return ownRate;
}

std::string VolumeHintText(int v) { return Percent(VolumeFromSlider(v)); }
std::string BalanceHintText(int v) { return Percent(BalanceFromSlider(v)); }
std::string PitchHintText(int v) { return std::to_string(EffectRound(PitchFromSlider(v))) + " semitones"; }
std::string TempoHintText(int v) { return std::to_string(EffectRound(TempoFromSlider(v))) + "%"; }
std::string SampleRateHintText(int v, std::uint32_t ownRate) {
  return std::to_string(SampleRateFromSlider(v, ownRate)) + "Hz";
}
std::string PreAmpHintText(int v) { return "EQ PreAmp:" + Percent(EQSliderFactor(v)); }
std::string EQBandHintText(int band, int v) {
  static const char* const kBandHints[kEQBandCount] = {
      "EQ Band 31 Hz:",   "EQ Band 62 Hz:",   "EQ Band 125 Hz:",  "EQ Band 250 Hz:",
      "EQ Band 500 Hz:",  "EQ Band 1000 Hz:", "EQ Band 2000 Hz:", "EQ Band 4000 Hz:",
      "EQ Band 8000 Hz:", "EQ Band 16000 Hz:"};
  if (band < 0 || band >= kEQBandCount) return {};
  return kBandHints[band] + Percent(EQSliderFactor(v));
}

void BASSAPI_SetVolume() {
  S().Hints.Volume = VolumeHintText(S().Sliders.Volume);
  SetChannelAttribute(KAUDIO_ATTRIB_VOL, VolumeFromSlider(S().Sliders.Volume));
  if (S().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) SetVideoAttribute(2, VolumeFromSlider(S().Sliders.Volume));
}

void BASSAPI_SetBalance() {
  S().Hints.Balance = BalanceHintText(S().Sliders.Balance);
  SetChannelAttribute(KAUDIO_ATTRIB_PAN, BalanceFromSlider(S().Sliders.Balance));
  if (S().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) SetVideoAttribute(3, BalanceFromSlider(S().Sliders.Balance));
}

void BASSAPI_SetPitch() {
  S().Hints.Pitch = PitchHintText(S().Sliders.Pitch);
  SetTempoAttribute(KAUDIO_ATTRIB_TEMPO_PITCH, PitchFromSlider(S().Sliders.Pitch));
}

void BASSAPI_SetTempo() {
  S().Hints.Tempo = TempoHintText(S().Sliders.Tempo);
  SetTempoAttribute(KAUDIO_ATTRIB_TEMPO, TempoFromSlider(S().Sliders.Tempo));
}

void BASSAPI_SetSampleRate() {
  S().Hints.SampleRate = SampleRateHintText(S().Sliders.SampleRate, S().ChannelInfo.SamplingRate);
  SetTempoAttribute(KAUDIO_ATTRIB_TEMPO_FREQ, SampleRateFromSlider(S().Sliders.SampleRate, S().ChannelInfo.SamplingRate));
}

void BASSAPI_UpdateEQ() {
  auto& s = S();
  s.Hints.PreAmp = PreAmpHintText(s.Sliders.PreAmp);
  for (int i = 0; i < kEQBandCount; ++i) s.Hints.Bands[i] = EQBandHintText(i, s.Sliders.Bands[i]);
  // Before any channel has told its rate the filters are laid out for CD audio.
  const double rate = s.ChannelInfo.SamplingRate ? s.ChannelInfo.SamplingRate : 44100;
  EQFilterBank().Publish(ComputeEQCoefficients(s.Sliders.PreAmp, s.Sliders.Bands, rate));
}

void BASSAPI_ApplyEQState() { ApplySampleDsp(g_eq, S().Effects.EQ, EQDsp, kEQPriority); }

void BASSAPI_ApplyFadeState() { ApplySampleDsp(g_fade, S().Effects.Fade, FadeDsp, kFadePriority); }

void BASSAPI_ApplyAutoAmplifyState() {
  const std::uint32_t channel = BASSAPI_CurrentHandle();
  const bool wanted = S().Effects.AutoAmplify;
  auto& a = g_autoAmplify;
  if (a.Channel && (!wanted || a.Channel != channel)) DetachAutoAmplify();
  if (!wanted || !channel || a.Channel == channel) return;
  const KAUDIO_HFX fx = KAUDIO_ChannelSetFX(channel, KAUDIO_FX_DAMP, kAutoAmplifyPriority);
  if (!fx) return;
  KAUDIO_FX_DAMP_PARAMS params{};
  params.fTarget = 0.92f;
  params.fQuiet = 0.02f;
  params.fRate = 0.01f;
  params.fGain = 1.0f;
  params.fDelay = 0.5f;
  params.lChannel = 0;
  KAUDIO_FXSetParameters(fx, &params);
  a = {channel, fx};
}

void BASSAPI_ApplyDSPState() {
  const std::uint32_t channel = BASSAPI_CurrentHandle();
  const bool wanted = S().Effects.DSP;
  auto& a = g_dsp;
  if (a.Channel && (!wanted || a.Channel != channel)) DetachPluginDsp();
  // Plug-ins are written for mono and stereo: a wider channel gets neither the feeder nor
  // the plug-in's own effect.
  if (!wanted || !channel || a.Channel == channel || !TakesSampleDSP()) return;
  g_feederRate = S().ChannelInfo.SamplingRate;
  g_feederChannels = S().ChannelInfo.Channels;
  const KAUDIO_HDSP h = KAUDIO_ChannelSetDSP(channel, FeederDsp, nullptr, kDSPPriority);
  if (!h) return;
  a = {channel, h};
  if (const auto create = DSPPluginHook().CreateEffect.load()) create(channel);
}

void BASSAPI_RemoveAllEffects() {
  DetachDsp(g_eq);
  DetachDsp(g_fade);
  DetachAutoAmplify();
  DetachPluginDsp();
}

TFadeState& FadeState() {
  static TFadeState state;
  return state;
}

void BASSAPI_SetUpFadeRanges(std::uint32_t handle) {
  auto& f = FadeState();
  const double seconds = KELDAR_AUDIOVIDEO_API_Settings().FadeInOutMs / 1000.0;
  const KAUDIO_QWORD fadeBytes = KAUDIO_ChannelSeconds2Bytes(handle, seconds);
  const KAUDIO_QWORD lengthBytes = KAUDIO_ChannelGetLength(handle, KAUDIO_POS_BYTE);
  // The library's "unknown" (all bits set) reads as a negative length.
  const std::int64_t L = static_cast<std::int64_t>(fadeBytes);
  std::int64_t T = static_cast<std::int64_t>(lengthBytes);
  std::int64_t fadeInEnd = L < 0 ? 0 : L;
  std::int64_t S = L < 0 ? T : T - L;
  if (S < 0 || T <= 0) fadeInEnd = S = T = 0;
  f.FadeInEnd = fadeInEnd;
  f.FadeOutStart = S;
  f.Length = T;
  f.Counter = 0;
}

double FadeFactor(std::int64_t counter, std::int64_t L, std::int64_t S, std::int64_t T) {
  if (counter < L) return static_cast<double>(counter) / static_cast<double>(L);
  // Past the length (a slowed tempo stream, a length that was an estimate) the ramp stays
  // silent instead of turning negative and growing.
  if (counter > S && S > 0 && T > 0 && S < T)
    return counter >= T ? 0.0 : static_cast<double>(T - counter) / static_cast<double>(T - S);
  return 1.0;
}

void FadeProcess(float* samples, std::uint32_t frames, int channels) {
  if (channels < 1 || channels > 2) return;
  auto& f = FadeState();
  const std::int64_t L = f.FadeInEnd.load(std::memory_order_relaxed);
  const std::int64_t S = f.FadeOutStart.load(std::memory_order_relaxed);
  const std::int64_t T = f.Length.load(std::memory_order_relaxed);
  const std::int64_t start = f.Counter.load(std::memory_order_relaxed);
  const std::int64_t frameBytes = kBytesPerFloat * channels;
  std::int64_t counter = start;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double factor = FadeFactor(counter, L, S, T);
    if (factor != 1.0)
      for (int c = 0; c < channels; ++c) {
        float& sample = samples[i * channels + c];
        sample = static_cast<float>(sample * factor);
      }
    counter += frameBytes;
  }
  // A seek on the UI thread meanwhile wins over our advance.
  std::int64_t expected = start;
  f.Counter.compare_exchange_strong(expected, counter, std::memory_order_relaxed);
}
