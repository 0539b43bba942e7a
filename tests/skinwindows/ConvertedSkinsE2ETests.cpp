// Converted Winamp and K-Jofol skins on the real skinned windows (drawn off screen and
// compared with the skin's own pictures) and in the real player driven by keldarctl.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>

#include "DefaultSkinnedWindows.h"
#include "SkinnedWindowFixture.h"
#include "TestSupport.h"
#include "WinampClassicSkinPainter.h"
#include "e2e/PlayerProcess.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "util/ShowMessage.h"
#include "skin/KELDARSkinConversionProgress.h"
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace fs = std::filesystem;

namespace {

QImage Picture(const std::string& path) { return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32); }

::testing::AssertionResult SameRect(const QImage& a, int ax, int ay, const QImage& b, int bx, int by, int w, int h) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      if (!x.valid(ax + i, ay + j) || !y.valid(bx + i, by + j)) return ::testing::AssertionFailure() << "outside";
      if (x.pixel(ax + i, ay + j) != y.pixel(bx + i, by + j))
        return ::testing::AssertionFailure() << "differs at +" << i << ",+" << j;
    }
  return ::testing::AssertionSuccess();
}

QImage Noise(int w, int h, unsigned seed) {
  QImage img(w, h, QImage::Format_RGB888);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned v = rng();
      img.setPixel(x, y, qRgb(static_cast<int>(v & 0x7F) + 1, static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)));
    }
  return img;
}

// A K-Jofol skin of our own: the equalizer's ten bands sit inside the deck.
void WriteKjofolSkin(const std::string& dir) {
  fs::create_directories(dir);
  Noise(300, 200, 1).save(QString::fromStdString(dir + "/back.bmp"), "BMP");
  Noise(300, 200, 2).save(QString::fromStdString(dir + "/down.bmp"), "BMP");
  Noise(14 * 20, 40, 3).save(QString::fromStdString(dir + "/eq.bmp"), "BMP");
  Noise(10, 8, 4).save(QString::fromStdString(dir + "/knob.bmp"), "BMP");
  Noise(250, 300, 5).save(QString::fromStdString(dir + "/list.bmp"), "BMP");
  WriteTextFile(dir + "/skin.rc",
                "BackgroundImage back.bmp\r\nBackgroundImagePressed1 down.bmp\r\n"
                "PlayButton 10 20 32 40 Play BMP1\r\nRepeatButton 40 20 62 40 Repeat BMP1\r\n"
                "VolumeControlImage knob.bmp\r\nVolumeControlButton 200 100 299 110 Volume\r\n"
                "EqualizerWindow 20 120 33 159 0 0 18\r\nEqualizerBmp 14 20 eq.bmp\r\n"
                "PlaylistBmp list.bmp\r\nPlaylistWindowText 10 20 199 249\r\n");
}

int Ctl(const std::string& arguments, std::string* output = nullptr) {
  const std::string command = std::string(KELDAR_PROGRAM_DIR) + "/keldarctl " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[1024];
  std::size_t n;
  std::string text;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, n);
  const int status = ::pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string IniValue(const std::string& ini, const std::string& key) {
  std::istringstream in(ini);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "<missing>";
}

class ConvertedSkinWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinWindowTestApplication();
    SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  }
  void TearDown() override { SetKELDARSkinConverters({}, {}); }
  TTempFolder dir;
};

TEST_F(ConvertedSkinWindows, WinampSkinDrawsDeckEqualizerAndPlaylistFromItsPictures) {
  const std::string program = dir / "program";
  ASSERT_TRUE(WriteWinampClassicSkin(program + "/skins/winampdefault", false));
  ASSERT_TRUE(WriteWinampClassicSkin(program + "/skins/classic", true, 7));
  TDefaultSkinnedWindows windows(program);
  TMessageLogCapture log(dir / "messages.log");
  EXPECT_EQ(LoadKELDARSkin(program + "/skins/classic/Main.bmp", windows.Set, false), "classic/MAIN.BMP");
  const std::string skin = program + "/skins/classic/";
  const QImage deck = windows.Deck.grab().toImage();
  ASSERT_EQ(deck.size(), QSize(275, 116));
  EXPECT_TRUE(SameRect(deck, 0, 14, Picture(skin + "main.bmp"), 0, 14, 16, 10));
  EXPECT_TRUE(SameRect(deck, 39, 88, Picture(skin + "cbuttons.bmp"), 23, 0, 23, 18));  // play, released
  EXPECT_TRUE(SameRect(deck, 216, 72, Picture(skin + "posbar.bmp"), 200, 0, 40, 10));   // position track
  const QImage eq = windows.Equalizer.grab().toImage();
  ASSERT_EQ(eq.size(), QSize(275, 116));
  EXPECT_TRUE(SameRect(eq, 0, 104, Picture(skin + "eqmain.bmp"), 0, 104, 275, 12));
  const QImage list = windows.Playlist.grab().toImage();
  const QImage pledit = Picture(skin + "pledit.bmp");
  EXPECT_TRUE(SameRect(list, 0, 0, pledit, 0, 0, 25, 20) || SameRect(list, 0, 0, pledit, 0, 21, 25, 20));
  EXPECT_TRUE(SameRect(list, 0, list.height() - 38, pledit, 0, 72, 125, 38));
  EXPECT_TRUE(ReadMessageLog(log.Path()).empty());
}

