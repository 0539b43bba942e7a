#include <cstdint>
#include <memory>
#include <vector>

#include "EngineTestSupport.h"
#include "TestSupport.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_EngineHooks.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"
#include "util/ShowMessage.h"

using namespace enginetest;

namespace {

// The player states the engine told its listener about, in order (shared: the hook may
// outlive a failed test).
std::shared_ptr<std::vector<int>> ListenToPlayerStates() {
  auto told = std::make_shared<std::vector<int>>();
  EngineUIHooks().PlayerStateChanged = [told] { told->push_back(KELDAR_AUDIOVIDEO_API_State().PlayerState); };
  return told;
}

TEST_F(PlaybackEngineTest, RegistrationNamesOurLibrary) {
  const auto& api = KELDAR_AUDIOVIDEO_API_CurrentAudioAPI();
  EXPECT_EQ(api.KELDAR_AUDIOVIDEO_API_AudioAPIName, "KAUDIO " + AudioLibraryVersionText(KAUDIO_GetVersion()));
  EXPECT_EQ(api.KELDAR_AUDIOVIDEO_API_AudioAPIDLLFileName, "libkaudio.so");
  EXPECT_TRUE(BASSAPI_VersionAccepted(0x01000000));
  EXPECT_TRUE(BASSAPI_VersionAccepted(0x01020304));
  EXPECT_FALSE(BASSAPI_VersionAccepted(0x02040000));
  EXPECT_FALSE(SelectAudioAPI(2));
  EXPECT_EQ(Engine().FloatSupport, 1);
  EXPECT_EQ(KAUDIO_GetDevice(), 0);
}

TEST_F(PlaybackEngineTest, PlayPauseResumeSeekAndStop) {
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + (Dir() / "t10.wav").string() +
                         "' synth 10 sine 440 2>/dev/null").c_str()), 0);
  ASSERT_TRUE(Open((Dir() / "t10.wav").string()));
  const auto told = ListenToPlayerStates();
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(Engine().TotalSeconds, 10);
  EXPECT_EQ(Engine().TempoMode, 1);
  EXPECT_EQ(Engine().ChannelInfo.SamplingRate, 44100u);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);
  EXPECT_EQ(Engine().Bitrate, 1411);
  Ops().Play();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  // A loaded machine may start the mixer late: give it up to 3 s to show a level.
  for (int i = 0; i < 150 && (Ops().GetLevel(), (Engine().Level & 0xFFFF) == 0u); ++i) Wait(20);
  EXPECT_GT(Engine().Level & 0xFFFF, 0u);
  Ops().Pause();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPaused);
  const KAUDIO_QWORD held = KAUDIO_ChannelGetPosition(Engine().StreamHandle, 0);
  Wait(300);
  EXPECT_EQ(KAUDIO_ChannelGetPosition(Engine().StreamHandle, 0), held);
  Ops().GetFFTData();
  for (float v : Engine().FFTData) ASSERT_EQ(v, 0.0f);
  Ops().CheckEndOfStream();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPaused);
  Ops().Resume();
  for (int i = 0; i < 150 && KAUDIO_ChannelGetPosition(Engine().StreamHandle, 0) == held; ++i) Wait(20);
  EXPECT_GT(KAUDIO_ChannelGetPosition(Engine().StreamHandle, 0), held);
  Engine().SeekPercent = 50;
  Ops().SeekToPercent();
  Ops().UpdatePosition();
  EXPECT_EQ(Engine().PositionSeconds, 5);
  EXPECT_EQ(Engine().PositionPercent, 50);
  EXPECT_EQ(Engine().PositionSecondsOfMinute, 5);
  Ops().Stop();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psStopped);
  EXPECT_EQ(KAUDIO_ChannelIsActive(Engine().StreamHandle), 0u);
  // Every change was told once, after it took effect (the displays that rest wake on it).
  EXPECT_EQ(*told, (std::vector<int>{KELDAR_AUDIOVIDEO_API_psPlaying, KELDAR_AUDIOVIDEO_API_psPaused,
                                     KELDAR_AUDIOVIDEO_API_psPlaying, KELDAR_AUDIOVIDEO_API_psStopped}));
  EngineUIHooks().PlayerStateChanged = {};
  EXPECT_EQ(Ops().GetFilePlaybackLength((Dir() / "t10.wav").string()), 10);
  EXPECT_EQ(Ops().GetFilePlaybackLength((Dir() / "missing.wav").string()), 0);
}

