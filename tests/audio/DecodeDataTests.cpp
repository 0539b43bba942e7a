// Decoding channels, sample data, spectrum and levels.
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "TestSupport.h"

using namespace audiotest;

namespace {

class DecodeDataTest : public AudioTest {};

// Expected 440 Hz bin of a 1024-point FFT at 44100 Hz.
constexpr int k440Bin = 10;  // 440 * 1024 / 44100 = 10.2

TEST_F(DecodeDataTest, DecodedSamplesMatchTheSourceTone) {
  for (const char* ext : {".wav", ".flac", ".mp3", ".ogg"}) {
    const std::string path = dir_.File(std::string("tone") + ext);
    ASSERT_TRUE(MakeTone(path, 1.0, 440.0, 0.5, 44100, 1)) << ext;
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0,
                                                     KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u) << ext;
    const std::vector<float> all = DecodeAll(h);
    ASSERT_NEAR(double(all.size()), 44100.0, 44100.0 * 0.03) << ext;
    // Compare the steady middle part with the ideal sine, allowing a phase found by search.
    double bestErr = 1e9;
    for (int shift = 0; shift < 100; ++shift) {
      double err = 0;
      for (size_t i = 10000; i < 30000; ++i)
        err = std::max(err, std::fabs(all[i] - 0.5 * std::sin(2 * M_PI * 440.0 * double(i + shift) / 44100.0)));
      bestErr = std::min(bestErr, err);
    }
    const bool lossless = std::string(ext) == ".wav" || std::string(ext) == ".flac";
    EXPECT_LT(bestErr, lossless ? 0.001 : 0.08) << ext;
    EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED)) << ext;
    EXPECT_EQ(KAUDIO_ChannelGetData(h, nullptr, 4), KAUDIO_DWORD(-1));
    float x[4];
    EXPECT_EQ(KAUDIO_ChannelGetData(h, x, sizeof x), KAUDIO_DWORD(-1));
    EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ENDED);
    KAUDIO_StreamFree(h);
  }
}

// Lossy decoders give planar float: each side must come out on its own side, whole and in
// time, also from a file whose rate is not the one the library was started at.
TEST_F(DecodeDataTest, LossyStereoKeepsEachSideOnItsOwnSide) {
  for (const char* ext : {".mp3", ".ogg", ".m4a", ".opus"}) {
    const std::string wav = dir_.File(std::string("sides") + ext + ".wav"), path = dir_.File(std::string("sides") + ext);
    ASSERT_TRUE(Shell("sox -n -r 48000 -c 2 -b 16 '" + wav + "' synth 1 sine 440 sine 1000 vol 0.5"));
    ASSERT_TRUE(Shell("ffmpeg -v quiet -y -i '" + wav + "' '" + path + "'")) << ext;
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u) << ext;
    KAUDIO_CHANNELINFO info{};
    ASSERT_TRUE(KAUDIO_ChannelGetInfo(h, &info));
    ASSERT_EQ(info.chans, 2u) << ext;
    const std::vector<float> all = DecodeAll(h);
    const size_t frames = all.size() / 2;
    EXPECT_NEAR(double(frames), double(info.freq), info.freq * 0.06) << ext << ": one second";
    // Each side's frequency from its rising zero crossings in the steady middle.
    auto frequency = [&](int side) {
      size_t first = 0, last = 0, count = 0;
      for (size_t i = frames / 4 + 1; i < frames * 3 / 4; ++i)
        if (all[2 * (i - 1) + side] < 0 && all[2 * i + side] >= 0) {
          if (count++ == 0) first = i;
          last = i;
        }
      return count > 1 ? double(count - 1) * info.freq / double(last - first) : 0.0;
    };
    EXPECT_NEAR(frequency(0), 440.0, 5.0) << ext << ": the left side";
    EXPECT_NEAR(frequency(1), 1000.0, 10.0) << ext << ": the right side";
    float peak[2] = {0, 0};
    for (size_t i = frames / 4; i < frames * 3 / 4; ++i)
      for (int side = 0; side < 2; ++side) peak[side] = std::max(peak[side], std::fabs(all[2 * i + side]));
    EXPECT_NEAR(peak[0], 0.5, 0.08) << ext;
    EXPECT_NEAR(peak[1], 0.5, 0.08) << ext;
    KAUDIO_StreamFree(h);
  }
}

