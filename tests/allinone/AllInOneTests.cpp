// The all-in-one plug-in drawn into buffers of our own: effect geometry, clicks, settings,
// and artwork found and fitted from real picture files through the picture plug-in.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>

#include <cstring>
#include <filesystem>
#include <vector>

#include "TestSupport.h"
#include "allinone/SoniqueVisTemplateUnit.h"
#include "plugins/ZorvanePlayerApiSharedRecord.h"

namespace {

constexpr int32_t kBackground = 0x00302010;  // 0x00BBGGRR: red 0x10, green 0x20, blue 0x30
constexpr int32_t kTrace = 0x0000FF00;
constexpr int32_t kText = 0x00FFFFFF;
constexpr uint32_t kBackgroundPixel = 0x102030;
constexpr uint32_t kTracePixel = 0x00FF00;
constexpr uint32_t kTextPixel = 0xFFFFFF;

class AllInOne : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "allinone";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
  }

  void SetUp() override {
    recordName = "keldar-allinone-test-" + std::to_string(getpid());
    setenv("ZORVANEPLAYERAPI_RECORD", recordName.c_str(), 1);
    ASSERT_TRUE(OpenApiSharedMemory());
    Publish({});
    AllInOneOpenSettingsProc((folder / "none.ini").c_str());
    AllInOneInitializeProc();
  }
  void TearDown() override {
    AllInOneDeinitProc();
    CloseApiSharedMemory();
    unsetenv("ZORVANEPLAYERAPI_RECORD");
  }

  // Two ticks: the first after opening is the blank one.
  void Publish(TNowPlayingValues values) {
    values.BackgroundColor = kBackground;
    values.CurrentColor = kTrace;
    values.TextColor = kText;
    PublishNowPlaying(values);
    PublishNowPlaying(values);
  }

  void Effect(int wanted) {
    for (int i = 0; i < 5 && AllInOneCurrentEffect() != wanted; ++i) AllInOneClickedProc(0, 0, 1);
    ASSERT_EQ(AllInOneCurrentEffect(), wanted);
  }

  std::vector<uint32_t> Render(int w, int h, const VisRenderData& data) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0xDEADBEEF);
    VisRenderData copy = data;
    EXPECT_EQ(AllInOneRenderProc(pixels.data(), w, h, w, &copy), 1);
    return pixels;
  }

  static uint32_t At(const std::vector<uint32_t>& p, int w, int x, int y) {
    return p[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
  }

  static void WritePicture(const std::string& path, int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path)));
  }

  TTempFolder folder;
  std::string recordName;
};

TEST_F(AllInOne, DeclaresItselfAsTheDescriptionSays) {
  const VisPluginInfo* info = AllInOneQueryModule();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->Version, 1u);
  EXPECT_STREQ(info->PluginName, "Zorvane Audio Player All in One Plugin v3.0");
  EXPECT_EQ(info->RequiredData, 7);
  EXPECT_TRUE(info->InitializeProc && info->RenderProc && info->SaveSettingsProc && info->OpenSettingsProc &&
              info->DeinitProc && info->ClickedProc);
}

TEST_F(AllInOne, SpectrumPutsBinXInColumnXAndLoudBinsFillTheirHalf) {
  VisRenderData data{};
  for (int x = 0; x < 256; ++x) {
    data.Spectrum[0][x] = static_cast<uint8_t>(x / 2);
    data.Spectrum[1][x] = static_cast<uint8_t>(127 - x / 2);
  }
  data.Spectrum[0][5] = 200;
  data.Spectrum[1][6] = 255;
  Effect(0);
  const int w = 256, h = 128;  // q = 64: a magnitude m rises m / 2 rows
  const auto p = Render(w, h, data);
  for (int x = 0; x < w; ++x) {
    const int top = x == 5 ? 0 : 63 - (x / 2) / 2;
    for (int y = 0; y < 64; ++y)
      ASSERT_EQ(At(p, w, x, y), y >= top ? kTracePixel : kBackgroundPixel) << "column " << x << " row " << y;
    const int m1 = x == 6 ? 255 : 127 - x / 2;
    const int lowerTop = std::max(63, 127 - (m1 * 64 >> 7));
    for (int y = 65; y < h; ++y)
      ASSERT_EQ(At(p, w, x, y), y >= lowerTop ? kTracePixel : kBackgroundPixel) << "column " << x << " row " << y;
    ASSERT_EQ(At(p, w, x, 64), kTextPixel) << "the centre line";
  }
}