TEST_F(PlaybackEngineTest, EndOfSongSetsStateAndFlag) {
  ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 '" + (Dir() / "short.wav").string() +
                         "' synth 0.4 sine 440 2>/dev/null").c_str()), 0);
  ASSERT_TRUE(Open((Dir() / "short.wav").string()));
  EXPECT_EQ(Engine().TotalSeconds, 1);  // 0.4 s rounds to 0, at least 1
  Engine().SongEnded = 0;
  const auto told = ListenToPlayerStates();
  Ops().Play();
  for (int i = 0; i < 100 && Engine().PlayerState == 0; ++i) {
    Wait(20);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().SongEnded, 1);
  // The end is told once; the checks while it played told nothing.
  EXPECT_EQ(*told, (std::vector<int>{KELDAR_AUDIOVIDEO_API_psPlaying, KELDAR_AUDIOVIDEO_API_psEnded}));
  EngineUIHooks().PlayerStateChanged = {};
}

TEST_F(PlaybackEngineTest, MarkersPlayTheRangeAndEndAtItsLength) {
  ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 '" + (Dir() / "long.wav").string() +
                         "' synth 120 sine 440 2>/dev/null").c_str()), 0);
  Engine().StartMarker = 30;
  Engine().EndMarker = 90;
  ASSERT_TRUE(Open((Dir() / "long.wav").string()));
  EXPECT_EQ(Engine().TotalSeconds, 60);
  Ops().Play();
  Ops().UpdatePosition();
  EXPECT_EQ(Engine().PositionSeconds, 0);
  Engine().SeekPercent = 98;  // 58 s into the range
  Ops().SeekToPercent();
  Ops().UpdatePosition();
  EXPECT_EQ(Engine().PositionSeconds, 58);
  Ops().CheckEndOfStream();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  for (int i = 0; i < 200 && Engine().PlayerState == 0; ++i) {
    Wait(20);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().PositionSeconds, 60);

  // Equal markers do not count: the whole file plays.
  Ops().FreeStreams();
  Engine().StartMarker = Engine().EndMarker = 20;
  ASSERT_TRUE(Open((Dir() / "long.wav").string()));
  EXPECT_EQ(Engine().TotalSeconds, 120);
}

// A one-sample file measures 0 s: the engine's zero-length path from opening to the end.
TEST_F(PlaybackEngineTest, ZeroSecondFileGetsTotalOneAndEndsAtOnce) {
  const std::string one = (Dir() / "onesample.wav").string();
  std::ofstream(one, std::ios::binary) << PcmWav(2, 44100, 16, std::string(4, '\0'));
  ASSERT_TRUE(Open(one));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  const KAUDIO_QWORD bytes = KAUDIO_ChannelGetLength(Engine().StreamHandle, 0);
  EXPECT_NEAR(KAUDIO_ChannelBytes2Seconds(Engine().StreamHandle, bytes), 1.0 / 44100, 1e-7);  // one frame
  EXPECT_EQ(BASSAPI_LengthSeconds(Engine().StreamHandle), 0);
  EXPECT_EQ(Engine().TotalSeconds, 1);  // 0 s, raised to the minimum of 1
  EXPECT_EQ(Engine().Bitrate, 0);       // 48 bytes * 8 / 1000 rounds to 0
  EXPECT_EQ(Engine().TempoMode, 1);
  EXPECT_EQ(Engine().ChannelInfo.SamplingRate, 44100u);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);
  EXPECT_TRUE(Messages().empty());
  // The playlist's length column has nothing positive to show.
  EXPECT_EQ(Ops().GetFilePlaybackLength(one), 0);

  Ops().Play();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  EXPECT_TRUE(Messages().empty());
  Engine().SeekPercent = 50;  // 50 % of 1 s is 0 s: seeking stays at the start
  Ops().SeekToPercent();
  Ops().UpdatePosition();
  EXPECT_EQ(Engine().PositionSeconds, 0);
  EXPECT_EQ(Engine().PositionPercent, 0);
  Engine().SongEnded = 0;
  for (int i = 0; i < 50 && Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying; ++i) {
    Wait(20);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().SongEnded, 1);

  // A start marker past the end would give 0 - 30 s: the total is raised to 1 as well.
  Ops().FreeStreams();
  Engine().StartMarker = 30;
  Engine().EndMarker = 0;
  ASSERT_TRUE(Open(one));
  EXPECT_EQ(Engine().TotalSeconds, 1);
}

