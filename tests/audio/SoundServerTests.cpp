// Playing through a real sound server (PulseAudio with a null sink), natively and through ALSA's
// pulse plug-in by PortAudio's ALSA device, and listening to what it received: the tone
// arrives whole, without gaps, at its pitch and level; the channel ends once its last frame was
// played and its position follows what was heard; pause and seek lose nothing and repeat
// nothing; nothing runs while idle; a server that dies or is missing leaves the player going.
#include <signal.h>

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

// Which tone sounds in each 10 ms window of a capture: its frequency, 0 for silence.
std::vector<double> WindowTones(const std::vector<float>& s) {
  const size_t window = TSoundServer::kRate / 100;
  std::vector<double> tones;
  for (size_t at = 0; at + window <= s.size(); at += window)
    tones.push_back(Peak(s, at, at + window) < 0.02f ? 0.0 : ToneFrequency(s, at, at + window));
  return tones;
}

class SoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HaveTool("pulseaudio") && HaveTool("parec") && HaveTool("pacat")) << "pulseaudio-utils are needed";
    ASSERT_TRUE(server_.Up()) << "the sound server did not start";
  }
  void TearDown() override { KAUDIO_Free(); }

  KAUDIO_HSTREAM Tone(const std::string& name, double seconds) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(MakeTone(path, seconds, 1000.0, 0.5));
    const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, path.c_str(), 0, 0, 0);
    EXPECT_NE(h, 0u) << KAUDIO_ErrorGetCode();
    return h;
  }

  // A null sink without clients renders more than a second ahead, and a stream that has just
  // joined waits behind that once; a sound card's sink does not.
  static void SettleSink() { SleepMs(1500); }

  TSoundServer server_;
  TempDir dir_;
};

// ALSA's default device, which the pulse plug-in routes to the server.
class AlsaDeviceTest : public SoundServerTest {
 protected:
  void SetUp() override {
    SoundServerTest::SetUp();
    if (HasFatalFailure()) return;
    KAUDIO_DEVICEINFO info{};
    KAUDIO_DWORD alsa = 0;
    for (KAUDIO_DWORD d = 1; !alsa && KAUDIO_GetDeviceInfo(d, &info); ++d)
      if (std::string(info.driver) == "ALSA" && std::string(info.name) == "default") alsa = d;
    ASSERT_NE(alsa, 0u) << "no ALSA default device";
    ASSERT_TRUE(KAUDIO_Init(int(alsa), 48000, 0, nullptr, nullptr)) << KAUDIO_ErrorGetCode();
    SettleSink();
  }
};

// The default device, which must be the server's sink through the native output.
class NativeOutputTest : public SoundServerTest {
 protected:
  void SetUp() override {
    SoundServerTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(KAUDIO_Init(KAUDIO_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr)) << KAUDIO_ErrorGetCode();
    KAUDIO_DEVICEINFO info{};
    ASSERT_TRUE(KAUDIO_GetDeviceInfo(KAUDIO_DWORD(KAUDIO_GetDevice()), &info));
    ASSERT_STREQ(info.driver, "PulseAudio");
    SettleSink();
  }
};

TEST_F(AlsaDeviceTest, AToneIsHeardWholeAndEndsOnceItsLastFrameWasPlayed) {
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
  EXPECT_NEAR(HeldLevel(s, first, last), 0.5, 0.03);
  // The position is what the server played, not what was mixed ahead of it, and the end
  // comes once the last frame was played: neither before it nor never.
  EXPECT_NEAR(position, Between(capture.TimeOf(first), positionAt), 0.3);
  EXPECT_NEAR(Between(capture.TimeOf(last), *ended), 0.0, 0.3);
}