TEST_F(ConvertedSkinWindows, KjofolSkinShowsItsEqualizerInsideTheDeck) {
  const std::string program = dir / "program";
  WriteKjofolSkin(program + "/skins/kj");
  TDefaultSkinnedWindows windows(program);
  EXPECT_EQ(LoadKELDARSkin(program + "/skins/kj/skin.rc", windows.Set, false), "kj/skin.rc");
  const QImage deck = windows.Deck.grab().toImage();
  ASSERT_EQ(deck.size(), QSize(300, 200));
  const QImage back = Picture(program + "/skins/kj/back.bmp");
  EXPECT_TRUE(SameRect(deck, 100, 60, back, 100, 60, 50, 30));
  EXPECT_TRUE(SameRect(deck, 10, 20, back, 10, 20, 23, 21));  // play, released
  // Band 3 at 20 + 2 * 18, drawn from the band strip (some frame of it).
  const QImage eq = Picture(program + "/skins/kj/eq.bmp");
  bool found = false;
  for (int f = 0; f < 20 && !found; ++f) found = SameRect(deck, 56, 120, eq, 14 * f, 0, 14, 40);
  EXPECT_TRUE(found);
  EXPECT_TRUE(windows.Deck.Form_Controls.test(EqualizerForm_EQBand3Image));
}

TEST_F(ConvertedSkinWindows, ProgressWindowShowsEachStep) {
  TKELDARSkinConversionProgress progress("Converting winamp skin");
  ASSERT_NE(progress.Dialog(), nullptr);
  EXPECT_EQ(progress.Dialog()->windowTitle(), "Converting winamp skin");
  EXPECT_TRUE(progress.Dialog()->isVisible());
  progress.Step(3);
  const auto* bar = progress.Dialog()->findChild<QProgressBar*>();
  const auto* label = progress.Dialog()->findChild<QLabel*>();
  ASSERT_TRUE(bar && label);
  EXPECT_EQ(bar->maximum(), 10);
  EXPECT_EQ(bar->value(), 3);
  EXPECT_EQ(label->text(), "Completed :30%");
  progress.Step(10);
  EXPECT_EQ(label->text(), "Completed :100%");
  const auto* cancel = progress.Dialog()->findChild<QPushButton*>();
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Cancel");
}

TEST(ConvertedSkinPlayer, TheRealPlayerRunsAWinampAndAKjofolSkinThroughItsControls) {
  for (const std::string remembered : {"classic/MAIN.BMP", "kj/skin.rc"}) {
    SCOPED_TRACE(remembered);
    TTempFolder dir;
    const std::string program = dir / "program";
    const std::string runtime = dir / "runtime";
    fs::create_directories(program + "/skins");
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ASSERT_TRUE(WriteWinampClassicSkin(program + "/skins/winampdefault", false));
    ASSERT_TRUE(WriteWinampClassicSkin(program + "/skins/classic", true, 3));
    WriteKjofolSkin(program + "/skins/kj");
    WriteTextFile(program + "/keldar3.ini", "[Settings]\r\nOptions_SkinToBeLoaded=" + remembered + "\r\n");

    TPlayerProcess player(program, runtime, dir / "messages.log");
    ASSERT_TRUE(player.Start({}));
    // The conversion lets messages run while the skin is not ready yet (they are ignored
    // then): drive the volume until the converted skin's slider takes it.
    std::string out;
    int volume = -1;
    for (int i = 0; i < 100 && std::abs(volume - 60) > 2; ++i) {
      EXPECT_EQ(Ctl("volume 60"), 0);
      ASSERT_EQ(Ctl("volume", &out), 0);
      volume = std::atoi(out.c_str());
      if (std::abs(volume - 60) > 2) ::usleep(100000);
    }
    EXPECT_NEAR(volume, 60, 2) << out;
    EXPECT_EQ(Ctl("send 0x940B"), 0);  // a click on the repeat toggle
    // An equalizer band: in its own window (Winamp) or inside the deck (K-Jofol).
    EXPECT_EQ(Ctl("eq band 3 30"), 0);
    ASSERT_EQ(Ctl("eq band 3", &out), 0);
    EXPECT_NEAR(std::atoi(out.c_str()), 30, 2) << out;
    EXPECT_EQ(player.Terminate(), 0);

    const std::string ini = ReadTextFile(program + "/keldar3.ini");
    EXPECT_EQ(IniValue(ini, "Options_SkinToBeLoaded"), remembered);
    const std::string repeat = IniValue(ini, "Options_RepeatButtonState");
    EXPECT_TRUE(repeat == "1" || repeat == "True") << repeat;
    const std::string messages = ReadTextFile(dir / "messages.log");
    EXPECT_EQ(messages.find("CORRUPTED"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("directory is missing"), std::string::npos) << messages;
  }
}

}  // namespace
