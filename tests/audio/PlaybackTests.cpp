// Playing files on the no-sound device: real-time positions, lengths and ends.
#include <chrono>
#include <thread>

#include "AudioTestSupport.h"

using namespace audiotest;
using Clock = std::chrono::steady_clock;

namespace {

class PlaybackTest : public AudioTest {};

double Seconds(KAUDIO_HANDLE h, KAUDIO_QWORD bytes) { return KAUDIO_ChannelBytes2Seconds(h, bytes); }

TEST_F(PlaybackTest, FourFormatsPlayInRealTimeAndEnd) {
  const char* exts[] = {".mp3", ".ogg", ".wav", ".flac"};
  std::vector<KAUDIO_HSTREAM> streams;
  for (const char* ext : exts) {
    const std::string path = dir_.File(std::string("tone") + ext);
    ASSERT_TRUE(MakeTone(path, 3.0)) << ext;
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u) << ext << " error " << KAUDIO_ErrorGetCode();
    EXPECT_NEAR(Seconds(h, KAUDIO_ChannelGetLength(h, KAUDIO_POS_BYTE)), 3.0, 0.06) << ext;
    KAUDIO_CHANNELINFO info{};
    ASSERT_TRUE(KAUDIO_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_STOPPED));
    streams.push_back(h);
  }
  // Each stream's clock starts with its own play call: the calls before it take their time
  // (more so on a loaded machine or in a sanitized build).
  const auto start = Clock::now();
  std::vector<Clock::time_point> calledAt, returnedAt;
  for (auto h : streams) {
    calledAt.push_back(Clock::now());
    ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
    returnedAt.push_back(Clock::now());
  }

  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const auto now = Clock::now();
  for (size_t i = 0; i < streams.size(); ++i) {
    const auto h = streams[i];
    EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_PLAYING));
    // What is audible, not what was decoded ahead.
    const double position = Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE));
    EXPECT_GE(position, std::chrono::duration<double>(now - returnedAt[i]).count() - 0.1) << exts[i];
    EXPECT_LE(position, std::chrono::duration<double>(now - calledAt[i]).count() + 0.1) << exts[i];
  }

  const double buffer = KAUDIO_GetConfig(KAUDIO_CONFIG_BUFFER) / 1000.0;
  std::vector<double> endedAt(streams.size(), 0.0);
  while (std::chrono::duration<double>(Clock::now() - start).count() < 3.0 + buffer + 1.0) {
    for (size_t i = 0; i < streams.size(); ++i)
      if (endedAt[i] == 0.0 && KAUDIO_ChannelIsActive(streams[i]) == KAUDIO_ACTIVE_STOPPED)
        endedAt[i] = std::chrono::duration<double>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (size_t i = 0; i < streams.size(); ++i) {
    EXPECT_GT(endedAt[i], 0.0) << exts[i] << " never ended";
    EXPECT_NEAR(endedAt[i], 3.0, buffer) << exts[i];
  }
}

TEST_F(PlaybackTest, PauseHoldsThePositionAndStopRewindsNothing) {
  const std::string path = dir_.File("tone.wav");
  ASSERT_TRUE(MakeTone(path, 3.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_TRUE(KAUDIO_ChannelPause(h));
  EXPECT_EQ(KAUDIO_ChannelIsActive(h), KAUDIO_DWORD(KAUDIO_ACTIVE_PAUSED));
  const KAUDIO_QWORD paused = KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE), paused);
  EXPECT_NEAR(Seconds(h, paused), 0.4, 0.1);
  // Stopping keeps the audible position; playing again continues from there.
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  ASSERT_TRUE(KAUDIO_ChannelStop(h));
  const double stoppedAt = Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE));
  EXPECT_NEAR(stoppedAt, 0.4, 0.1);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_NEAR(Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), stoppedAt + 0.2, 0.1);
  // Restart goes back to the beginning.
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 1));
  EXPECT_LT(Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 0.05);
}

