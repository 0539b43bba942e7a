// Playing through a real sound server (PulseAudio with a null sink, reached through ALSA's
// pulse plug-in by PortAudio's ALSA device) and listening to what it received: the tone
// arrives whole, without gaps, at its pitch and level; the channel ends once its last frame was
// played and its position follows what was heard; nothing runs while idle.
#include <chrono>
#include <optional>
#include <thread>

#include "AudioTestSupport.h"
#include "SoundServerPeer.h"

using namespace audiotest;
using namespace soundcheck;
using Clock = std::chrono::steady_clock;

namespace {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
double Between(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }
double PositionSeconds(KAUDIO_HANDLE h) {
  return KAUDIO_ChannelBytes2Seconds(h, KAUDIO_ChannelGetPosition(h, KAUDIO_POS_BYTE));
}

// The moment the channel stops by itself; nullopt when it has not within the limit.
std::optional<Clock::time_point> WaitForEnd(KAUDIO_HANDLE h, double limit) {
  const auto start = Clock::now();
  while (Between(start, Clock::now()) < limit) {
    if (KAUDIO_ChannelIsActive(h) == KAUDIO_ACTIVE_STOPPED) return Clock::now();
    SleepMs(5);
  }
  return std::nullopt;
}

class SoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HaveTool("pulseaudio") && HaveTool("parec") && HaveTool("pacat")) << "pulseaudio-utils are needed";
    ASSERT_TRUE(server_.Up()) << "the sound server did not start";
    // ALSA's default device, which the pulse plug-in routes to the server.
    KAUDIO_DEVICEINFO info{};
    KAUDIO_DWORD alsa = 0;
    for (KAUDIO_DWORD d = 1; !alsa && KAUDIO_GetDeviceInfo(d, &info); ++d)
      if (std::string(info.driver) == "ALSA" && std::string(info.name) == "default") alsa = d;
    ASSERT_NE(alsa, 0u) << "no ALSA default device";
    ASSERT_TRUE(KAUDIO_Init(int(alsa), 48000, 0, nullptr, nullptr)) << KAUDIO_ErrorGetCode();
  }
  void TearDown() override { KAUDIO_Free(); }

  KAUDIO_HSTREAM Tone(const std::string& name, double seconds) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(MakeTone(path, seconds, 1000.0, 0.5));
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
    EXPECT_NE(h, 0u) << KAUDIO_ErrorGetCode();
    return h;
  }

  TSoundServer server_;
  TempDir dir_;
};

TEST_F(SoundServerTest, AToneIsHeardWholeAndEndsOnceItsLastFrameWasPlayed) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 2.0);
  TSoundServer::TCapture capture(server_, 4.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(1500);
  const double position = PositionSeconds(h);
  const auto positionAt = Clock::now();
  const auto ended = WaitForEnd(h, 3.0);
  ASSERT_TRUE(ended) << "the channel never ended";

  const std::vector<float> s = capture.Left();
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last) << "nothing was heard";
  EXPECT_NEAR(double(last - first) / TSoundServer::kRate, 2.0, 0.08);
  EXPECT_LT(LongestSilence(s, first, last), 40u) << "a gap in the tone";
  EXPECT_NEAR(Frequency(s, first, last), 1000.0, 3.0);
  EXPECT_NEAR(Peak(s, first, last), 0.5, 0.03);
  // The position is what the server played, not what was mixed ahead of it, and the end
  // comes once the last frame was played: neither before it nor never.
  EXPECT_NEAR(position, Between(capture.TimeOf(first), positionAt), 0.3);
  EXPECT_NEAR(Between(capture.TimeOf(last), *ended), 0.0, 0.3);
}

TEST_F(SoundServerTest, NothingPlaysIntoTheServerASecondAfterTheLastSound) {
  const KAUDIO_HSTREAM h = Tone("short.wav", 0.3);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  ASSERT_TRUE(WaitForEnd(h, 3.0));
  bool quiet = false;
  for (int i = 0; i < 40 && !quiet; ++i, SleepMs(100)) quiet = server_.StreamCount() == 0 || server_.AllStreamsCorked();
  EXPECT_TRUE(quiet) << server_.Pactl("list sink-inputs");

  // Starting again loses no beginning.
  const KAUDIO_HSTREAM again = Tone("again.wav", 1.0);
  TSoundServer::TCapture capture(server_, 3.0);
  ASSERT_TRUE(KAUDIO_ChannelPlay(again, 0));
  ASSERT_TRUE(WaitForEnd(again, 3.0));
  EXPECT_NEAR(AudibleSeconds(capture.Left()), 1.0, 0.04);
}

}  // namespace