TEST_F(DecodeDataTest, SeekingIsSampleAccurate) {
  for (const char* ext : {".wav", ".flac", ".mp3"}) {
    const std::string path = dir_.File(std::string("seek") + ext);
    // A sweep makes every position distinct.
    ASSERT_TRUE(Shell("sox -n -r 44100 -c 1 -b 16 '" + path + ".wav' synth 2 sine 100-4000 vol 0.5"));
    if (std::string(ext) == ".wav") ASSERT_TRUE(Shell("mv '" + path + ".wav' '" + path + "'"));
    else if (std::string(ext) == ".flac") ASSERT_TRUE(Shell("flac -s -f -o '" + path + "' '" + path + ".wav'"));
    else ASSERT_TRUE(Shell("lame --quiet -b 192 '" + path + ".wav' '" + path + "'"));
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0,
                                                     KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u);
    const std::vector<float> all = DecodeAll(h);
    const size_t target = 54321;
    ASSERT_TRUE(KAUDIO_ChannelSetPosition(h, target * 4, KAUDIO_POS_BYTE)) << ext;
    EXPECT_EQ(KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE), target * 4) << ext;
    float got[256];
    ASSERT_EQ(KAUDIO_ChannelGetData(h, got, sizeof got | KAUDIO_DATA_FLOAT), sizeof got);
    const double tol = std::string(ext) == ".mp3" ? 0.02 : 1e-6;
    for (int i = 0; i < 256; ++i) ASSERT_NEAR(got[i], all[target + size_t(i)], tol) << ext << " at " << i;
    KAUDIO_StreamFree(h);
  }
}

