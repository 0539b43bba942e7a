#include "EngineTestSupport.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"
#include "util/ShowMessage.h"

using namespace enginetest;

namespace {

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
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(Engine().TotalSeconds, 10);
  EXPECT_EQ(Engine().TempoMode, 1);
  EXPECT_EQ(Engine().ChannelInfo.SamplingRate, 44100u);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);
  EXPECT_EQ(Engine().Bitrate, 1411);
  Ops().Play();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  Wait(300);
  Ops().GetLevel();
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
  Wait(300);
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
  EXPECT_EQ(Ops().GetFilePlaybackLength((Dir() / "t10.wav").string()), 10);
  EXPECT_EQ(Ops().GetFilePlaybackLength((Dir() / "missing.wav").string()), 0);
}

TEST_F(PlaybackEngineTest, EndOfSongSetsStateAndFlag) {
  ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 '" + (Dir() / "short.wav").string() +
                         "' synth 0.4 sine 440 2>/dev/null").c_str()), 0);
  ASSERT_TRUE(Open((Dir() / "short.wav").string()));
  EXPECT_EQ(Engine().TotalSeconds, 1);  // 0.4 s rounds to 0, at least 1
  Engine().SongEnded = 0;
  Ops().Play();
  for (int i = 0; i < 100 && Engine().PlayerState == 0; ++i) {
    Wait(20);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().SongEnded, 1);
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

TEST_F(PlaybackEngineTest, ZeroLengthAndSixChannelFiles) {
  ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 '" + (Dir() / "zero.wav").string() +
                         "' synth 1s sine 440 2>/dev/null").c_str()), 0);
  ASSERT_TRUE(Open((Dir() / "zero.wav").string()));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtStream);
  EXPECT_EQ(Engine().TotalSeconds, 1);  // one sample: 0 s rounded, at least 1
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