TEST_F(AllInOne, WaveformTracesEachChannelAroundItsBase) {
  VisRenderData data{};
  for (int i = 0; i < 512; ++i) {
    data.Waveform[0][i] = 64;
    data.Waveform[1][i] = -127;
  }
  Effect(1);
  const int w = 512, h = 128;  // q = 32, upper base 31, lower base 95
  const auto p = Render(w, h, data);
  for (int x = 0; x < w; ++x) {
    ASSERT_EQ(At(p, w, x, 15), kTracePixel) << x;          // 31 - 64 * 32 / 128
    ASSERT_EQ(At(p, w, x, 95 + 31), kTracePixel) << x;     // -127 * 32 / 128 truncates to -31
    ASSERT_EQ(At(p, w, x, 30), kBackgroundPixel) << x;
    ASSERT_EQ(At(p, w, x, 64), kTextPixel) << x;
  }
}

TEST_F(AllInOne, ClicksCycleThroughTheFiveEffects) {
  EXPECT_EQ(AllInOneCurrentEffect(), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(AllInOneClickedProc(5, 5, 1), 1);
  EXPECT_EQ(AllInOneCurrentEffect(), 1);
}

TEST_F(AllInOne, TheLastEffectIsKeptInTheHostsSettingsFile) {
  const std::string ini = folder / "vis.ini";
  WriteTextFile(ini, "[other]\nx=1\n[keldarallinone]\nlastusedeffect=7\n");
  AllInOneOpenSettingsProc(ini.c_str());
  EXPECT_EQ(AllInOneCurrentEffect(), 0) << "a stored 7 starts at 0";
  WriteTextFile(ini, "[other]\nx=1\n[KeldarAllInOne]\nlastusedeffect=3\n");
  AllInOneOpenSettingsProc(ini.c_str());
  EXPECT_EQ(AllInOneCurrentEffect(), 3);
  AllInOneClickedProc(0, 0, 1);
  EXPECT_EQ(AllInOneSaveSettingsProc(ini.c_str()), 1);
  AllInOneOpenSettingsProc((folder / "missing.ini").c_str());
  EXPECT_EQ(AllInOneCurrentEffect(), 0);
  AllInOneOpenSettingsProc(ini.c_str());
  EXPECT_EQ(AllInOneCurrentEffect(), 4);
  EXPECT_NE(ReadTextFile(ini).find("x=1"), std::string::npos) << "other plug-ins' sections stay";
}

TEST_F(AllInOne, ArtworkBesideTheSongIsDrawnFittedWithItsProportions) {
  WritePicture(folder / "Artist - Album.jpg", 200, 100, Qt::red);
  TNowPlayingValues values;
  values.FullPathAndFilename = folder / "song.mp3";
  values.ArtistName = "Artist";
  values.AlbumName = "Album";
  Publish(values);
  Effect(2);
  const int w = 256, h = 256;  // 200 x 100 scales by 1.28 to 256 x 128, 64 rows above and below
  const auto p = Render(w, h, VisRenderData{});
  auto red = [](uint32_t px) { return ((px >> 16) & 0xFF) > 200 && ((px >> 8) & 0xFF) < 40 && (px & 0xFF) < 40; };
  for (int x = 0; x < w; x += 15) {
    EXPECT_EQ(At(p, w, x, 10), 0u) << "black above the picture, column " << x;
    EXPECT_TRUE(red(At(p, w, x, 70))) << x;
    EXPECT_TRUE(red(At(p, w, x, 185))) << x;
    EXPECT_EQ(At(p, w, x, 200), 0u) << "black below, column " << x;
  }

  // A tall picture for the next item stands centred with black on both sides.
  WritePicture(folder / "Other - Tall.png", 100, 200, Qt::red);
  values.FullPathAndFilename = folder / "other.mp3";
  values.ArtistName = "Other";
  values.AlbumName = "Tall";
  Publish(values);
  const auto q = Render(w, h, VisRenderData{});
  EXPECT_EQ(At(q, w, 20, 128), 0u);
  EXPECT_TRUE(red(At(q, w, 128, 128)));
  EXPECT_TRUE(red(At(q, w, 128, 2)));
  EXPECT_EQ(At(q, w, 235, 128), 0u);

  // Effect 3 draws the spectrum over the picture without clearing it.
  Effect(3);
  const auto r = Render(w, h, VisRenderData{});
  EXPECT_TRUE(red(At(r, w, 128, 60)));
  EXPECT_EQ(At(r, w, 128, 127), kTracePixel) << "a silent spectrum still draws its base row";
  EXPECT_EQ(At(r, w, 128, 128), kTextPixel);
}

TEST_F(AllInOne, ACDTrackTakesItsArtworkFromThePlayersArtworkFolder) {
  std::filesystem::create_directories(folder / "program/cdartwork");
  WritePicture(folder / "program/cdartwork/Band - Disc.png", 50, 50, Qt::green);
  TNowPlayingValues values;
  values.ProgramPath = folder / "program/keldar3";
  values.FullPathAndFilename = "/dev/sr0/Track03.cda";
  values.ArtistName = "Band";
  values.AlbumName = "Disc";
  Publish(values);
  Effect(2);
  const auto p = Render(128, 128, VisRenderData{});
  const uint32_t centre = At(p, 128, 64, 64);
  EXPECT_GT((centre >> 8) & 0xFF, 200u);
  EXPECT_LT((centre >> 16) & 0xFF, 40u);
}

TEST_F(AllInOne, WithoutArtworkTheBackgroundCarriesTheNotice) {
  TNowPlayingValues values;
  values.FullPathAndFilename = folder / "lonely.mp3";
  values.ArtistName = "Nobody";
  values.AlbumName = "Nothing";
  Publish(values);
  Effect(4);
  const int w = 256, h = 256;
  VisRenderData data{};
  const auto p = Render(w, h, data);
  EXPECT_EQ(At(p, w, 200, 200), kBackgroundPixel);
  int textPixels = 0;
  for (int y = 10; y < 40; ++y)
    for (int x = 10; x < 220; ++x) textPixels += At(p, w, x, y) == kTextPixel;
  EXPECT_GT(textPixels, 100) << "\"No Artwork Available\" written at (10, 10)";
  int below = 0;
  for (int y = 45; y < 60; ++y)
    for (int x = 0; x < w; ++x) below += At(p, w, x, y) == kTextPixel;
  EXPECT_EQ(below, 0);
}

TEST_F(AllInOne, BrokenOrHugeArtworkDrawsNoPictureAndCostsNoMemory) {
  WriteTextFile(folder / "A - Broken.jpg", "this is no picture");
  // A PNG header claiming 60000 x 60000 pixels.
  const unsigned char header[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                  0, 0, 0xEA, 0x60, 0, 0, 0xEA, 0x60, 8, 6, 0, 0, 0, 0x80, 0xD2, 0x75, 0x42};
  WriteTextFile(folder / "A - Huge.png", std::string(reinterpret_cast<const char*>(header), sizeof header));
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  Effect(2);
  for (const char* album : {"Broken", "Huge"}) {
    TNowPlayingValues values;
    values.FullPathAndFilename = folder / (std::string(album) + ".mp3");
    values.ArtistName = "A";
    values.AlbumName = album;
    Publish(values);
    const auto p = Render(64, 64, VisRenderData{});
    EXPECT_EQ(At(p, 64, 32, 32), 0u) << album << ": found but not decodable leaves the frame black";
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 200 * 1024) << "kilobytes";
}

TEST_F(AllInOne, WithoutTheNowPlayingRecordNothingIsDrawn) {
  AllInOneDeinitProc();
  CloseApiSharedMemory();
  setenv("ZORVANEPLAYERAPI_RECORD", (recordName + "-absent").c_str(), 1);
  AllInOneInitializeProc();
  Effect(2);
  const auto p = Render(32, 32, VisRenderData{});
  for (uint32_t px : p) ASSERT_EQ(px, 0xDEADBEEFu);
  Effect(0);
  const auto q = Render(32, 32, VisRenderData{});
  for (uint32_t px : q) ASSERT_EQ(px, 0xDEADBEEFu);
}

}  // namespace
