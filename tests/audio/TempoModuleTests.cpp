// Tempo streams over decoding channels, and tracker modules.
#include <chrono>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"

using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

class TempoTest : public AudioTest {};
class ModuleTest : public AudioTest {};

KAUDIO_HSTREAM Tempo(const std::string& path, KAUDIO_DWORD flags) {
  const KAUDIO_HSTREAM src = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | 0x80000000u);
  if (!src) return 0;
  return KAUDIO_FX_TempoCreate(src, 0x80010000u | flags);
}

int FftPeakAfter(KAUDIO_HSTREAM h, double seconds) {
  float skip[4096];
  const size_t frames = size_t(seconds * 44100);
  for (size_t done = 0; done < frames; done += 1024)
    KAUDIO_ChannelGetData(h, skip, 1024 * 2 * 4 | KAUDIO_DATA_FLOAT);
  float fft[512];
  if (KAUDIO_ChannelGetData(h, fft, KAUDIO_DATA_FFT1024) == KAUDIO_DWORD(-1)) return -1;
  return PeakBin(fft, 512);
}

TEST_F(TempoTest, FiftyPercentFasterPlaysSixSecondsInFour) {
  const std::string path = dir_.File("six.wav");
  ASSERT_TRUE(MakeTone(path, 6.0));
  const KAUDIO_HSTREAM h = Tempo(path, 0);
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_TEMPO, 50.0f));
  EXPECT_NEAR(KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetLength(h, KAUDIO_POS_BYTE)), 6.0, 0.01);
  const auto start = Clock::now();
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));
  // Positions are the source's: 2 s of listening cover 3 s of the file.
  EXPECT_NEAR(KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 3.0, 0.25);
  while (KAUDIO_ChannelIsActive(h) != KAUDIO_ACTIVE_STOPPED &&
         std::chrono::duration<double>(Clock::now() - start).count() < 8.0)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_NEAR(took, 4.0, 0.3);
}

// Read until the end; the frames as stereo float.
std::vector<float> DecodeAll(KAUDIO_HSTREAM h) {
  std::vector<float> all;
  float block[2048];
  for (;;) {
    const KAUDIO_DWORD got = KAUDIO_ChannelGetData(h, block, sizeof block | KAUDIO_DATA_FLOAT);
    if (got == KAUDIO_DWORD(-1) || got == 0) break;
    all.insert(all.end(), block, block + got / sizeof(float));
  }
  return all;
}

TEST_F(TempoTest, AtItsNeutralSettingsTheSourceComesThroughUntouchedAndAChangeBackLosesNothing) {
  const std::string path = dir_.File("tone.wav");
  ASSERT_TRUE(MakeTone(path, 3.0));
  const KAUDIO_HSTREAM plain = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE | 0x80000000u);
  ASSERT_NE(plain, 0u);
  const std::vector<float> source = DecodeAll(plain);
  ASSERT_EQ(source.size(), size_t(3 * 44100 * 2));

  const KAUDIO_HSTREAM neutral = Tempo(path, KAUDIO_STREAM_DECODE);
  ASSERT_NE(neutral, 0u) << KAUDIO_ErrorGetCode();
  EXPECT_EQ(DecodeAll(neutral), source);

  // A second at double speed, then back: the rest of the file follows, none of it twice.
  const KAUDIO_HSTREAM changed = Tempo(path, KAUDIO_STREAM_DECODE);
  ASSERT_NE(changed, 0u);
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(changed, KAUDIO_ATTRIB_TEMPO, 100.0f));
  std::vector<float> fast(44100 * 2);
  ASSERT_EQ(KAUDIO_ChannelGetData(changed, fast.data(), KAUDIO_DWORD(fast.size() * 4) | KAUDIO_DATA_FLOAT),
            KAUDIO_DWORD(fast.size() * 4));
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(changed, KAUDIO_ATTRIB_TEMPO, 0.0f));
  const std::vector<float> rest = DecodeAll(changed);
  // Two seconds of the file went by at double speed; one is left, with SoundTouch's few
  // milliseconds of latency pushed out at the change.
  EXPECT_NEAR(double(rest.size()) / 2 / 44100, 1.0, 0.15);
}