TEST_F(AlsaDeviceTest, NothingPlaysIntoTheServerASecondAfterTheLastSound) {
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

TEST_F(AlsaDeviceTest, ASeekIsHeardAtOnceWithoutAGapAndTheOldPlaceIsNotHeardAfterIt) {
  // Three seconds of a low tone, then one of a high one: the seek goes to the high one.
  const std::string low = dir_.File("low.wav"), high = dir_.File("high.wav"), both = dir_.File("both.wav");
  ASSERT_TRUE(MakeTone(low, 3.0, 500.0, 0.5) && MakeTone(high, 1.0, 1500.0, 0.5));
  ASSERT_TRUE(Shell("sox '" + low + "' '" + high + "' '" + both + "'"));
  const KAUDIO_HSTREAM h = KAUDIO_StreamCreateFile(0, both.c_str(), 0, 0, 0);
  ASSERT_NE(h, 0u) << KAUDIO_ErrorGetCode();
  TSoundServer::TCapture capture(server_, 3.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(1000);
  const auto seekAt = Clock::now();
  ASSERT_TRUE(KAUDIO_ChannelSetPosition(h, KAUDIO_ChannelSeconds2Bytes(h, 3.0), KAUDIO_POS_BYTE));
  const double seekTook = Between(seekAt, Clock::now());
  ASSERT_TRUE(WaitForEnd(h, 3.0));

  const std::vector<float> s = capture.Left();
  const std::vector<double> tones = WindowTones(s);
  const size_t window = TSoundServer::kRate / 100;
  auto isLow = [](double f) { return std::abs(f - 500.0) < 25.0; };
  auto isHigh = [](double f) { return std::abs(f - 1500.0) < 75.0; };
  size_t firstHigh = tones.size(), lastLow = 0, highWindows = 0;
  for (size_t w = 0; w < tones.size(); ++w) {
    if (isHigh(tones[w])) {
      firstHigh = std::min(firstHigh, w);
      ++highWindows;
    }
    if (isLow(tones[w])) lastLow = w;
  }
  ASSERT_LT(firstHigh, tones.size()) << "the new place was never heard";
  EXPECT_LT(lastLow, firstHigh) << "the old place was heard after the new one";
  // What the device held of the old place was dropped: the new one follows within a block or
  // two (about 50 ms here; some 150 ms when the device plays out what it held).
  EXPECT_LT(Between(seekAt, capture.TimeOf(firstHigh * window)), 0.12) << "the seek was heard late";
  // Between the old place and the new one no gap longer than the seek call itself took (or
  // 50 ms), and the new place is heard whole.
  EXPECT_LT(double(LongestSilence(s, lastLow * window, firstHigh * window + window)) / TSoundServer::kRate,
            std::max(seekTook, 0.05))
      << "the seek left a gap";
  EXPECT_NEAR(double(highWindows) / 100.0, 1.0, 0.05);
}

TEST_F(NativeOutputTest, TheServersSinksComeAfterNoSoundAndTheServersDefaultIsTheDefault) {
  KAUDIO_DEVICEINFO info{};
  ASSERT_TRUE(KAUDIO_GetDeviceInfo(0, &info));
  EXPECT_STREQ(info.name, "No sound");
  ASSERT_TRUE(KAUDIO_GetDeviceInfo(1, &info));
  EXPECT_STREQ(info.driver, "PulseAudio");
  EXPECT_TRUE(info.flags & KAUDIO_DEVICE_ISDEFAULT);
  EXPECT_TRUE(info.flags & KAUDIO_DEVICE_INIT);
  // PortAudio's devices follow, and none is the default while a server answers.
  bool alsa = false;
  for (KAUDIO_DWORD d = 2; KAUDIO_GetDeviceInfo(d, &info); ++d) {
    EXPECT_FALSE(info.flags & KAUDIO_DEVICE_ISDEFAULT) << info.name;
    alsa = alsa || std::string(info.driver) == "ALSA";
  }
  EXPECT_TRUE(alsa) << "PortAudio's devices are missing";
}

TEST_F(NativeOutputTest, AToneIsHeardWholeAtItsPitchAndLevelAndEndsWhenItsLastFrameWasPlayed) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 2.0);
  TSoundServer::TCapture capture(server_, 4.5);
  const auto start = Clock::now();
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(1200);
  const double position = PositionSeconds(h);
  const auto positionAt = Clock::now();
  const auto ended = WaitForEnd(h, 3.0);
  ASSERT_TRUE(ended) << "the channel never ended";

  const std::vector<float> s = capture.Left();
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last) << "nothing was heard";
  EXPECT_NEAR(double(last - first) / TSoundServer::kRate, 2.0, 0.02);
  EXPECT_LT(LongestSilence(s, first, last), 40u) << "a gap in the tone";
  EXPECT_NEAR(Frequency(s, first, last), 1000.0, 3.0);
  EXPECT_NEAR(HeldLevel(s, first, last), 0.5, 0.03);
  // The position is what the server played, not what was mixed ahead of it; the end comes
  // once the last frame was played.
  EXPECT_NEAR(position, Between(capture.TimeOf(first), positionAt), 0.1);
  EXPECT_NEAR(Between(capture.TimeOf(last), *ended), 0.0, 0.3);
  EXPECT_LT(Between(start, capture.TimeOf(first)), 0.5) << "the sound started late";
}

