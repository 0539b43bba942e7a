#include "audio/DampEffect.h"

#include <algorithm>
#include <cmath>

namespace kaudio {

namespace {
constexpr float kMaxGain = 16.0f;
constexpr uint32_t kWindowMs = 10;
}  // namespace

DampEffect::DampEffect() {
  params_ = {0.92f, 0.02f, 0.01f, 1.0f, 0.5f, 0};
  gain_ = 1.0f;
}

void DampEffect::SetParameters(const KAUDIO_FX_DAMP_PARAMS& p) {
  params_ = p;
  params_.fTarget = std::clamp(p.fTarget, 0.0f, 1.0f);
  params_.fQuiet = std::clamp(p.fQuiet, 0.0f, 1.0f);
  params_.fRate = std::clamp(p.fRate, 0.0f, 1.0f);
  params_.fDelay = std::max(p.fDelay, 0.0f);
  gain_ = std::clamp(p.fGain > 0 ? p.fGain : 1.0f, 0.0f, kMaxGain);
  holdSeconds_ = 0.0;
}

void DampEffect::Process(float* samples, uint32_t frames, uint32_t channels, uint32_t rate) {
  if (!channels || !rate) return;
  // Work in short windows: measure the peak, settle the gain, apply it with a ramp.
  const uint32_t window = std::max<uint32_t>(1, rate * kWindowMs / 1000);
  for (uint32_t start = 0; start < frames; start += window) {
    const uint32_t n = std::min(window, frames - start);
    float* block = samples + size_t(start) * channels;
    float peak = 0.0f;
    for (uint32_t i = 0; i < n * channels; ++i) peak = std::max(peak, std::fabs(block[i]));
    const float before = gain_;
    const double seconds = double(n) / rate;
    if (peak * gain_ > params_.fTarget && peak > 0.0f) {
      gain_ = params_.fTarget / peak;  // never louder than the target
      holdSeconds_ = params_.fDelay;
    } else if (peak >= params_.fQuiet) {
      if (holdSeconds_ > 0.0) {
        holdSeconds_ -= seconds;
      } else {
        const float rise = float(std::pow(1.0 + params_.fRate * 10.0, seconds));
        const float limit = peak > 0.0f ? params_.fTarget / peak : kMaxGain;
        gain_ = std::min({gain_ * rise, limit, kMaxGain});
      }
    }
    const float step = (gain_ - before) / float(n);
    float g = before;
    for (uint32_t i = 0; i < n; ++i) {
      g += step;
      for (uint32_t c = 0; c < channels; ++c) block[i * channels + c] *= g;
    }
  }
}

}  // namespace kaudio