TEST_F(TempoTest, PitchAndRateMoveTheSpectrumPeak) {
  const std::string path = dir_.File("tone.wav");
  ASSERT_TRUE(MakeTone(path, 4.0, 440.0, 0.8));
  {
    const KAUDIO_HSTREAM h = Tempo(path, KAUDIO_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(FftPeakAfter(h, 0.5), 10);
    KAUDIO_StreamFree(h);
  }
  {
    const KAUDIO_HSTREAM h = Tempo(path, KAUDIO_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_TEMPO_PITCH, 12.0f));
    const int bin = FftPeakAfter(h, 0.5);
    EXPECT_GE(bin, 19);
    EXPECT_LE(bin, 21);
    // Pitch alone keeps the duration.
    const size_t frames = DecodeAll(h).size() / 2;
    EXPECT_NEAR(double(frames) / 44100.0, 4.0 - 0.5 - 1024.0 / 44100, 0.15);
    KAUDIO_StreamFree(h);
  }
  {
    const KAUDIO_HSTREAM h = Tempo(path, KAUDIO_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_TEMPO_FREQ, 88200.0f));
    const int bin = FftPeakAfter(h, 0.25);
    EXPECT_GE(bin, 19);
    EXPECT_LE(bin, 21);
    const size_t frames = DecodeAll(h).size() / 2;
    EXPECT_NEAR(double(frames) / 44100.0, 2.0 - 0.25 - 1024.0 / 44100, 0.15);
    KAUDIO_StreamFree(h);
  }
}

TEST_F(TempoTest, TempoStreamFreesItsSourceAndRefusesPlayingOnes) {
  const std::string path = dir_.File("t.wav");
  ASSERT_TRUE(MakeTone(path, 1.0));
  const KAUDIO_HSTREAM src = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, KAUDIO_STREAM_DECODE);
  ASSERT_NE(src, 0u);
  const KAUDIO_HSTREAM h = KAUDIO_FX_TempoCreate(src, KAUDIO_FX_FREESOURCE);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(KAUDIO_FX_TempoGetSource(h), src);
  ASSERT_TRUE(KAUDIO_StreamFree(h));
  KAUDIO_CHANNELINFO info{};
  EXPECT_FALSE(KAUDIO_ChannelGetInfo(src, &info));
  const KAUDIO_HSTREAM plain = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  EXPECT_EQ(KAUDIO_FX_TempoCreate(plain, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_DECODE);
  EXPECT_FALSE(KAUDIO_ChannelSetAttribute(plain, KAUDIO_ATTRIB_TEMPO, 10.0f));
}

TEST_F(ModuleTest, GeneratedModLoadsPlaysAndReportsItsNames) {
  const std::string path = dir_.File("tiny.mod");
  WriteFile(path, TinyMod("keldar tiny", "square lead"));
  const KAUDIO_HMUSIC h = KAUDIO_MusicLoad(0, path.c_str(), 0, 0,
                                           KAUDIO_MUSIC_PRESCAN | KAUDIO_MUSIC_RAMP | KAUDIO_UNICODE, 0);
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  EXPECT_STREQ(KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_NAME), "keldar tiny");
  EXPECT_STREQ(KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_SAMPLE + 0), "square lead");
  EXPECT_NE(KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_SAMPLE + 30), nullptr);
  EXPECT_EQ(KAUDIO_ChannelGetTags(h, KAUDIO_TAG_MUSIC_SAMPLE + 31), nullptr);
  EXPECT_STREQ(KAUDIO_TAGS_Read(h, "%TITL"), "keldar tiny");
  // One pattern of 64 rows at speed 6 / 125 BPM lasts 7.68 s.
  const double length = KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetLength(h, KAUDIO_POS_BYTE));
  EXPECT_NEAR(length, 7.68, 0.05);
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_MUSIC_PANSEP, 50.0f));
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING));
  EXPECT_GT(KAUDIO_ChannelGetLevel(h) & 0xffff, 1000u);
  EXPECT_NEAR(KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 0.3, 0.1);
  EXPECT_TRUE(KAUDIO_MusicFree(h));
}

TEST_F(ModuleTest, ModuleInTempoModeAcceptsPanSeparation) {
  const std::string path = dir_.File("tiny.mod");
  WriteFile(path, TinyMod("t", "s"));
  const KAUDIO_HMUSIC m = KAUDIO_MusicLoad(0, path.c_str(), 0, 0, KAUDIO_MUSIC_DECODE | KAUDIO_MUSIC_NONINTER, 44100);
  ASSERT_NE(m, 0u);
  const KAUDIO_HSTREAM h = KAUDIO_FX_TempoCreate(m, KAUDIO_FX_FREESOURCE);
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_MUSIC_PANSEP, 20.0f));
  float v = 0;
  ASSERT_TRUE(KAUDIO_ChannelGetAttribute(h, KAUDIO_ATTRIB_MUSIC_PANSEP, &v));
  EXPECT_FLOAT_EQ(v, 20.0f);
}

}  // namespace
