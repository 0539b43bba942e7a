// The visualization plug-ins inside the real player: the template plug-in draws live frames
// into the visuals window, the all-in-one plug-in shows the artwork beside the song, and the
// player ends cleanly while a plug-in runs. The drawing area is read from the snapshots the
// player writes under KELDAR_VISUALS_SNAPSHOT.
#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <filesystem>
#include <thread>

#include "PlayerProcess.h"
#include "PlayerTestFolders.h"
#include "TestSupport.h"

namespace {

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class VisualsE2E : public PlayerControlTest {
 protected:
  VisualsE2E() : PlayerControlTest("keldar-visuals-e2e-") {}

  // A tagged song: noise changes the spectrum from frame to frame.
  std::string Song() {
    const std::string path = dir / "song.ogg";
    Shell("ffmpeg -loglevel error -y -f lavfi -i 'anoisesrc=color=pink:duration=40:amplitude=0.5' -ac 2 "
          "-metadata artist=Artist -metadata album=Album -metadata title=Noise '" + path + "'");
    return path;
  }

  // The visuals window is shown from the start (effect mode 7), so the plug-in runs at once.
  void StartPlaying(const std::string& song, const std::string& settings = "") {
    WriteTextFile(program + "/keldar3.ini",
                  "[Settings]\nOptions_DeckCurrentVisualEffect=7\nOptions_VisExVisibleState=1\n"
                  "Options_VisExWidth=300\nOptions_VisExHeight=300\n" + settings);
    ::setenv("KELDAR_VISUALS_SNAPSHOT", snapshot.c_str(), 1);
    ASSERT_TRUE(player.Start({song}));
    ::unsetenv("KELDAR_VISUALS_SNAPSHOT");
    RunKeldarctl("play");
  }

  // The next snapshot written after this call.
  QImage NextSnapshot(int timeoutMs = 8000) {
    std::error_code ec;
    std::filesystem::remove(snapshot, ec);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      QImage image(QString::fromStdString(snapshot));
      if (!image.isNull()) return image.convertToFormat(QImage::Format_RGB32);
      Sleep(50);
    }
    return {};
  }

  static double Share(const QImage& image, const std::function<bool(QRgb)>& test) {
    long hits = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) hits += test(image.pixel(x, y));
    return static_cast<double>(hits) / (static_cast<double>(image.width()) * image.height());
  }

  std::string snapshot = dir / "visuals.png";
  TPlayerProcess player{program, runtime, log};
};

TEST_F(VisualsE2E, TheTemplatePluginDrawsChangingFramesIntoTheVisualsWindow) {
  StartPlaying(Song());
  const QImage first = NextSnapshot();
  ASSERT_FALSE(first.isNull()) << "no frame reached the drawing area";
  Sleep(300);
  const QImage second = NextSnapshot();
  ASSERT_FALSE(second.isNull());
  ASSERT_EQ(first.size(), second.size());
  EXPECT_GT(Share(first, [](QRgb p) { return qGreen(p) > 150; }), 0.002) << "bars were drawn";
  long changed = 0;
  for (int y = 0; y < first.height(); ++y)
    for (int x = 0; x < first.width(); ++x) changed += first.pixel(x, y) != second.pixel(x, y);
  EXPECT_GT(changed, 50) << "the picture moves with the sound";
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(VisualsE2E, TheAllInOneArtworkEffectShowsTheRedCoverBesideTheSong) {
  const std::string song = Song();
  QImage cover(120, 120, QImage::Format_RGB32);
  cover.fill(Qt::red);
  ASSERT_TRUE(cover.save(QString::fromStdString(dir / "Artist - Album.jpg")));
  WriteTextFile(program + "/vis.ini", "[keldarallinone]\nlastusedeffect=2\n");
  StartPlaying(song, "Options_VisExCurrentPluginName=keldarallinone.svp\n");
  QImage image;
  double red = 0;
  // The first frames may come before the record names the song.
  for (int attempt = 0; attempt < 20 && red < 0.5; ++attempt) {
    image = NextSnapshot();
    ASSERT_FALSE(image.isNull()) << "no frame reached the drawing area";
    red = Share(image, [](QRgb p) { return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60; });
  }
  EXPECT_GT(red, 0.5) << "the drawing area is mostly the cover";
  EXPECT_EQ(player.Terminate(), 0);
  EXPECT_NE(ReadTextFile(program + "/vis.ini").find("lastusedeffect=2"), std::string::npos)
      << "the plug-in saved its effect when it was stopped";
}

TEST_F(VisualsE2E, ThePlayerEndsCleanlyWhileAPluginRuns) {
  StartPlaying(Song());
  ASSERT_FALSE(NextSnapshot().isNull());
  EXPECT_EQ(player.Terminate(), 0);
  EXPECT_EQ(ReadTextFile(log).find("lugin"), std::string::npos) << ReadTextFile(log);
}


// A film in the real player: the visuals window shows its red, then its blue, and the song
// after it plays once the film is over.
TEST_F(VisualsE2E, AFilmPlaysInTheVisualsWindowAndTheSongAfterItFollows) {
  const std::string film = dir / "film.mp4";
  ASSERT_TRUE(Shell("ffmpeg -v error -y -f lavfi -i color=c=red:s=320x240:r=25:d=3 -f lavfi -i "
                    "color=c=blue:s=320x240:r=25:d=3 -f lavfi -i sine=d=6 -filter_complex "
                    "'[0][1]concat=n=2:v=1:a=0,format=yuv420p[v]' -map '[v]' -map 2 -c:v libx264 -preset ultrafast "
                    "-c:a aac -shortest '" + film + "'"));
  const std::string song = Song();
  WriteTextFile(program + "/keldar3.ini",
                "[Settings]\nOptions_DeckCurrentVisualEffect=7\nOptions_VisExVisibleState=1\n"
                "Options_VisExWidth=300\nOptions_VisExHeight=300\n");
  ::setenv("KELDAR_VISUALS_SNAPSHOT", snapshot.c_str(), 1);
  ASSERT_TRUE(player.Start({film, song}));
  ::unsetenv("KELDAR_VISUALS_SNAPSHOT");
  RunKeldarctl("play");
  const auto share = [&](const std::function<bool(QRgb)>& test) {
    const QImage image = NextSnapshot();
    return image.isNull() ? 0.0 : Share(image, test);
  };
  const auto red = [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80; };
  const auto blue = [](QRgb p) { return qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80; };
  double seen = 0;
  for (int attempt = 0; attempt < 10 && seen < 0.5; ++attempt) seen = share(red);
  EXPECT_GT(seen, 0.5) << "the drawing area shows the film's red";
  seen = 0;
  for (int attempt = 0; attempt < 20 && seen < 0.5; ++attempt) seen = share(blue);
  EXPECT_GT(seen, 0.5) << "then its blue";
  // The song follows: the now-playing record names the second entry.
  bool second = false;
  for (int attempt = 0; attempt < 40 && !second; ++attempt) {
    second = RunKeldarctl("status --json").Output.find("\"PlaylistPositionText\":\"2\"") != std::string::npos;
    Sleep(250);
  }
  EXPECT_TRUE(second) << RunKeldarctl("status --json").Output;
  EXPECT_EQ(player.Terminate(), 0);
}

}  // namespace
