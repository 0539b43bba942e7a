// The audio back-end's effects on the current channel: the five channel attributes with
// their hint texts, the equalizer, the fade ramp, dynamic amplification and the DSP plug-in
// feeder. The DSPs run on the library's processing thread; everything else on the UI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

// rnd(x): nearest integer, halves away from zero.
long long EffectRound(double x);

// Slider value to attribute value, as SetVolume ... SetSampleRate apply them.
double VolumeFromSlider(int v);
double BalanceFromSlider(int v);
double PitchFromSlider(int v);
double TempoFromSlider(int v);
std::uint32_t SampleRateFromSlider(int v, std::uint32_t ownRate);

// The hint texts the setters build for their sliders ("75%", "-12 semitones", "44100Hz",
// "EQ PreAmp:0%", "EQ Band 31 Hz:50%"); band 0..9.
std::string VolumeHintText(int v);
std::string BalanceHintText(int v);
std::string PitchHintText(int v);
std::string TempoHintText(int v);
std::string SampleRateHintText(int v, std::uint32_t ownRate);
std::string PreAmpHintText(int v);
std::string EQBandHintText(int band, int v);

void BASSAPI_SetVolume();
void BASSAPI_SetBalance();
void BASSAPI_SetPitch();
void BASSAPI_SetTempo();
void BASSAPI_SetSampleRate();
void BASSAPI_UpdateEQ();
void BASSAPI_ApplyEQState();
void BASSAPI_ApplyFadeState();
void BASSAPI_ApplyAutoAmplifyState();
void BASSAPI_ApplyDSPState();
// Detaches every effect (before the channels are freed for good).
void BASSAPI_RemoveAllEffects();

// The fade ramp's ranges and byte counter. Ranges are set on the UI thread while the fade is
// detached; the counter is moved by the UI thread (play from a marker, seek) and advanced by
// the processing thread.
struct TFadeState {
  std::atomic<std::int64_t> FadeInEnd{0};     // L
  std::atomic<std::int64_t> FadeOutStart{0};  // S
  std::atomic<std::int64_t> Length{0};        // T
  std::atomic<std::int64_t> Counter{0};
};
TFadeState& FadeState();
// Ranges for a freshly opened channel (before any tempo wrapping); the counter goes to 0.
void BASSAPI_SetUpFadeRanges(std::uint32_t handle);
// The factor for a frame at the given counter.
double FadeFactor(std::int64_t counter, std::int64_t fadeInEnd, std::int64_t fadeOutStart,
                  std::int64_t length);
// The DSP itself, exposed for tests: frames of 1 or 2 float channels, in place.
void FadeProcess(float* samples, std::uint32_t frames, int channels);
