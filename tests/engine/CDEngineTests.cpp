// Audio CDs through the engine, on disc images made by scripts/make-cd-image: the disc ID
// against an independent implementation, track lists and lengths, digital playback of the
// right track, the analog path's failure on an image, and broken cue sheets.
#include <cmath>
#include <cstdio>
#include <memory>

#include "EngineTestSupport.h"
#include "engine/BASSAPICD.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace enginetest {
namespace {

std::string MakeImage(const std::string& name, const std::string& kind) {
  const std::string folder = (Dir() / "cd").string();
  Shell(std::string(KELDAR_SOURCE_DIR) + "/scripts/make-cd-image '" + folder + "' " + name + " " + kind);
  return folder + "/" + name + ".cue";
}

// The query string the test's own Python implementation computes for the image.
std::string PythonQuery(const std::string& cue) {
  const std::string command =
      "python3 " + std::string(KELDAR_SOURCE_DIR) + "/tests/cd/freedb_discid.py '" + cue + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  char line[512] = {};
  if (!std::fgets(line, sizeof line, pipe.get())) return {};
  std::string text(line);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// Zero crossings per second of the left channel of a decoded second.
double CrossingsPerSecond(KAUDIO_DWORD handle) {
  std::vector<float> buffer(44100 * 2);
  const KAUDIO_DWORD got = KAUDIO_ChannelGetData(handle, buffer.data(),
                                                 static_cast<KAUDIO_DWORD>(buffer.size() * sizeof(float)) | KAUDIO_DATA_FLOAT);
  if (got == static_cast<KAUDIO_DWORD>(-1)) return -1;
  const size_t frames = got / sizeof(float) / 2;
  int crossings = 0;
  for (size_t i = 1; i < frames; ++i)
    if ((buffer[2 * (i - 1)] < 0) != (buffer[2 * i] < 0)) ++crossings;
  return frames ? crossings * 44100.0 / static_cast<double>(frames) : -1;
}

using CDEngineTest = PlaybackEngineTest;

TEST_F(CDEngineTest, DiscIdAndQueryEqualAnIndependentFreedbImplementation) {
  for (const char* kind : {"plain", "pregaps"}) {
    const std::string cue = MakeImage(std::string("id_") + kind, kind);
    const std::string expected = PythonQuery(cue);
    ASSERT_FALSE(expected.empty()) << kind;
    const std::string id = Ops().GetCDDiscID(cue + "/Track00.CDA");
    EXPECT_EQ(Engine().CDDiscIDText, expected) << kind;
    EXPECT_EQ(id, expected.substr(0, 8)) << kind;
  }
  // The two layouts differ, so the IDs do too; a pregap moves the later offsets.
  EXPECT_NE(PythonQuery(MakeImage("id_plain", "plain")), PythonQuery(MakeImage("id_pregaps", "pregaps")));
}

TEST_F(CDEngineTest, AnImageListsItsTracksWithTheirLengths) {
  const std::string cue = MakeImage("list", "plain");
  std::vector<std::string> tracks;
  EXPECT_FALSE(Ops().ListCDTracks(cue + "/Track00.CDA", tracks));
  ASSERT_EQ(tracks, (std::vector<std::string>{cue + "/Track01.CDA", cue + "/Track02.CDA", cue + "/Track03.CDA"}));
  // 300, 390 and 255 sectors: 4.0, 5.2 and 3.4 seconds, rounded.
  EXPECT_EQ(Ops().GetFilePlaybackLength(tracks[0]), 4);
  EXPECT_EQ(Ops().GetFilePlaybackLength(tracks[1]), 5);
  EXPECT_EQ(Ops().GetFilePlaybackLength(tracks[2]), 3);
  const int drive = KAUDIO_CD_DriveFromPath(cue.c_str());
  ASSERT_GE(drive, 0);
  EXPECT_EQ(KAUDIO_CD_GetTracks(drive), 3u);
  EXPECT_EQ(KAUDIO_CD_GetTrackLength(drive, 1), 390u * 2352);
  EXPECT_EQ(KAUDIO_CD_GetTrackLength(drive, 3), static_cast<KAUDIO_DWORD>(-1));
  // The same image by another spelling of its path is the same drive.
  EXPECT_EQ(KAUDIO_CD_DriveFromPath((cue + "/").c_str()), drive);
}

TEST_F(CDEngineTest, EachTrackDecodesToItsOwnPitchAndAPregapIsSilence) {
  const std::string cue = MakeImage("pitch", "pregaps");
  const int drive = KAUDIO_CD_DriveFromPath(cue.c_str());
  ASSERT_GE(drive, 0);
  const double expected[] = {880, 1760, 2640};  // crossings of 440, 880 and 1320 Hz
  for (KAUDIO_DWORD t = 0; t < 3; ++t) {
    const KAUDIO_DWORD h = KAUDIO_CD_StreamCreate(drive, t, KAUDIO_STREAM_DECODE | KAUDIO_SAMPLE_FLOAT);
    ASSERT_NE(h, 0u) << t;
    const double crossings = CrossingsPerSecond(h);
    // Track 2's length runs into track 3's pregap: two seconds of silence at its end.
    EXPECT_NEAR(crossings, expected[t], expected[t] * 0.03) << "track " << t + 1;
    if (t == 1) {
      KAUDIO_ChannelSetPosition(h, KAUDIO_ChannelSeconds2Bytes(h, 5.4), KAUDIO_POS_BYTE);
      std::vector<float> gap(44100);
      ASSERT_NE(KAUDIO_ChannelGetData(h, gap.data(), static_cast<KAUDIO_DWORD>(gap.size() * 4) | KAUDIO_DATA_FLOAT),
                static_cast<KAUDIO_DWORD>(-1));
      float peak = 0;
      for (float s : gap) peak = std::max(peak, std::fabs(s));
      EXPECT_EQ(peak, 0.0f);
    }
    KAUDIO_StreamFree(h);
  }
}

TEST_F(CDEngineTest, TrackTwoPlaysSeeksAndEnds) {
  const std::string cue = MakeImage("play", "plain");
  ASSERT_TRUE(Open(cue + "/Track02.cda"));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtCDTrack);
  EXPECT_EQ(Engine().TotalSeconds, 5);
  EXPECT_EQ(Engine().Bitrate, 128);
  EXPECT_EQ(Engine().ChannelInfo.SamplingRate, 44100u);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);
  Ops().Play();
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  Engine().SeekPercent = 80;
  Ops().SeekToPercent();
  // Sound reaches the meters: the data getters see a playing channel.
  bool heard = false;
  for (int i = 0; i < 50 && !heard; ++i) {
    Wait(40);
    Ops().GetLevel();
    heard = Engine().Level != 0;
  }
  EXPECT_TRUE(heard);
  Ops().UpdatePosition();
  EXPECT_GE(Engine().PositionSeconds, 4);
  for (int i = 0; i < 150 && Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying; ++i) {
    Wait(40);
    Ops().CheckEndOfStream();
  }
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psEnded);
  EXPECT_EQ(Engine().SongEnded.exchange(0), 1);
}

