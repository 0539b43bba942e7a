#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <thread>
#include <vector>

#include "engine/EQFilters.h"

namespace {

std::array<int, kEQBandCount> Flat() {
  std::array<int, kEQBandCount> bands;
  bands.fill(50);
  return bands;
}

std::vector<float> Sine(double freq, double rate, size_t frames, int channels, double amplitude = 0.25) {
  std::vector<float> out(frames * channels);
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out[i * channels + c] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * freq * i / rate));
  return out;
}

// Level change in dB of a sine through the bank, measured after the filters settled.
double GainDb(TEQFilterBank& bank, double freq, double rate) {
  const size_t frames = static_cast<size_t>(rate);  // one second
  std::vector<float> in = Sine(freq, rate, frames, 1);
  std::vector<float> out = in;
  bank.Process(out.data(), static_cast<std::uint32_t>(frames), 1);
  double pin = 0, pout = 0;
  for (size_t i = frames / 2; i < frames; ++i) {
    pin += double(in[i]) * in[i];
    pout += double(out[i]) * out[i];
  }
  return 10 * std::log10(pout / pin);
}

TEST(EQFilters, SliderFactorsGainsAndPreamp) {
  EXPECT_DOUBLE_EQ(EQSliderFactor(50), 0.0);
  EXPECT_DOUBLE_EQ(EQSliderFactor(100), 1.0);
  EXPECT_DOUBLE_EQ(EQSliderFactor(0), -1.0);
  EXPECT_NEAR(EQBandGain(EQSliderFactor(100)), 1.995, 0.001);
  EXPECT_NEAR(EQBandGain(EQSliderFactor(0)), -0.501, 0.001);
  EXPECT_EQ(EQBandGain(EQSliderFactor(50)), 0.0);
  EXPECT_DOUBLE_EQ(EQPreAmpFactor(EQSliderFactor(100)), 5.0);
  EXPECT_DOUBLE_EQ(EQPreAmpFactor(EQSliderFactor(0)), 0.2);
  EXPECT_DOUBLE_EQ(EQPreAmpFactor(EQSliderFactor(50)), 1.0);
  EXPECT_DOUBLE_EQ(EQPreAmpFactor(EQSliderFactor(75)), 3.0);
  EXPECT_DOUBLE_EQ(EQPreAmpFactor(EQSliderFactor(25)), 0.6);

  std::array<int, kEQBandCount> bands = Flat();
  bands[0] = 100;
  bands[9] = 0;
  const TEQCoefficientSet set = ComputeEQCoefficients(50, bands, 44100);
  EXPECT_NEAR(set.Bands[0].Gain, std::pow(10.0, 6.0 / 20.0), 1e-12);
  EXPECT_NEAR(set.Bands[9].Gain, -std::pow(10.0, -6.0 / 20.0), 1e-12);
  for (int i = 1; i < 9; ++i) EXPECT_EQ(set.Bands[i].Gain, 0.0);
  for (int i = 0; i < kEQBandCount; ++i) {
    EXPECT_EQ(set.Bands[i].CentreFrequency, kEQBandFrequencies[i]);
    EXPECT_EQ(set.Bands[i].Quality, 1.4);
  }
}

TEST(EQFilters, CoefficientsOfOneBandAndTheSilentBand) {
  TEQCoefficientSet at44 = ComputeEQCoefficients(50, Flat(), 44100);
  // The 1000 Hz band worked out by hand.
  const double w = 2 * std::numbers::pi * 1000 / 44100, t = std::tan(w / 2.8);
  const double beta = 0.5 * (1 - t) / (1 + t);
  EXPECT_DOUBLE_EQ(at44.Bands[5].Beta, beta);
  EXPECT_DOUBLE_EQ(at44.Bands[5].Alpha, (0.5 - beta) / 2);
  EXPECT_DOUBLE_EQ(at44.Bands[5].Gamma, (0.5 + beta) * std::cos(w));
  EXPECT_NE(at44.Bands[9].Alpha, 0.0);

  std::array<int, kEQBandCount> loud;
  loud.fill(100);
  const TEQCoefficientSet at22 = ComputeEQCoefficients(50, loud, 22050);
  EXPECT_EQ(at22.Bands[9].Alpha, 0.0);
  EXPECT_EQ(at22.Bands[9].Beta, 0.0);
  EXPECT_EQ(at22.Bands[9].Gamma, 0.0);
  EXPECT_NE(at22.Bands[8].Alpha, 0.0);  // 8000 Hz is still below 11025 Hz

  // At 22050 Hz a +100 16 kHz band changes nothing: the output equals the input.
  std::array<int, kEQBandCount> onlyTop = Flat();
  onlyTop[9] = 100;
  TEQFilterBank bank;
  bank.Publish(ComputeEQCoefficients(50, onlyTop, 22050));
  std::vector<float> in = Sine(5000, 22050, 4096, 2);
  std::vector<float> out = in;
  bank.Process(out.data(), 4096, 2);
  EXPECT_EQ(std::memcmp(in.data(), out.data(), in.size() * sizeof(float)), 0);

  // Before the first update every band is laid out for 44100 Hz at full gain.
  const TEQCoefficientSet initial = InitialEQCoefficients();
  EXPECT_NEAR(initial.Bands[3].Gain, 1.995, 0.001);
  EXPECT_DOUBLE_EQ(initial.Bands[3].Beta, at44.Bands[3].Beta);
  EXPECT_EQ(initial.PreAmp, 1.0);
}

