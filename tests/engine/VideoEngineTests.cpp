// The video engine on real GStreamer pipelines with files made by ffmpeg: pictures of a known
// colour in a known period, the length, position, seeking, volume and balance on the
// pipeline (and balance heard on a real sound server), the end of a file as the end of the
// song, which containers are video, MIDI through the sound font, broken files on the failure
// paths, and a dvdauthor disc: menus, buttons, chapters, fast forward, rewind, time seeks.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "EngineTestSupport.h"
#include "MidiFixture.h"
#include "SoundServerPeer.h"
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

std::string WriteMidi(const std::string& name) {
  const std::string path = (Dir() / name).string();
  WriteMidiFile(path);
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
  // Balance pans a film's sound the same way as a song's: slider left, sound to the left.
  Engine().Sliders.Balance = 0;  // pan -1
  Ops().SetBalance();
  EXPECT_EQ(VideoEngineStatus().GraphBalance, -10000);
  EXPECT_NEAR(VideoEngineStatus().PipelinePanorama, -1.0, 1e-6);
  Engine().Sliders.Balance = 75;  // pan 0.5
  Ops().SetBalance();
  EXPECT_EQ(VideoEngineStatus().GraphBalance, 5000);
  EXPECT_NEAR(VideoEngineStatus().PipelinePanorama, 0.5, 1e-6);
  // The values stay for the next film.
  Ops().FreeStreams();
  EXPECT_FALSE(VideoEngineStatus().GraphExists);
  ASSERT_TRUE(Open(Mp4()));
  EXPECT_NEAR(VideoEngineStatus().PipelineVolume, 0.78, 1e-6);
  EXPECT_NEAR(VideoEngineStatus().PipelinePanorama, 0.5, 1e-6);
}

TEST_F(VideoEngineTest, BalanceToTheRightIsHeardOnTheRightOfARealSoundServer) {
  TSoundServer server;
  ASSERT_TRUE(server.Up());
  ASSERT_TRUE(Open(Mp4()));
  Engine().Sliders.Balance = 100;  // all the way right
  Ops().SetBalance();
  TSoundServer::TCapture capture(server, 3.0);
  Ops().Play();
  const std::vector<float> left = capture.Channel(0);
  const std::vector<float> right = capture.Channel(1);
  // Sound already queued in the sink and the server when the slider moved keeps its old
  // place for a moment: the last second counts.
  ASSERT_GT(right.size(), size_t(2 * TSoundServer::kRate));
  const size_t from = right.size() - TSoundServer::kRate;
  const float leftPeak = soundcheck::Peak(left, from, left.size());
  const float rightPeak = soundcheck::Peak(right, from, right.size());
  EXPECT_GT(rightPeak, 0.1f) << "the film's tone reaches the right channel";
  EXPECT_LT(leftPeak, rightPeak / 10) << "and leaves the left one (left " << leftPeak << ", right " << rightPeak << ")";
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

// A live source: a named pipe that an encoder writes in real time, as a capture program
// does. Its length cannot be told, so it reads 0 and the deck shows its least length; it is
// not taken for a film of length 0: it plays past 3 s and ends when its writer ends. A pipe
// without a writer fails instead of freezing the program.
TEST_F(VideoEngineTest, ALiveStreamFromAPipePlaysUntilItsWriterEnds) {
  const std::string pipe = (Dir() / "live.mpg").string();
  fs::remove(pipe);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  loopback::TChildProcess writer({"ffmpeg", "-v", "error", "-y", "-re", "-f", "lavfi", "-i",
                                  "color=c=red:s=160x120:r=25:d=6", "-f", "lavfi", "-i", "sine=d=6", "-c:v",
                                  "mpeg2video", "-c:a", "mp2", "-shortest", "-f", "mpeg", pipe});
  ASSERT_TRUE(Open(pipe));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_EQ(GetVideoLength(), 0) << "a live stream has no length";
  EXPECT_EQ(Engine().TotalSeconds, 1);
  Ops().Play();
  EXPECT_TRUE(Within(3000, [] { return IsRed(MiddleColour()); }));
  EXPECT_TRUE(Within(6000, [] {
    Ops().CheckEndOfStream();
    return Engine().PositionSeconds >= 4;
  })) << "still playing after 3 s";
  EXPECT_EQ(Engine().PlayerState, KELDAR_AUDIOVIDEO_API_psPlaying);
  EXPECT_TRUE(Within(6000, [] {
    Ops().CheckEndOfStream();
    return Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psEnded;
  })) << "the writer's end is the end of the song";
  EXPECT_GE(Engine().PositionSeconds, 4);
  Engine().SongEnded = 0;

  // A pipe nobody writes into fails as a broken film does, in a few seconds; the program
  // does not wait for a writer forever.
  Ops().FreeStreams();
  fs::remove(Dir() / "messages.log");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(Open(pipe));
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 10.0);
  EXPECT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_UNSUPPORTED_FILETYPE);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().Text, "Can't Create Video Stream\r\n(error code: 0)");
}