TEST_F(CDEngineTest, AnalogPlaybackOfAnImageTakesTheFailurePath) {
  const std::string cue = MakeImage("analog", "plain");
  KELDAR_AUDIOVIDEO_API_Settings().CDPlaybackMethod = 1;
  Options_CDPlaybackMethod.IntegerValue = 1;
  const bool opened = Open(cue + "/Track01.cda");
  EXPECT_TRUE(opened);
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtCDAnalogTrack);
  EXPECT_EQ(Engine().TotalSeconds, 4);
  Ops().Play();
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  const auto messages = Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().Text.rfind("Can't play CD Track", 0), 0u) << messages.back().Text;
  Options_CDPlaybackMethod.IntegerValue = 0;
  KELDAR_AUDIOVIDEO_API_Settings().CDPlaybackMethod = 0;
}

TEST_F(CDEngineTest, BrokenCueSheetsGiveNoDiscAndTheStreamFailure) {
  const fs::path folder = Dir() / "broken";
  fs::create_directories(folder);
  std::ofstream(folder / "short.bin", std::ios::binary) << std::string(100 * 2352, '\0');
  ASSERT_EQ(fs::file_size(folder / "short.bin"), 100u * 2352);
  const auto cue = [&](const std::string& name, const std::string& text) {
    const std::string path = (folder / (name + ".cue")).string();
    std::ofstream(path) << text;
    return path;
  };
  std::string twoHundred = "FILE \"short.bin\" BINARY\n";
  for (int t = 1; t <= 200; ++t) {
    char line[64];
    std::snprintf(line, sizeof line, "TRACK %02d AUDIO\nINDEX 01 00:00:%02d\n", t, t % 75);
    twoHundred += line;
  }
  const std::vector<std::string> sheets = {
      cue("missing", "FILE \"nothere.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"),
      cue("shorter", "FILE \"short.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n"),
      cue("many", twoHundred),
      cue("negative", "FILE \"short.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 -00:01:00\n"),
      cue("overlap", "FILE \"short.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:01:00\nTRACK 02 AUDIO\nINDEX 01 00:00:10\n"),
      cue("backwards", "FILE \"short.bin\" BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:01:00\n"),
      cue("empty", ""),
  };
  for (const std::string& sheet : sheets) {
    std::vector<std::string> tracks;
    Ops().ListCDTracks(sheet + "/Track00.CDA", tracks);
    EXPECT_TRUE(tracks.empty()) << sheet;
    EXPECT_EQ(Ops().GetCDDiscID(sheet + "/Track00.CDA"), "") << sheet;
    EXPECT_EQ(Ops().GetFilePlaybackLength(sheet + "/Track01.CDA"), 0) << sheet;
    fs::remove(Dir() / "messages.log");
    EXPECT_FALSE(Open(sheet + "/Track01.cda") && Engine().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtCDTrack) << sheet;
    const auto messages = Messages();
    ASSERT_FALSE(messages.empty()) << sheet;
    EXPECT_EQ(messages.back().Text.rfind("Can't create CD stream", 0), 0u) << sheet;
  }
  // A sound sheet over the same short file still reads.
  const std::string fine = cue("fine", "FILE \"short.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  EXPECT_EQ(Ops().GetFilePlaybackLength(fine + "/Track01.CDA"), 1);
}

TEST_F(CDEngineTest, TheDriveReportShowsEveryDriveTheLibraryKnows) {
  const std::string cue = MakeImage("report", "plain");
  const int drive = KAUDIO_CD_DriveFromPath(cue.c_str());
  ASSERT_GE(drive, 0);
  Ops().ShowCDDrivesInfo();
  const auto messages = Messages();
  ASSERT_EQ(static_cast<int>(messages.size()), drive + 1);  // one box per drive, no more
  const TMessage& last = messages.back();
  EXPECT_EQ(last.Title, "BASS CD Drives INFO");
  EXPECT_NE(last.Text.find("CD/DVD Drive " + std::to_string(drive + 1)), std::string::npos) << last.Text;
  EXPECT_NE(last.Text.find("Product: Disc image"), std::string::npos) << last.Text;
  EXPECT_NE(last.Text.find("The drive can read CD audio."), std::string::npos) << last.Text;
  EXPECT_NE(last.Text.find("The drive is NOT capable of analog playback."), std::string::npos) << last.Text;
}

TEST_F(CDEngineTest, TrackNamesGiveDriveAndTrack) {
  const std::string cue = MakeImage("names", "plain");
  const TCDTrackName name = ParseCDTrackName(cue + "/Track05.cda");
  EXPECT_EQ(name.Drive, KAUDIO_CD_DriveFromPath(cue.c_str()));
  EXPECT_EQ(name.Track, 4);
  EXPECT_EQ(ParseCDTrackName("/nowhere/at/all/Track01.cda").Drive, -1);
  EXPECT_EQ(ParseCDTrackName(cue + "/TrackXY.cda").Track, -1);
}

}  // namespace
}  // namespace enginetest
