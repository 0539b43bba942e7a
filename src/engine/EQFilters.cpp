#include "engine/EQFilters.h"

#include <cmath>
#include <numbers>

namespace {
const double kBoost = std::pow(10.0, 6.0 / 20.0);
const double kCut = std::pow(10.0, -6.0 / 20.0);
constexpr double kMaxGainDb = 14.0;

bool IsNeutral(const TEQCoefficientSet& set) {
  if (set.PreAmp != 1.0) return false;
  for (const auto& band : set.Bands)
    if (band.Gain != 0.0) return false;
  return true;
}
}  // namespace

double EQSliderFactor(int slider) { return (2.0 * slider - 100.0) / 100.0; }

double EQBandGain(double q) {
  const double G = q * kMaxGainDb;
  return G > 0 ? G * kBoost / kMaxGainDb : G * kCut / kMaxGainDb;
}

double EQPreAmpFactor(double q) { return q > 0 ? 1.0 + 4.0 * q : 1.0 - 0.8 * std::fabs(q); }

void ComputeEQBandFilter(TEQBandCoefficients& band, double centre, double rate) {
  band.CentreFrequency = centre;
  band.Quality = kEQBandQuality;
  if (rate > 0 && centre < rate / 2) {
    const double w = 2 * std::numbers::pi * centre / rate;
    const double t = std::tan(w / (2 * kEQBandQuality));
    band.Beta = 0.5 * (1 - t) / (1 + t);
    band.Alpha = (0.5 - band.Beta) / 2;
    band.Gamma = (0.5 + band.Beta) * std::cos(w);
  } else {
    band.Alpha = band.Beta = band.Gamma = 0;
  }
}

TEQCoefficientSet ComputeEQCoefficients(int preampSlider, const std::array<int, kEQBandCount>& bandSliders,
                                        double rate) {
  TEQCoefficientSet set;
  for (int i = 0; i < kEQBandCount; ++i) {
    set.Bands[i].Gain = EQBandGain(EQSliderFactor(bandSliders[i]));
    ComputeEQBandFilter(set.Bands[i], kEQBandFrequencies[i], rate);
  }
  set.PreAmp = EQPreAmpFactor(EQSliderFactor(preampSlider));
  return set;
}

TEQCoefficientSet InitialEQCoefficients() {
  TEQCoefficientSet set;
  for (int i = 0; i < kEQBandCount; ++i) {
    set.Bands[i].Gain = EQBandGain(1.0);
    ComputeEQBandFilter(set.Bands[i], kEQBandFrequencies[i], 44100);
  }
  return set;
}

TEQFilterBank::TEQFilterBank() {
  published_ = InitialEQCoefficients();
  buffers_.fill(published_);
}

void TEQFilterBank::Publish(const TEQCoefficientSet& set) {
  published_ = set;
  buffers_[back_] = set;
  back_ = ready_.exchange(back_ | kFresh, std::memory_order_acq_rel) & 3;
}

const TEQCoefficientSet& TEQFilterBank::Front() {
  if (ready_.load(std::memory_order_relaxed) & kFresh)
    front_ = ready_.exchange(front_, std::memory_order_acq_rel) & 3;
  return buffers_[front_];
}

void TEQFilterBank::Process(float* samples, std::uint32_t frames, int channels) {
  if (channels < 1 || channels > 2) return;
  const TEQCoefficientSet& set = Front();
  // Neutral settings leave every sample untouched (bit for bit); the histories still run.
  const bool neutral = IsNeutral(set);
  for (std::uint32_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      float& sample = samples[f * channels + c];
      const double x = sample;
      double sum = 0;
      for (int i = 0; i < kEQBandCount; ++i) {
        const TEQBandCoefficients& b = set.Bands[i];
        const double y = 2 * (b.Alpha * (x - x2_[c]) + b.Gamma * y1_[c][i] - b.Beta * y2_[c][i]);
        y2_[c][i] = y1_[c][i];
        y1_[c][i] = y;
        sum += b.Gain * y;
      }
      x2_[c] = x1_[c];
      x1_[c] = x;
      if (!neutral) sample = static_cast<float>(set.PreAmp * (x + sum));
    }
  }
}

TEQFilterBank& EQFilterBank() {
  static TEQFilterBank bank;
  return bank;
}
