// The video engine on real GStreamer pipelines with files made by ffmpeg: pictures of a known
// colour in a known period, the length, position, seeking, volume and balance on the
// pipeline, the end of a file as the end of the song, which containers are video, MIDI
// through the sound font, and broken files on the failure paths.
#include <gtest/gtest.h>

#include <fstream>

#include "EngineTestSupport.h"
#include "engine/KELDAR_VideoEngine.h"

namespace {

using namespace enginetest;

// Red for 3 s then blue for 3 s with a tone under it; codec options pick the container's kind.
std::string RedThenBlue(const std::string& name, const std::string& codec, const std::string& size = "320x240") {
  const std::string path = (Dir() / name).string();
  Shell("ffmpeg -v error -y -f lavfi -i color=c=red:s=" + size + ":r=25:d=3 -f lavfi -i color=c=blue:s=" + size +
        ":r=25:d=3 -f lavfi -i sine=f=440:d=6 -filter_complex '[0][1]concat=n=2:v=1:a=0,format=yuv420p[v]' "
        "-map '[v]' -map 2 " + codec + " -shortest '" + path + "'");
  return path;
}

// A one-track MIDI file: a few notes of a piano, about two seconds long.
std::string WriteMidi(const std::string& name) {
  std::string track;
  const auto delta = [&](unsigned ticks) {
    if (ticks >= 128) track.push_back(static_cast<char>(0x80 | (ticks >> 7)));
    track.push_back(static_cast<char>(ticks & 0x7F));
  };
  delta(0);
  track += std::string("\xC0\x00", 2);  // piano
  for (int note : {60, 64, 67, 72}) {
    delta(0);
    track += {'\x90', static_cast<char>(note), '\x64'};
    delta(240);
    track += {'\x80', static_cast<char>(note), '\x40'};
  }
  delta(0);
  track += std::string("\xFF\x2F\x00", 3);
  std::string file = std::string("MThd\0\0\0\x06\0\0\0\x01\x01\xE0", 14);  // 480 ticks a quarter (120 bpm)
  file += "MTrk";
  const auto size = static_cast<std::uint32_t>(track.size());
  file += {static_cast<char>(size >> 24), static_cast<char>(size >> 16), static_cast<char>(size >> 8),
           static_cast<char>(size)};
  file += track;
  const std::string path = (Dir() / name).string();
  std::ofstream(path, std::ios::binary) << file;
  return path;
}

struct TColour {
  int r = -1, g = -1, b = -1;
};

// The middle pixel of the newest picture.
TColour MiddleColour() {
  const auto frame = TakeVideoFrame();
  if (!frame || !frame->Pixels) return {};
  const std::uint8_t* p = frame->Pixels + (frame->Height / 2) * frame->Stride + (frame->Width / 2) * 4;
  return {p[2], p[1], p[0]};
}
bool IsRed(const TColour& c) { return c.r > 180 && c.g < 80 && c.b < 80; }
bool IsBlue(const TColour& c) { return c.b > 180 && c.r < 80 && c.g < 80; }

class VideoEngineTest : public PlaybackEngineTest {
 protected:
  static void SetUpTestSuite() {
    PlaybackEngineTest::SetUpTestSuite();
    Mp4() = RedThenBlue("film.mp4", "-c:v libx264 -preset ultrafast -c:a aac");
  }
  static std::string& Mp4() {
    static std::string path;
    return path;
  }
  // Polls the engine as the deck's timer does until the condition holds.
  static bool Within(int ms, const std::function<bool()>& condition) {
    for (int waited = 0; waited < ms; waited += 40) {
      Ops().UpdatePosition();
      if (condition()) return true;
      Wait(40);
    }
    return condition();
  }
};

TEST_F(VideoEngineTest, AnMp4FilmPlaysItsPictureWithLengthPositionSeekAndEnd) {
  ASSERT_EQ(GetMediaFileType(Mp4()), KELDAR_AUDIOVIDEO_API_mtVIDEOStream) << "a film is not sound only";
  ASSERT_TRUE(Open(Mp4()));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_EQ(Engine().TotalSeconds, 6);
  EXPECT_EQ(Engine().ChannelInfo.Channels, 2);
  EXPECT_GT(Engine().Bitrate, 0);
  EXPECT_EQ(Ops().GetFilePlaybackLength(Mp4()), 6);
  Ops().Play();
  EXPECT_EQ(IsVideoActive(), kVideoPlaying);
  EXPECT_TRUE(Within(2000, [] { return IsRed(MiddleColour()); })) << "red in the first three seconds";
  EXPECT_TRUE(Within(3000, [] { return Engine().PositionSeconds >= 1; }));
  EXPECT_LT(Engine().PositionSeconds, 3);

  Engine().SeekPercent = 70;  // 70 % of 6 s = 4 s
  Ops().SeekToPercent();
  EXPECT_TRUE(Within(2000, [] { return IsBlue(MiddleColour()); })) << "blue after three seconds";
  EXPECT_TRUE(Within(2000, [] { return Engine().PositionSeconds >= 4; }));

  Ops().Pause();
  EXPECT_EQ(IsVideoActive(), kVideoPaused);
  const std::int64_t pausedAt = GetVideoPosition();
  Wait(600);
  EXPECT_EQ(GetVideoPosition(), pausedAt);
  Ops().Resume();
  // The end of the picture is the end of the song.
  EXPECT_TRUE(Within(5000, [] {
    Ops().CheckEndOfStream();
    return Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psEnded;
  }));
  EXPECT_EQ(Engine().SongEnded, 1);
  Engine().SongEnded = 0;
  EXPECT_EQ(IsVideoActive(), kVideoStopped);
}

TEST_F(VideoEngineTest, VolumeAndBalanceSlidersReachThePipeline) {
  ASSERT_TRUE(Open(Mp4()));
  Engine().Sliders.Volume = 78;
  Ops().SetVolume();
  EXPECT_EQ(VideoEngineStatus().GraphVolume, 7800);
  EXPECT_NEAR(VideoEngineStatus().PipelineVolume, 0.78, 1e-6);
  // Balance on the graph runs the other way round from the audio pan.
  Engine().Sliders.Balance = 0;  // pan -1
  Ops().SetBalance();
  EXPECT_EQ(VideoEngineStatus().GraphBalance, 10000);
  EXPECT_NEAR(VideoEngineStatus().PipelinePanorama, 1.0, 1e-6);
  Engine().Sliders.Balance = 75;  // pan 0.5
  Ops().SetBalance();
  EXPECT_EQ(VideoEngineStatus().GraphBalance, -5000);
  // The values stay for the next film.
  Ops().FreeStreams();
  EXPECT_FALSE(VideoEngineStatus().GraphExists);
  ASSERT_TRUE(Open(Mp4()));
  EXPECT_NEAR(VideoEngineStatus().PipelineVolume, 0.78, 1e-6);
}

TEST_F(VideoEngineTest, WebmAndMpeg2FilmsPlayTheirPictures) {
  const std::string webm = RedThenBlue("film.webm", "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -c:a libopus");
  const std::string mpg = RedThenBlue("film.mpg", "-c:v mpeg2video -c:a mp2");
  for (const std::string& file : {webm, mpg}) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(Open(file));
    EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
    EXPECT_GE(Engine().TotalSeconds, 5);
    EXPECT_LE(Engine().TotalSeconds, 6);
    Ops().Play();
    EXPECT_TRUE(Within(2000, [] { return IsRed(MiddleColour()); }));
    Ops().Stop();
    Ops().FreeStreams();
  }
}

