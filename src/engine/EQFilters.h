// The ten-band equalizer: coefficients from the slider values, and the parallel filter bank
// that runs as a DSP on the processing thread. The UI thread publishes whole coefficient
// sets; the processing thread picks up the newest complete set at the start of a buffer, so
// no half-updated band is ever used.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

inline constexpr int kEQBandCount = 10;
inline constexpr std::array<double, kEQBandCount> kEQBandFrequencies{
    31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
inline constexpr double kEQBandQuality = 1.4;

struct TEQBandCoefficients {
  double CentreFrequency = 0;
  double Quality = kEQBandQuality;
  double Gain = 0;  // g
  double Alpha = 0;
  double Beta = 0;
  double Gamma = 0;
};

struct TEQCoefficientSet {
  std::array<TEQBandCoefficients, kEQBandCount> Bands{};
  double PreAmp = 1.0;  // P
};

// Slider 0..100 to the factor q = (2v - 100) / 100.
double EQSliderFactor(int slider);
// Band gain g from the band's q.
double EQBandGain(double q);
// Preamp factor P from the preamp's q: 0.2 .. 5.
double EQPreAmpFactor(double q);
// One band's filter for centre f at rate R; silent (all zero) when f is not below R / 2.
void ComputeEQBandFilter(TEQBandCoefficients& band, double centre, double rate);
// The whole set for the preamp and band sliders at the given rate.
TEQCoefficientSet ComputeEQCoefficients(int preampSlider, const std::array<int, kEQBandCount>& bandSliders,
                                        double rate);
// The set in force before the first update: every band at G = 14 for 44100 Hz.
TEQCoefficientSet InitialEQCoefficients();

class TEQFilterBank {
 public:
  TEQFilterBank();
  // UI thread: makes the set the one the next buffer uses.
  void Publish(const TEQCoefficientSet& set);
  // The set last published (UI thread).
  const TEQCoefficientSet& Published() const { return published_; }
  // Processing thread: filters interleaved float frames in place (1 or 2 channels).
  void Process(float* samples, std::uint32_t frames, int channels);

 private:
  const TEQCoefficientSet& Front();

  // Triple buffer: the writer fills back_, then swaps it with the ready slot; the reader
  // swaps its front_ with the ready slot when a fresh set waits there.
  static constexpr int kFresh = 4;
  std::array<TEQCoefficientSet, 3> buffers_{};
  int back_ = 1;                 // writer only
  int front_ = 0;                // reader only
  std::atomic<int> ready_{2};    // index | kFresh
  TEQCoefficientSet published_;  // writer only
  // Histories live as long as the program; they are not cleared between songs.
  double x1_[2]{}, x2_[2]{};
  double y1_[2][kEQBandCount]{}, y2_[2][kEQBandCount]{};
};

// The one bank the engine attaches to the current channel.
TEQFilterBank& EQFilterBank();