TEST_F(PlaybackTest, SeekingAPlayingStreamMovesTheAudiblePosition) {
  const std::string path = dir_.File("tone.flac");
  ASSERT_TRUE(MakeTone(path, 3.0));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  ASSERT_TRUE(KAUDIO_ChannelSetPosition(h, KAUDIO_ChannelSeconds2Bytes(h, 2.0), KAUDIO_POS_BYTE));
  EXPECT_NEAR(Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 2.0, 0.02);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_NEAR(Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE)), 2.3, 0.1);
  // Past the end is refused.
  EXPECT_FALSE(KAUDIO_ChannelSetPosition(h, KAUDIO_ChannelSeconds2Bytes(h, 10.0), KAUDIO_POS_BYTE));
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_POSITION);
}

TEST_F(PlaybackTest, EndSyncFiresAndLibraryReportsTheNoSoundDevice) {
  const std::string path = dir_.File("short.wav");
  ASSERT_TRUE(MakeTone(path, 0.3));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u);
  static std::atomic<int> ends{0};
  ends = 0;
  ASSERT_NE(KAUDIO_ChannelSetSync(h, KAUDIO_SYNC_END, 0,
                                  [](KAUDIO_HSYNC, KAUDIO_DWORD, KAUDIO_DWORD, void*) { ++ends; },
                                  nullptr), 0u);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  for (int i = 0; i < 200 && ends == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ends.load(), 1);
  EXPECT_EQ(KAUDIO_GetDevice(), 0);
  KAUDIO_INFO info{};
  ASSERT_TRUE(KAUDIO_GetInfo(&info));
  EXPECT_EQ(info.freq, 44100u);
  KAUDIO_DEVICEINFO dev{};
  ASSERT_TRUE(KAUDIO_GetDeviceInfo(0, &dev));
  EXPECT_STREQ(dev.name, "No sound");
  EXPECT_TRUE(dev.flags & KAUDIO_DEVICE_INIT);
  EXPECT_EQ(KAUDIO_GetVersion() >> 16, 0x0100u);
  EXPECT_FALSE(KAUDIO_Init(0, 44100, 0, nullptr, nullptr));
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_ALREADY);
}

TEST_F(PlaybackTest, FloatProbeStreamAndInvalidHandles) {
  const KAUDIO_HSTREAM probe = KAUDIO_StreamCreate(48000, 2, 0x80000100u, nullptr, nullptr);
  ASSERT_NE(probe, 0u);
  EXPECT_TRUE(KAUDIO_StreamFree(probe));
  EXPECT_FALSE(KAUDIO_StreamFree(probe));
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_HANDLE);
  EXPECT_EQ(KAUDIO_ChannelGetLevel(12345678), KAUDIO_DWORD(-1));
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_HANDLE);
  EXPECT_FALSE(KAUDIO_ChannelPlay(12345678, 0));
}

}  // namespace

namespace {

// Without a fixture: the default device must come up even on a machine without a sound card.
TEST(PlaybackDefaultDevice, InitOnTheDefaultDeviceAlwaysSucceeds) {
  ASSERT_TRUE(KAUDIO_Init(KAUDIO_DEVICE_DEFAULT, 48000, KAUDIO_DEVICE_LATENCY, nullptr, nullptr))
      << KAUDIO_ErrorGetCode();
  EXPECT_GE(KAUDIO_GetDevice(), 0);
  KAUDIO_INFO info{};
  ASSERT_TRUE(KAUDIO_GetInfo(&info));
  EXPECT_EQ(info.freq, 48000u);
  EXPECT_TRUE(KAUDIO_Free());
  EXPECT_FALSE(KAUDIO_Free());
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_INIT);
  EXPECT_EQ(KAUDIO_StreamCreateFile(0, "/nonexistent.mp3", 0, 0, 0), 0u);
  EXPECT_EQ(KAUDIO_ErrorGetCode(), KAUDIO_ERROR_INIT);
}

}  // namespace