TEST_F(NativeOutputTest, AVolumeSetBeforePlayHoldsFromTheFirstFrame) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 1.0);
  ASSERT_TRUE(KAUDIO_ChannelSetAttribute(h, KAUDIO_ATTRIB_VOL, 0.4f));
  TSoundServer::TCapture capture(server_, 2.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  ASSERT_TRUE(WaitForEnd(h, 2.5));
  const std::vector<float> s = capture.Left();
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last) << "nothing was heard";
  // The server asks for a few hundred milliseconds at once when a stream starts: that first
  // piece must not be louder than the rest.
  const size_t opening = first + TSoundServer::kRate / 5;
  EXPECT_NEAR(Peak(s, first, opening), 0.2, 0.015) << "the song starts louder than its volume";
  EXPECT_NEAR(Peak(s, opening, last), 0.2, 0.015);
}

TEST_F(NativeOutputTest, PauseAndResumeLoseNothingAndRepeatNothing) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 2.0);
  TSoundServer::TCapture capture(server_, 4.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(700);
  // The engine pauses the whole output.
  ASSERT_TRUE(KAUDIO_Pause());
  const double pausedAt = PositionSeconds(h);
  EXPECT_NEAR(pausedAt, 0.7, 0.15);
  SleepMs(600);
  EXPECT_NEAR(PositionSeconds(h), pausedAt, 0.01) << "the position ran on while paused";
  ASSERT_TRUE(KAUDIO_Start());
  ASSERT_TRUE(WaitForEnd(h, 3.0));

  const std::vector<float> s = capture.Left();
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last);
  // Two seconds of tone with one pause in it: what the server held at the pause is played
  // after it, not lost and not twice.
  EXPECT_NEAR(AudibleSeconds(s), 2.0, 0.03);
  EXPECT_NEAR(double(LongestSilence(s, first, last)) / TSoundServer::kRate, 0.6, 0.1);
}

TEST_F(NativeOutputTest, ASeekIsHeardAtOnceWithoutAGapAndTheOldPlaceIsNotHeardAfterIt) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 4.0);
  TSoundServer::TCapture capture(server_, 3.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(1000);
  const double before = PositionSeconds(h);
  ASSERT_TRUE(KAUDIO_ChannelSetPosition(h, KAUDIO_ChannelSeconds2Bytes(h, 3.0), KAUDIO_POS_BYTE));
  EXPECT_NEAR(PositionSeconds(h), 3.0, 0.05);
  ASSERT_TRUE(WaitForEnd(h, 3.0));

  const std::vector<float> s = capture.Left();
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last);
  // What was heard before the seek and the last second after it: what the server held of the
  // old place was dropped.
  EXPECT_NEAR(AudibleSeconds(s), before + 1.0, 0.08);
  EXPECT_LT(LongestSilence(s, first, last), size_t(TSoundServer::kRate / 20)) << "the seek left a gap";
}