TEST_F(DecodeDataTest, FftPeaksAt440AndLevelOfFullScaleToneIsNear32768) {
  const std::string path = dir_.File("full.wav");
  ASSERT_TRUE(MakeTone(path, 2.0, 440.0, 1.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(h, 0u);
  float fft[512];
  ASSERT_EQ(KAUDIO_ChannelGetData(h, fft, KAUDIO_DATA_FFT1024), 1024u * 4);  // 1024 16-bit stereo frames
  EXPECT_EQ(PeakBin(fft, 512), k440Bin);
  EXPECT_GT(fft[k440Bin], 0.4f);
  EXPECT_LT(fft[100], 0.01f);
  float per[512];
  ASSERT_NE(KAUDIO_ChannelGetData(h, per, KAUDIO_DATA_FFT512 | KAUDIO_DATA_FFT_INDIVIDUAL), KAUDIO_DWORD(-1));
  // 256 bins of each channel, interleaved: 440 Hz is bin 5 of a 512-point FFT.
  EXPECT_EQ(PeakBin(per, 512) / 2, 5);
  const KAUDIO_DWORD level = KAUDIO_ChannelGetLevel(h);
  ASSERT_NE(level, KAUDIO_DWORD(-1));
  EXPECT_GT(level & 0xffff, 32000u);
  EXPECT_LE(level & 0xffff, 32768u);
  EXPECT_GT(level >> 16, 32000u);
  int16_t pcm[8];
  EXPECT_EQ(KAUDIO_ChannelGetData(h, pcm, sizeof pcm), sizeof pcm);
}

// The level's halves: even channels are the left, odd ones the right, a mono channel both.
TEST_F(DecodeDataTest, LevelTakesEachSideFromItsOwnChannels) {
  struct TCase {
    int channels;
    std::vector<int16_t> amplitudes;  // per channel
    unsigned left, right;
  };
  for (const TCase& c : {TCase{1, {16384}, 16384, 16384}, TCase{2, {16384, 8192}, 16384, 8192},
                         TCase{2, {4096, 24576}, 4096, 24576}, TCase{3, {4096, 8192, 24576}, 24576, 8192},
                         TCase{4, {4096, 8192, 2048, 16384}, 4096, 16384}}) {
    std::string pcm;
    for (int f = 0; f < 4410; ++f)
      for (int ch = 0; ch < c.channels; ++ch) {
        // A square wave at the channel's amplitude.
        int16_t v = static_cast<int16_t>(f % 2 ? c.amplitudes[ch] : -c.amplitudes[ch]);
        pcm.append(reinterpret_cast<const char*>(&v), 2);
      }
    const std::string path = dir_.File("level" + std::to_string(c.channels) + std::to_string(c.left) + ".wav");
    WriteFile(path, PcmWav(c.channels, 44100, 16, pcm));
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
    ASSERT_NE(h, 0u) << c.channels;
    const KAUDIO_DWORD level = KAUDIO_ChannelGetLevel(h);
    EXPECT_EQ(level & 0xFFFF, c.left) << c.channels << " channels";
    EXPECT_EQ(level >> 16, c.right) << c.channels << " channels";
    KAUDIO_StreamFree(h);
  }
}

TEST_F(DecodeDataTest, PlayingChannelHandsOutItsLatestSamples) {
  const std::string path = dir_.File("play.wav");
  ASSERT_TRUE(MakeTone(path, 2.0, 440.0, 1.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  float fft[512];
  EXPECT_EQ(KAUDIO_ChannelGetData(h, fft, KAUDIO_DATA_FFT1024), KAUDIO_DWORD(-1));  // not playing
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_NOPLAY);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_NE(KAUDIO_ChannelGetData(h, fft, KAUDIO_DATA_FFT1024), KAUDIO_DWORD(-1));
  EXPECT_EQ(PeakBin(fft, 512), k440Bin);
  float wave[512];
  ASSERT_EQ(KAUDIO_ChannelGetData(h, wave, 2048), 2048u);
  float peak = 0;
  for (float v : wave) peak = std::max(peak, std::fabs(v));
  EXPECT_GT(peak, 0.9f);
  EXPECT_GT(KAUDIO_ChannelGetLevel(h) & 0xffff, 30000u);
}

// The channel keeps its latest samples in a ring that wraps about every 1.4 s while decoding
// runs ahead of what is heard. A request read across the wrap comes out in order, with
// silence only before the start; one reaching back nearly the whole ring is refused or whole,
// never partly written over.
TEST_F(DecodeDataTest, LatestSamplesComeOutInOrderAcrossTheRingsWrap) {
  const std::string path = dir_.File("ramp.wav");
  // A ramp that climbs one step a frame and falls back every 1000 frames.
  constexpr int kFrames = 4 * 44100;
  std::string pcm;
  for (int k = 0; k < kFrames; ++k) {
    const auto v = static_cast<int16_t>((k % 1000 - 500) * 32);
    pcm.append(reinterpret_cast<const char*>(&v), 2);
  }
  WriteFile(path, PcmWav(1, 44100, 16, pcm));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_SAMPLE_FLOAT);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  const float step = 32.0f / 32768.0f;
  const auto inOrder = [&](const std::vector<float>& got) {
    size_t i = 0;
    while (i < got.size() && got[i] == 0.0f) ++i;  // before the channel's first frame
    for (; i + 1 < got.size(); ++i) {
      const float d = got[i + 1] - got[i];
      if (std::fabs(d - step) > 1e-6f && std::fabs(d + 999 * step) > 1e-5f) {
        ADD_FAILURE() << got.size() << " frames: frame " << i << " jumps by " << d;
        return false;
      }
    }
    return true;
  };
  int reads = 0;
  for (int t = 0; t < 30; ++t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const size_t want : {size_t(20000), size_t(55000)}) {
      std::vector<float> got(want);
      const KAUDIO_DWORD bytes = KAUDIO_ChannelGetData(h, got.data(), uint32_t(want * 4) | KAUDIO_DATA_FLOAT);
      if (bytes == KAUDIO_DWORD(-1) && want > 20000) continue;
      ASSERT_EQ(bytes, want * 4);
      ASSERT_TRUE(inOrder(got)) << "at " << t * 100 + 100 << " ms";
      reads += want == 20000;
    }
  }
  EXPECT_EQ(reads, 30);
  KAUDIO_StreamFree(h);
}

}  // namespace