TEST(EQFilters, NeutralSlidersLeaveSamplesBitIdentical) {
  TEQFilterBank bank;
  // The bank starts with the full-gain layout; the first buffer after publishing uses flat.
  bank.Publish(ComputeEQCoefficients(50, Flat(), 44100));
  for (int channels = 1; channels <= 2; ++channels) {
    std::vector<float> in = Sine(440, 44100, 8192, channels, 0.9);
    in[3] = -0.0f;
    in[5] = 1e-30f;
    std::vector<float> out = in;
    bank.Process(out.data(), 8192, channels);
    EXPECT_EQ(std::memcmp(in.data(), out.data(), in.size() * sizeof(float)), 0) << channels;
  }
}

TEST(EQFilters, PreampScalesAndABandRaisesOnlyItsOwnRegion) {
  TEQFilterBank bank;
  bank.Publish(ComputeEQCoefficients(100, Flat(), 44100));
  EXPECT_NEAR(GainDb(bank, 440, 44100), 20 * std::log10(5.0), 0.01);
  bank.Publish(ComputeEQCoefficients(0, Flat(), 44100));
  EXPECT_NEAR(GainDb(bank, 440, 44100), 20 * std::log10(0.2), 0.01);

  // A sweep over the bands: +100 on one band raises its centre by several dB and leaves a
  // frequency three octaves away within 1 dB.
  for (int i = 0; i < 9; ++i) {
    std::array<int, kEQBandCount> bands = Flat();
    bands[i] = 100;
    TEQFilterBank one;
    one.Publish(ComputeEQCoefficients(50, bands, 44100));
    const double f = kEQBandFrequencies[i];
    EXPECT_GT(GainDb(one, f, 44100), 6.0) << f;
    const double distant = f >= 250 ? f / 8 : f * 8;
    EXPECT_LT(std::fabs(GainDb(one, distant, 44100)), 1.0) << f << " at " << distant;
  }
  // A cut band lowers its centre.
  std::array<int, kEQBandCount> cut = Flat();
  cut[5] = 0;
  TEQFilterBank low;
  low.Publish(ComputeEQCoefficients(50, cut, 44100));
  EXPECT_LT(GainDb(low, 1000, 44100), -2.0);
}

TEST(EQFilters, StereoChannelsAreFilteredIndependently) {
  TEQFilterBank bank;
  std::array<int, kEQBandCount> bands = Flat();
  bands[5] = 100;
  bank.Publish(ComputeEQCoefficients(50, bands, 44100));
  // Left carries the band's centre, right silence: the right channel must stay silent.
  std::vector<float> frames(2 * 4410);
  for (size_t i = 0; i < 4410; ++i) frames[2 * i] = static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 1000 * i / 44100));
  bank.Process(frames.data(), 4410, 2);
  double left = 0;
  for (size_t i = 0; i < 4410; ++i) {
    ASSERT_EQ(frames[2 * i + 1], 0.0f) << i;
    left = std::max(left, double(std::fabs(frames[2 * i])));
  }
  EXPECT_GT(left, 0.6);  // raised from 0.3
}

TEST(EQFilters, PublishingWhileProcessingNeverMixesTwoSets) {
  // Two sets that differ in every field the processing reads; with all filters silent the
  // output is P * x exactly, and with a torn set the neutral shortcut or P would disagree.
  TEQCoefficientSet a, b;
  a.PreAmp = 2.0;
  b.PreAmp = 0.5;
  for (auto& band : b.Bands) band.Gain = 1.0;  // silent filters: gains do not change the output
  TEQFilterBank bank;
  bank.Publish(a);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; !stop; ++i) bank.Publish(i % 2 ? a : b);
  });
  std::vector<float> buffer(512);
  int seenA = 0, seenB = 0;
  for (int round = 0; round < 4000; ++round) {
    std::fill(buffer.begin(), buffer.end(), 1.0f);
    bank.Process(buffer.data(), 512, 1);
    const float first = buffer[0];
    for (float v : buffer) ASSERT_EQ(v, first);
    ASSERT_TRUE(first == 2.0f || first == 0.5f) << first;
    (first == 2.0f ? seenA : seenB)++;
  }
  stop = true;
  writer.join();
  EXPECT_GT(seenA + seenB, 0);
}

}  // namespace