// A fragmented film (as recorders write them) tells only the length of what has been read
// so far; the deck's length follows as the rest is read, and the film plays to its end.
TEST_F(VideoEngineTest, AFragmentedFilmsLengthGrowsAsItIsRead) {
  const std::string film = (Dir() / "fragments.mp4").string();
  ASSERT_TRUE(Shell("ffmpeg -v error -y -f lavfi -i color=c=red:s=160x120:r=25:d=4 -f lavfi -i sine=d=4 -c:v libx264 "
                    "-preset ultrafast -g 10 -c:a aac -shortest -movflags frag_keyframe+empty_moov+skip_trailer '" +
                    film + "'"));
  ASSERT_TRUE(Open(film));
  ASSERT_LT(Engine().TotalSeconds, 3) << "only the first fragments are known at the start";
  Ops().Play();
  EXPECT_TRUE(Within(5000, [] {
    Ops().CheckEndOfStream();
    return Engine().PlayerState == KELDAR_AUDIOVIDEO_API_psEnded;
  }));
  EXPECT_GE(Engine().PositionSeconds, 3);
  EXPECT_GE(Engine().TotalSeconds, 3) << "the whole film's length";
  EXPECT_LE(Engine().TotalSeconds, 4);
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

// A PAL DVD folder made by dvdauthor. First play shows the title menu (green, one button drawn
// by spumux) whose button plays title 1; title 1 is a flat cyan picture of a little over an
// hour with chapters at 0, 10, 20, 30, 40, 50 s and 1:02:00; the title set's root menu is
// magenta; after the title the disc goes back to the title menu. The title is one 10 s piece
// repeated by stream copy, so the disc (about 45 MB) takes a few seconds to make.
std::string MakeDvd() {
  const fs::path d = Dir() / "dvd";
  fs::create_directories(d);
  const std::string q = "'" + d.string() + "/";
  const auto menuBackground = [&](const std::string& colour, const std::string& name) {
    return Shell("ffmpeg -v error -y -f lavfi -i color=c=" + colour + ":s=720x576:r=25:d=2 -f lavfi -i "
                 "anullsrc=r=48000:cl=stereo -t 2 -target pal-dvd -aspect 4:3 " + q + name + "'");
  };
  const bool ok =
      Shell("ffmpeg -v error -y -f lavfi -i color=c=0x00c0c0:s=352x288:r=25:d=10 -f lavfi -i "
            "anullsrc=r=48000:cl=mono -t 10 -target pal-dvd -s 352x288 -aspect 4:3 -q:v 31 -b:a 32k -ac 1 " + q +
            "piece.mpg'") &&
      Shell("ffmpeg -v error -y -stream_loop 375 -i " + q + "piece.mpg' -c copy -f dvd -muxrate 10080000 "
            "-packetsize 2048 " + q + "title.mpg'") &&
      menuBackground("green", "menu_bg.mpg") && menuBackground("magenta", "root.mpg") &&
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
                               << "\" pause=\"inf\"/></pgc></menus></vmgm><titleset><menus><pgc entry=\"root\">"
                                  "<vob file=\"" << (d / "root.mpg").string()
                               << "\" pause=\"inf\"/></pgc></menus><titles><pgc><vob file=\""
                               << (d / "title.mpg").string()
                               << "\" chapters=\"0,00:00:10,00:00:20,00:00:30,00:00:40,00:00:50,01:02:00\"/>"
                                  "<post>call vmgm menu 1;</post></pgc></titles></titleset></dvdauthor>\n";
  if (!Shell("(spumux " + q + "menu.xml' < " + q + "menu_bg.mpg' > " + q + "menu.mpg')") ||
      !Shell("VIDEO_FORMAT=PAL dvdauthor -x " + q + "dvd.xml'"))
    return {};
  fs::remove(d / "title.mpg");
  return (d / "disc" / "VIDEO_TS" / "VIDEO_TS.IFO").string();
}

bool IsGreen(const TColour& c) { return c.g > 90 && c.r < 80 && c.b < 80; }
bool IsCyan(const TColour& c) { return c.g > 150 && c.b > 150 && c.r < 80; }
bool IsMagenta(const TColour& c) { return c.r > 180 && c.b > 180 && c.g < 80; }

TColour ColourAt(int x, int y) {
  const auto frame = TakeVideoFrame();
  if (!frame || !frame->Pixels || x >= frame->Width || y >= frame->Height) return {};
  const std::uint8_t* p = frame->Pixels + y * frame->Stride + x * 4;
  return {p[2], p[1], p[0]};
}

class DvdTest : public VideoEngineTest {
 protected:
  static void SetUpTestSuite() {
    PlaybackEngineTest::SetUpTestSuite();
    Disc() = MakeDvd();
  }
  static std::string& Disc() {
    static std::string ifo;
    return ifo;
  }
  void SetUp() override {
    VideoEngineTest::SetUp();
    ASSERT_FALSE(Disc().empty()) << "dvdauthor and spumux build the disc";
    // The drawing area at the menu's shown size (PAL 4:3), so area and picture agree.
    VideoHooks().DrawingAreaSize = [](int& w, int& h) {
      w = 768;
      h = 576;
    };
  }
  void TearDown() override {
    VideoHooks().DrawingAreaSize = nullptr;
    VideoEngineTest::TearDown();
  }
  // Opens the disc, waits for the menu and presses its button as a user does: sees the menu
  // for a moment, points at the button and releases the mouse on it.
  static void PlayTitleFromTheMenu() {
    ASSERT_TRUE(Within(5000, [] { return IsGreen(ColourAt(100, 100)); })) << "the green menu";
    Wait(1500);
    Ops().UpdatePosition();
    DVDSelectAt(384, 288);
    DVDActivateAt(384, 288);
    ASSERT_TRUE(Within(6000, [] { return IsCyan(ColourAt(100, 100)); })) << "the button plays title 1";
  }
  // The title's position read back from the pipeline at normal speed.
  static std::int64_t SettledPosition() {
    Wait(700);
    Ops().UpdatePosition();
    return GetVideoPosition();
  }
};

// One disc, used as a user does: the menu, its button, the title's length on the deck,
// chapters, fast forward, rewind, normal speed, the root and title menus, the button again, a
// time seek past an hour and the title playing out into the menu. (One test: the disc takes
// a few seconds to make.)
TEST_F(DvdTest, MenusChaptersSpeedsAndTimeSeeks) {
  ASSERT_TRUE(Open(Disc()));
  ASSERT_EQ(Engine().CurrentMediaType, KELDAR_AUDIOVIDEO_API_mtVIDEOStream);
  EXPECT_TRUE(VideoInDVDMode());
  Ops().Play();
  ASSERT_TRUE(Within(5000, [] { return IsGreen(ColourAt(100, 100)); }));
  int w = 0, h = 0;
  TVideoRect r;
  GetVideoDisplayRect(w, h, r);
  EXPECT_EQ(w, 720);
  EXPECT_EQ(h, 576);
  EXPECT_LE(Engine().TotalSeconds, 3) << "the menu's own length";
  PlayTitleFromTheMenu();
  // The new title's length reaches the deck by itself (no one asks for it here).
  EXPECT_TRUE(Within(3000, [] { return Engine().TotalSeconds > 3725; })) << Engine().TotalSeconds;
  EXPECT_LT(Engine().TotalSeconds, 3800);
  GetVideoDisplayRect(w, h, r);
  EXPECT_EQ(w, 352) << "the title's picture size";
  EXPECT_TRUE(Within(4000, [] { return GetVideoPosition() >= 1; }));

  ASSERT_LE(SettledPosition(), 8) << "the title starts in its first chapter";

  DVDNextChapter();
  std::int64_t at = SettledPosition();
  EXPECT_GE(at, 10);
  EXPECT_LT(at, 14);
  DVDNextChapter();
  at = SettledPosition();
  EXPECT_GE(at, 20);
  EXPECT_LT(at, 24);
  DVDPreviousChapter();
  at = SettledPosition();
  EXPECT_GE(at, 10);
  EXPECT_LT(at, 14);

  // Fast forward moves through the title about 8 s a second, rewind as fast backwards; the
  // place reached is where the picture then plays on at normal speed.
  const auto since = [](std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
  };
  const std::int64_t before = GetVideoPosition();
  auto started = std::chrono::steady_clock::now();
  DVDFastForward();
  Within(2500, [] { return false; });
  double seconds = since(started);
  DVDNormalSpeed();
  const std::int64_t forward = SettledPosition();
  EXPECT_GE(forward - before, static_cast<std::int64_t>(8 * seconds) - 4) << seconds << " s";
  EXPECT_LE(forward - before, static_cast<std::int64_t>(8 * seconds) + 4) << seconds << " s";
  EXPECT_TRUE(IsCyan(ColourAt(100, 100)));

  started = std::chrono::steady_clock::now();
  DVDRewind();
  Within(1500, [] { return false; });
  seconds = since(started);
  DVDNormalSpeed();
  const std::int64_t back = SettledPosition();
  EXPECT_GE(forward - back, static_cast<std::int64_t>(8 * seconds) - 4) << seconds << " s";
  EXPECT_LE(forward - back, static_cast<std::int64_t>(8 * seconds) + 4) << seconds << " s";

  // Normal speed: about a second a second (the DVD's clock is read in whole navigation
  // blocks, so a second either way).
  Wait(1000);
  started = std::chrono::steady_clock::now();
  const std::int64_t from = GetVideoPosition();
  Wait(3000);
  seconds = since(started);
  const std::int64_t moved = GetVideoPosition() - from;
  EXPECT_GE(moved, static_cast<std::int64_t>(seconds) - 2) << seconds << " s";
  EXPECT_LE(moved, static_cast<std::int64_t>(seconds) + 2) << seconds << " s";

  // Rewinding past the title's start stops there and plays on.
  DVDRewind();
  EXPECT_TRUE(Within(6000, [] { return GetVideoPosition() <= 1; }));
  EXPECT_LE(SettledPosition(), 3);

  DVDRootMenu();
  EXPECT_TRUE(Within(5000, [] { return IsMagenta(ColourAt(100, 100)); })) << "the title set's root menu";
  DVDTitleMenu();
  EXPECT_TRUE(Within(5000, [] { return IsGreen(ColourAt(100, 100)); })) << "the disc's title menu";
  EXPECT_TRUE(Within(2000, [] { return Engine().TotalSeconds <= 3; })) << Engine().TotalSeconds;

  // The button again: the title from its start.
  PlayTitleFromTheMenu();
  EXPECT_TRUE(Within(3000, [] { return Engine().TotalSeconds > 3725; })) << Engine().TotalSeconds;

  // 3725 s is 1:02:05: the title plays from there.
  SeekVideo(3725);
  EXPECT_EQ(VideoEngineStatus().Position, 3725);
  const std::int64_t past = SettledPosition();
  EXPECT_GE(past, 3724);
  EXPECT_LE(past, 3728);
  EXPECT_EQ(past / 3600, 1);
  EXPECT_EQ(past % 3600 / 60, 2);
  EXPECT_TRUE(IsCyan(ColourAt(100, 100)));
  // Near its end the title plays out and the disc's own command brings the menu back, with
  // the menu's length again.
  SeekVideo(Engine().TotalSeconds - 3);
  EXPECT_TRUE(Within(8000, [] { return IsGreen(ColourAt(100, 100)); }));
  EXPECT_TRUE(Within(2000, [] { return Engine().TotalSeconds <= 3; })) << Engine().TotalSeconds;
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