// A WAV whose data chunk is empty holds no sample at all: a real file of no length.
TEST_F(PlaybackEngineTest, HeaderOnlyWavOpensWithTotalOneAndEndsAtOnce) {
  const std::string empty = (Dir() / "empty.wav").string();
  const std::string wav = PcmWav(2, 44100, 16, "");
  ASSERT_EQ(wav.size(), 44u);
  std::ofstream(empty, std::ios::binary) << wav;
  ASSERT_TRUE(Open(empty));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(KAUDIO_ChannelGetLength(Engine().StreamHandle, 0), 0u);
  EXPECT_EQ(Engine().TotalSeconds, 1);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Ops().GetFilePlaybackLength(empty), 0);
  Ops().Play();
  Engine().SongEnded = 0;
  for (int i = 0; i < 50 && Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying; ++i) {
    Wait(20);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().SongEnded, 1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaybackEngineTest, EmptyByteFileIsRefusedAsABrokenStream) {
  // Zero bytes are not a playable file: the usual "Can't create stream" rule applies.
  const std::string nothing = (Dir() / "nothing.wav").string();
  std::ofstream(nothing, std::ios::binary).flush();
  ASSERT_EQ(fs::file_size(nothing), 0u);
  Engine().ShowErrors = false;
  EXPECT_FALSE(Open(nothing));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Ops().GetFilePlaybackLength(nothing), 0);
  Engine().ShowErrors = true;
  EXPECT_TRUE(Open(nothing));
  auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text.rfind("Can't create stream\r\n", 0), 0u);
}

TEST_F(PlaybackEngineTest, SixChannelFileIsNeverInTempoModeAndFeedsNoMeters) {
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 6 '" + (Dir() / "six.wav").string() +
                         "' synth 1 sine 440 2>/dev/null").c_str()), 0);
  ASSERT_TRUE(Open((Dir() / "six.wav").string()));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(Engine().TempoMode, 0);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 6);
  Ops().Play();
  Wait(50);
  Ops().GetFFTData();
  for (float v : Engine().FFTData) ASSERT_EQ(v, 0.0f);
}

TEST_F(PlaybackEngineTest, BrokenFileShowsTheBoxOrSkipsSilently) {
  const fs::path bad = Dir() / "broken.wav";
  std::ofstream(bad) << "this is not a wave file at all";
  Engine().ShowErrors = true;
  EXPECT_TRUE(Open(bad.string()));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  auto log = Messages();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Title, "Error");
  EXPECT_EQ(log[0].Icon, TMessageIcon::Error);
  const int code = KAUDIO_ErrorGetCode();
  EXPECT_EQ(log[0].Text, KELDAR_EngineErrorText("Can't create stream", code));
  Engine().ShowErrors = false;
  EXPECT_FALSE(Open(bad.string()));
  EXPECT_EQ(Messages().size(), 1u);
}

TEST(EngineErrorTexts, CodesWithAndWithoutMessages) {
  EXPECT_EQ(KELDAR_EngineErrorText("Can't create stream", 2),
            "Can't create stream\r\n(Error Message: can't open the file)\r\n(Error code: 2)");
  EXPECT_EQ(KELDAR_EngineErrorText("X", 38),
            "X\r\n(Error Message: the channel is a \"decoding channel\")\r\n(Error code: 38)");
  EXPECT_EQ(KELDAR_EngineErrorText("X", 10), "X\r\n(Error Message: )\r\n(Error code: 10)");
  EXPECT_EQ(KELDAR_EngineErrorText("X", -1), "X\r\n(Error code: -1)");
  EXPECT_EQ(KELDAR_EngineErrorText("X", 47), "X\r\n(Error code: 47)");
  EXPECT_STREQ(KELDAR_EngineErrorMessage(46), "the device is busy");
  EXPECT_STREQ(KELDAR_EngineErrorMessage(43), "invalid BASS version (used by add-ons)");
}

}  // namespace