TEST_F(VideoEngineTest, VideoContainersGoToTheVideoEngineAndAudioContainersStayWithTheLibrary) {
  // The audio add-on's own list, as the program builds it beside the library.
  const std::string addOn = std::string(KELDAR_PROGRAM_DIR) + "/kaudio_ffmpeg.so";
  KAUDIO_HPLUGIN handle = KAUDIO_PluginLoad(addOn.c_str(), 0);
  ASSERT_NE(handle, 0u);
  const KAUDIO_PLUGININFO* info = KAUDIO_PluginGetInfo(handle);
  ASSERT_NE(info, nullptr);
  AddAudioAddOnFormats("kaudio_ffmpeg.so", *info);
  KAUDIO_PluginFree(handle);
  for (const char* ext : {".MP4", ".M4V", ".MKV", ".WEBM", ".OGV", ".MOV", ".FLV", ".TS", ".M2TS"}) {
    for (const auto& row : SupportedFileTypes().Rows)
      if (row->FileExtension == ext) {
        EXPECT_EQ(row->FileMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream) << ext;
      }
  }
  for (const char* ext : {".M4A", ".M4B", ".MKA", ".OPUS", ".WEBA"})
    EXPECT_EQ(GetMediaFileType(std::string("x") + ext), KELDAR_AUDIOVIDEO_API_mtStream) << ext;
  // Containers without a row are video when GStreamer can render them.
  const std::string mkv = (Dir() / "film.mkv").string();
  Shell("ffmpeg -v error -y -i '" + Mp4() + "' -c copy '" + mkv + "'");
  EXPECT_EQ(GetMediaFileType(mkv), KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  const std::string text = (Dir() / "notes.xyz").string();
  std::ofstream(text) << "only words\n";
  EXPECT_EQ(GetMediaFileType(text), KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
}

TEST_F(VideoEngineTest, MidiPlaysThroughTheSoundFont) {
  const std::string midi = WriteMidi("tune.mid");
  ASSERT_EQ(GetMediaFileType(midi), KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  ASSERT_TRUE(Open(midi)) << "MIDI needs the FluidSynth decoder and a sound font";
  EXPECT_GE(Engine().TotalSeconds, 1);
  EXPECT_LE(Engine().TotalSeconds, 3);
  Ops().Play();
  EXPECT_TRUE(Within(3000, [] { return GetVideoPosition() >= 1; }));
  EXPECT_TRUE(Within(5000, [] {
    Ops().CheckEndOfStream();
    return Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psEnded;
  }));
  Engine().SongEnded = 0;
}

TEST_F(VideoEngineTest, BrokenFilmsFailWithTheVideoErrorTextOrStopCleanly) {
  const std::string garbage = (Dir() / "garbage.avi").string();
  {
    std::ofstream out(garbage, std::ios::binary);
    for (int i = 0; i < 20000; ++i) out.put(static_cast<char>((i * 7919) & 0xFF));
  }
  // Shown errors keep the entry (true), as for audio.
  EXPECT_TRUE(Open(garbage));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  EXPECT_FALSE(VideoEngineStatus().Active);
  auto messages = Messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().Text, "Can't Create Video Stream\r\n(error code: 0)");
  EXPECT_EQ(messages.back().Title, "Error");
  EXPECT_EQ(messages.back().Icon, TMessageIcon::Error);

  // With errors hidden nothing is shown and the playlist moves on.
  fs::remove(Dir() / "messages.log");
  Engine().ShowErrors = false;
  EXPECT_FALSE(Open(garbage));
  EXPECT_TRUE(Messages().empty());
  Engine().ShowErrors = true;

  // A film cut short (its index first, half its pictures gone) plays what it has and ends.
  const std::string whole = (Dir() / "faststart.mp4").string();
  Shell("ffmpeg -v error -y -i '" + Mp4() + "' -c copy -movflags +faststart '" + whole + "'");
  const std::string cut = (Dir() / "cut.mp4").string();
  {
    std::ifstream in(whole, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(data.size(), 1000u);
    std::ofstream(cut, std::ios::binary) << data.substr(0, data.size() / 2);
  }
  fs::remove(Dir() / "messages.log");
  ASSERT_TRUE(Open(cut));
  if (Engine().CurrentMediaType == KELDAR_AUDIOVIDEO_API_mtVIDEOStream) {
    Ops().Play();
    EXPECT_TRUE(Within(10000, [] {
      Ops().CheckEndOfStream();
      return Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psEnded;
    }));
    Engine().SongEnded = 0;
  } else {
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back().Text, "Can't Create Video Stream\r\n(error code: 0)");
  }
}

// A PAL DVD folder made by dvdauthor: a green title menu with one button (spumux) that plays
// title 1, a 6 s test picture with a chapter at 3 s; after the title the menu comes back.
std::string MakeDvd() {
  const fs::path d = Dir() / "dvd";
  fs::create_directories(d);
  const std::string q = "'" + d.string() + "/";
  const bool ok =
      Shell("ffmpeg -v error -y -f lavfi -i testsrc=s=720x576:r=25:d=6 -f lavfi -i sine=d=6:sample_rate=48000 "
            "-target pal-dvd -aspect 4:3 " + q + "title.mpg'") &&
      Shell("ffmpeg -v error -y -f lavfi -i color=c=green:s=720x576:r=25:d=2 -f lavfi -i anullsrc=r=48000:cl=stereo "
            "-t 2 -target pal-dvd -aspect 4:3 " + q + "menu_bg.mpg'") &&
      Shell("ffmpeg -v error -y -f lavfi -i 'color=c=black@0.0:s=720x576,format=rgba,drawbox=x=260:y=238:w=200:"
            "h=100:color=white@1:t=fill' -frames:v 1 " + q + "hl.png'");
  if (!ok) return {};
  std::ofstream(d / "menu.xml") << "<subpictures><stream><spu start=\"00:00:00.00\" force=\"yes\" highlight=\""
                                << (d / "hl.png").string() << "\" select=\"" << (d / "hl.png").string()
                                << "\"><button name=\"b1\" x0=\"260\" y0=\"238\" x1=\"460\" y1=\"338\"/>"
                                   "</spu></stream></subpictures>\n";
  std::ofstream(d / "dvd.xml") << "<dvdauthor dest=\"" << (d / "disc").string()
                               << "\"><vmgm><fpc>jump menu 1;</fpc><menus><pgc entry=\"title\">"
                                  "<button name=\"b1\">jump title 1;</button><vob file=\""
                               << (d / "menu.mpg").string()
                               << "\" pause=\"inf\"/></pgc></menus></vmgm><titleset><titles><pgc><vob file=\""
                               << (d / "title.mpg").string()
                               << "\" chapters=\"0,00:00:03\"/><post>call vmgm menu 1;</post></pgc></titles>"
                                  "</titleset></dvdauthor>\n";
  if (!Shell("(spumux " + q + "menu.xml' < " + q + "menu_bg.mpg' > " + q + "menu.mpg')") ||
      !Shell("VIDEO_FORMAT=PAL dvdauthor -x " + q + "dvd.xml'"))
    return {};
  return (d / "disc" / "VIDEO_TS" / "VIDEO_TS.IFO").string();
}

bool IsGreen(const TColour& c) { return c.g > 90 && c.r < 80 && c.b < 80; }

TColour ColourAt(int x, int y) {
  const auto frame = TakeVideoFrame();
  if (!frame || !frame->Pixels || x >= frame->Width || y >= frame->Height) return {};
  const std::uint8_t* p = frame->Pixels + y * frame->Stride + x * 4;
  return {p[2], p[1], p[0]};
}

TEST_F(VideoEngineTest, ADvdShowsItsMenuTheButtonPlaysTheTitleAndSeeksByTime) {
  const std::string ifo = MakeDvd();
  ASSERT_FALSE(ifo.empty()) << "dvdauthor and spumux build the disc";
  // The drawing area at the picture's shown size (PAL 4:3), so area and picture agree.
  VideoHooks().DrawingAreaSize = [](int& w, int& h) {
    w = 768;
    h = 576;
  };
  ASSERT_TRUE(Open(ifo));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_TRUE(VideoInDVDMode());
  Ops().Play();
  EXPECT_TRUE(Within(5000, [] { return IsGreen(ColourAt(100, 100)); })) << "the green menu";
  int w = 0, h = 0;
  TVideoRect r;
  GetVideoDisplayRect(w, h, r);
  EXPECT_EQ(w, 720);
  EXPECT_EQ(h, 576);
  // The button in the middle of the picture: a user sees the menu for a moment, points at
  // the button and releases the mouse on it.
  Wait(1500);
  Ops().UpdatePosition();
  DVDSelectAt(384, 288);
  DVDActivateAt(384, 288);
  // The title's length is read again when the title starts.
  ASSERT_TRUE(Within(6000, [] { return GetVideoLength() == 6; })) << "the button plays title 1";
  EXPECT_TRUE(Within(2000, [] {
    const TColour c = ColourAt(100, 100);
    return c.b > 180 && c.g > 180 && c.r < 80;  // the test picture's cyan bar
  }));
  EXPECT_TRUE(Within(4000, [] { return GetVideoPosition() >= 1; }));
  // Seeking stores hours, minutes and seconds of the target; the title is 6 s, so 3725 s
  // cannot play, and a seek inside it plays from there.
  SeekVideo(3725);
  EXPECT_EQ(VideoEngineStatus().Position, 3725);
  SeekVideo(4);
  EXPECT_TRUE(Within(3000, [] { return GetVideoPosition() >= 4; }));
  // After the title the disc's own command brings the menu back.
  EXPECT_TRUE(Within(6000, [] { return IsGreen(ColourAt(100, 100)); }));
  VideoHooks().DrawingAreaSize = nullptr;
}

TEST_F(VideoEngineTest, ABrokenOrMissingDiscReportsItsDvdText) {
  const fs::path broken = Dir() / "broken" / "VIDEO_TS";
  fs::create_directories(broken);
  std::ofstream(broken / "VIDEO_TS.IFO") << "DVDVIDEO-VMG but nothing after it";
  EXPECT_TRUE(Open((broken / "VIDEO_TS.IFO").string()));
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  auto messages = Messages();
  ASSERT_GE(messages.size(), 1u);
  EXPECT_EQ(messages.front().Text, std::string("No DVD volume is specified or isn't found.") + "\r\n(error code: 0)");
  EXPECT_EQ(messages.back().Text, "Can't Create Video Stream\r\n(error code: 0)");

  fs::remove(Dir() / "messages.log");
  EXPECT_TRUE(Open((Dir() / "nowhere" / "VIDEO_TS" / "VIDEO_TS.IFO").string()));
  messages = Messages();
  ASSERT_GE(messages.size(), 1u);
  EXPECT_EQ(messages.front().Text, "The specified DVD volume to be played does not exist.\r\n(error code: 0)");
  // Navigation without a DVD does nothing.
  DVDTitleMenu();
  DVDNextChapter();
  DVDActivateAt(1, 1);
}

TEST(VideoPictureRect, AspectModesPlaceThePicture) {
  // 16:9 in 4:3: letter box leaves bars above and below, crop cuts the sides, stretch fills.
  EXPECT_EQ(VideoPictureRect(kVideoLetterBox, 1280, 720, 400, 300), (TVideoRect{0, 37, 400, 225}));
  EXPECT_EQ(VideoPictureRect(kVideoCrop, 1280, 720, 400, 300), (TVideoRect{-66, 0, 533, 300}));
  EXPECT_EQ(VideoPictureRect(kVideoStretched, 1280, 720, 400, 300), (TVideoRect{0, 0, 400, 300}));
  // Nothing to show yet: the whole area.
  EXPECT_EQ(VideoPictureRect(kVideoLetterBox, 0, 0, 400, 300), (TVideoRect{0, 0, 400, 300}));
}

}  // namespace