TEST_F(NativeOutputTest, TheStreamIsCorkedASecondAfterTheLastSoundAndWakesWithoutLosingTheStart) {
  const KAUDIO_HSTREAM h = Tone("short.wav", 0.3);
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  ASSERT_TRUE(WaitForEnd(h, 2.0));
  EXPECT_FALSE(server_.AllStreamsCorked()) << "corked while the tone still sounded";
  bool corked = false;
  for (int i = 0; i < 40 && !corked; ++i, SleepMs(100)) corked = server_.AllStreamsCorked();
  EXPECT_TRUE(corked) << server_.Pactl("list sink-inputs");

  // Paused counts as nothing playing.
  const KAUDIO_HSTREAM paused = Tone("paused.wav", 3.0);
  ASSERT_TRUE(KAUDIO_ChannelPlay(paused, 0));
  SleepMs(300);
  EXPECT_FALSE(server_.AllStreamsCorked());
  ASSERT_TRUE(KAUDIO_ChannelPause(paused));
  corked = false;
  for (int i = 0; i < 40 && !corked; ++i, SleepMs(100)) corked = server_.AllStreamsCorked();
  EXPECT_TRUE(corked) << "a paused channel kept the stream running";
  ASSERT_TRUE(KAUDIO_ChannelStop(paused));

  // Waking up neither clicks nor loses the beginning.
  const KAUDIO_HSTREAM again = Tone("again.wav", 1.0);
  TSoundServer::TCapture capture(server_, 2.0);
  const auto start = Clock::now();
  ASSERT_TRUE(KAUDIO_ChannelPlay(again, 0));
  SleepMs(300);
  EXPECT_FALSE(server_.AllStreamsCorked());
  const std::vector<float> s = capture.Left();
  EXPECT_NEAR(AudibleSeconds(s), 1.0, 0.03);
  const auto [first, last] = AudibleRange(s);
  ASSERT_LT(first, last);
  EXPECT_LT(Between(start, capture.TimeOf(first)), 0.3) << "the start was late";
  // Whole to within a few samples: nothing of its start lost, nothing old before it, and not
  // even a short hole where the first piece the server asked for ends (a 1 kHz tone at this
  // level is near silent for a sample or two at its zero crossings).
  EXPECT_NEAR(double(last - first) / TSoundServer::kRate, 1.0, 0.002);
  EXPECT_LT(LongestSilence(s, first, last), 8u) << "a gap in the tone";
}

TEST_F(NativeOutputTest, ASongEndsWhenTheServerDiesAndAServerThatComesBackIsUsedAtTheNextPlay) {
  const KAUDIO_HSTREAM h = Tone("tone.wav", 2.0);
  const auto start = Clock::now();
  ASSERT_TRUE(KAUDIO_ChannelPlay(h, 0));
  SleepMs(500);
  server_.Stop(SIGKILL);
  // The song plays on against the clock and ends.
  const auto ended = WaitForEnd(h, 5.0);
  ASSERT_TRUE(ended) << "the song never ended without its server";
  EXPECT_GT(Between(start, *ended), 1.9);
  EXPECT_LT(Between(start, *ended), 3.0);

  // Played while no server answers: the clock still runs it to its end.
  const KAUDIO_HSTREAM lonely = Tone("lonely.wav", 0.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(lonely, 0));
  EXPECT_TRUE(WaitForEnd(lonely, 3.0)) << "a song played without a server never ended";

  ASSERT_TRUE(server_.Start());
  const KAUDIO_HSTREAM next = Tone("next.wav", 1.0);
  TSoundServer::TCapture capture(server_, 2.5);
  ASSERT_TRUE(KAUDIO_ChannelPlay(next, 0));
  ASSERT_TRUE(WaitForEnd(next, 3.0));
  EXPECT_NEAR(AudibleSeconds(capture.Left()), 1.0, 0.05);
}

TEST(NoSoundServer, TheDefaultDeviceIsPortAudiosAndNoServerSinkIsListed) {
  // A server reachable only through ALSA: native clients find nothing.
  TSoundServer alsaOnly(/*nativeClients=*/false);
  ASSERT_TRUE(alsaOnly.Up());
  ASSERT_TRUE(KAUDIO_Init(KAUDIO_DEVICE_DEFAULT, 44100, 0, nullptr, nullptr)) << KAUDIO_ErrorGetCode();
  KAUDIO_DEVICEINFO info{};
  ASSERT_TRUE(KAUDIO_GetDeviceInfo(KAUDIO_DWORD(KAUDIO_GetDevice()), &info));
  EXPECT_STRNE(info.driver, "PulseAudio");
  for (KAUDIO_DWORD d = 0; KAUDIO_GetDeviceInfo(d, &info); ++d) EXPECT_STRNE(info.driver, "PulseAudio") << info.name;
  KAUDIO_Free();
}

}  // namespace
