// K-Jofol skins written by the tests (a description of our own and noise pictures)
// converted into our format, and loaded: masks, shapes, aliases and text settings.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <random>

#include "ConversionTestSupport.h"
#include "TestSupport.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "skin/KELDARSkinBitmapLayout.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/KELDARSkinTextSettings.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

namespace fs = std::filesystem;
using namespace convert_test;
using B = TKELDARSkinBitmap;

QImage NoisePicture(int w, int h, unsigned seed) {
  QImage img(w, h, QImage::Format_RGB888);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned v = rng();
      img.setPixel(x, y, qRgb(static_cast<int>(v & 0x7F) + 1, static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)));
    }
  return img;
}

class NullWindows : public IKELDARSkinWindows {
 public:
  void StoreStateAndHide() override {}
  void ApplyPlaylistText(const TKELDARSkinTextSettings&) override {}
  void ApplyLibraryText(const TKELDARSkinTextSettings&) override {}
  void Configure(const TKELDARSkinWindowSetup& s) override { Setups[static_cast<int>(s.Window)] = s; }
  void RestoreStateAndRepaint() override {}
  void SetShape(TKELDARSkinnedWindow w, const TKELDARSkinPolygons* p) override {
    Shapes[static_cast<int>(w)] = p ? *p : TKELDARSkinPolygons{};
  }
  TKELDARSkinWindowSetup Setups[6];
  TKELDARSkinPolygons Shapes[6];
};

const char* kDescription =
    "About Test skin\r\nAbout by us\r\nAbout 3\r\nAbout 4\r\nAbout 5\r\nAbout 6\r\nAbout 7\r\nAbout 8\r\n"
    "BackgroundImage main.bmp\r\n"
    "BackgroundImagePressed1 Pressed1.BMP\r\n"
    "BackgroundImagePressed2 pressed2.bmp\r\n"
    "FontImage font.bmp\r\nFontSize 6 8\r\nFontTransparent 0\r\n"
    "TimeFontImage time.bmp\r\nTimeFontSize 10 16\r\n"
    "VolumeControlType Nonbmp\r\nVolumeControlImage knob.bmp\r\nVolumeControlButton 200 100 239 110 Volume\r\n"
    "SeekImage seek.bmp\r\nSeekRegion 20 150 219 159\r\n"
    "playbutton 10 20 32 40 Play bmp2\r\n"
    "StopButton  50 20 72 40 Stop BMP1\r\n"
    "PauseButton 80 20 102 40 Pause BMP3\r\n"
    "EqualizerOnButton 250 20 270 30 EQ BMP1\r\n"
    "EqualizerWindow 100 130 113 145 0 0 18\r\n"
    "EqualizerBmp 14 20 eq.bmp\r\n"
    "FilenameWindow 20 60 180 67\r\nMP3KbpsWindow 20 70 60 77\r\nMP3KhzWindow 70 70 90 77\r\n"
    "MP3TimeWindow 200 60 249 75\r\nAnalyzerWindow 200 20 239 39 x\r\nAnalyzerColor 255 128 0\r\n"
    "PlaylistBmp playlist.bmp\r\nPlaylistBmpPressed playlistp.bmp\r\n"
    "PlaylistWindowText 10 20 199 249\r\n"
    "PlaylistWindowFontName Comic Sans MS\r\nPlaylistWindowFontSize 11\r\nPlaylistWindowFontYSpacing 13\r\n"
    "PlaylistWindowCloseButton 230 2 240 12\r\n"
    "PlaylistWindowAddButton 20 260 49 279\r\n"
    "PlaylistWindowColor 1 2 3\r\nPlaylistWindowCurrentTrackColor 255 255 255\r\n"
    "PlaylistWindowCurrentSelectionColor 16 32 48\r\n";

class KjofolConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(program.Path());
    fs::create_directories(skin);
    fs::create_directories(out);
    main = NoisePicture(300, 200, 1);
    // Magenta corners: the window's shape leaves them out.
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) main.setPixel(x, y, qRgb(255, 0, 255));
    Save("main.bmp", main);
    Save("pressed1.bmp", pressed1 = NoisePicture(300, 200, 2));
    Save("PRESSED2.BMP", pressed2 = NoisePicture(300, 200, 3));
    Save("font.bmp", font = NoisePicture(31 * 6, 3 * 8, 4));
    Save("time.bmp", time = NoisePicture(12 * 10, 16, 5));
    Save("knob.bmp", knob = NoisePicture(10, 8, 6));
    QImage seek(300, 200, QImage::Format_RGB888);
    seek.fill(Qt::black);
    for (int x = 20; x < 220; ++x)
      for (int y = 150; y < 160; ++y) seek.setPixel(x, y, qRgb((x - 20), (x - 20), (x - 20)));
    Save("seek.bmp", seek);
    Save("eq.bmp", eq = NoisePicture(14 * 20, 16, 7));
    Save("playlist.bmp", playlist = NoisePicture(250, 300, 8));
    Save("playlistp.bmp", playlistPressed = NoisePicture(250, 300, 9));
    WriteTextFile(skin + "/myskin.rc", kDescription);
    ResetKELDARSkinStatesAliases();
  }
  void Save(const std::string& name, const QImage& img) {
    ASSERT_TRUE(img.save(QString::fromStdString(skin + "/" + name), "BMP"));
  }
  QImage Out(B b) const { return Bmp(out + "/" + KELDARSkinBitmapFileName(b)); }
  MultimediaSkinStructure Table() const { return ConvertedTable(out, TKELDARSkinFamily::Kjofol); }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  std::string skin = program / "skins/kj";
  std::string out = program / "converted";
  QImage main, pressed1, pressed2, font, time, knob, eq, playlist, playlistPressed;
};

TEST_F(KjofolConversion, CommandsPlaceTheControls) {
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const MultimediaSkinStructure t = Table();
  EXPECT_EQ(t[DeckForm_MainImage].Control_Width, 300);
  const auto& play = t[DeckForm_PlayButton];
  EXPECT_TRUE(play.Control_Enabled);
  EXPECT_EQ(play.Control_Left, 10);
  EXPECT_EQ(play.Control_Width, 23);
  EXPECT_EQ(play.Control_Height, 21);
  EXPECT_FALSE(t[DeckForm_StopButton].Control_Enabled);  // two blanks after the keyword
  for (int k = 0; k < 10; ++k) {
    const auto& band = t[static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * k)];
    EXPECT_EQ(band.Control_Left, 100 + 18 * k);
    EXPECT_EQ(band.Control_Top, 130);
    EXPECT_EQ(band.Control_Width, 14);
    EXPECT_EQ(band.Control_NumberOfImages, 20);
    EXPECT_EQ(band.Control_Height, 16);  // the strip's height
    EXPECT_TRUE(band.Control_Enabled);
  }
  EXPECT_EQ(t[EqualizerForm_EQBand10Image].Control_Left, 262);
  // The band pictures, one pixel apart in our strip.
  const TSkinPixelPoint f5 = SliderStripFramePosition(EqualizerForm_EQBand1Image, 5, t);
  EXPECT_TRUE(SameRect(Out(B::EqualizerBandBar), f5.X, f5.Y, eq, 5 * 14, 0, 14, 16));
  EXPECT_EQ(t[DeckForm_KbpsTextWindow].Control_Width, 18);
  EXPECT_EQ(t[DeckForm_KHzTextWindow].Control_Width, 12);
  EXPECT_EQ(t[DeckForm_FontSmall].Control_Width, 6);
  EXPECT_EQ(t[EqualizerForm_EQGraphicsLeftCanvas].Control_Width, 40);
  EXPECT_TRUE(t[EqualizerForm_EQFFT128VisualEffects].Control_Enabled);
  EXPECT_TRUE(t[DeckForm_PosBarImage].Control_Enabled);
  EXPECT_EQ(t[DeckForm_PosBarImage].Control_NumberOfImages, 1);
  // The playlist frame sized around the list.
  EXPECT_EQ(t[PlayListEditorForm_PLMainImage].Control_Width, 250);
  EXPECT_EQ(t[PlayListEditorForm_PLTitleBarLeftImage].Control_Height, 20);
  EXPECT_EQ(t[PlayListEditorForm_PLVerticalLeftImage].Control_Width, 10);
  EXPECT_EQ(t[PlayListEditorForm_PLVerticalRightImage].Control_Width, 50);
  EXPECT_EQ(t[PlayListEditorForm_PLBottomLeftImage].Control_Height, 50);
  EXPECT_EQ(t[PlayListEditorForm_PLTitleBarMainImage].Control_Width, 95);
  EXPECT_FALSE(t[PlayListEditorForm_PLScrollImage].Control_Enabled);
}

TEST_F(KjofolConversion, PressedPicturesAndButtonAliases) {
  ConvertKjofolSkinToKELDARSkin(skin, out);
  // NOTActive, Active, Pressed1, Pressed2 <- background, pressed 1, pressed 2, pressed 3
  // (missing: the background).
  EXPECT_TRUE(SameRect(Out(B::DeckNotActive), 0, 0, main, 0, 0, 300, 200));
  EXPECT_TRUE(SameRect(Out(B::DeckActive), 0, 0, pressed1, 0, 0, 300, 200));
  EXPECT_TRUE(SameRect(Out(B::DeckPressed1), 0, 0, pressed2, 0, 0, 300, 200));
  EXPECT_TRUE(SameRect(Out(B::DeckPressed2), 0, 0, main, 0, 0, 300, 200));
  EXPECT_TRUE(SameRect(Out(B::EqualizerPressed1), 0, 0, pressed2, 0, 0, 300, 200));
  const auto aliases = [](KELDARSkinControls_IDs id) { return MultimediaSkin()[id].Control_BitmapsStatesAliases; };
  // BMP2: lit and pressed states from the second pressed picture.
  EXPECT_EQ(aliases(DeckForm_PlayButton),
            (Control_States_Alias_Array{bpNOTActiveBitmap, bpPressed1Bitmap, bpPressed1Bitmap, bpPressed1Bitmap}));
  EXPECT_EQ(aliases(DeckForm_PauseButton),
            (Control_States_Alias_Array{bpNOTActiveBitmap, bpPressed2Bitmap, bpPressed2Bitmap, bpPressed2Bitmap}));
  EXPECT_EQ(aliases(EqualizerForm_EQOnButton),
            (Control_States_Alias_Array{bpNOTActiveBitmap, bpActiveBitmap, bpActiveBitmap, bpActiveBitmap}));
  EXPECT_EQ(aliases(PlayListEditorForm_PLCloseWindowButton), IdentityControlStatesAliases);
  EXPECT_EQ(LoadedKELDARSkin().AnalyzerColour, 0x0080FFu);
  EXPECT_TRUE(LoadedKELDARSkin().UsesMasks);
}

TEST_F(KjofolConversion, VolumeRampFontsAndPlaylistPictures) {
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const MultimediaSkinStructure t = Table();
  // A 40-pixel volume rectangle and a 10-pixel knob: 32 frames of 40.
  const QImage strip = Out(B::DeckVolumeBar);
  ASSERT_EQ(strip.width(), 1280);
  EXPECT_EQ(strip.height(), 8);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_NumberOfImages, 32);
  EXPECT_TRUE(SameRect(strip, 0, 0, knob, 0, 0, 10, 8));
  EXPECT_TRUE(SameRect(strip, 1270, 0, knob, 0, 0, 10, 8));
  EXPECT_TRUE(SameRect(strip, 40 * 16 + 15, 0, knob, 0, 0, 10, 8));  // round(16*30/31) = 15
  EXPECT_EQ(strip.pixel(1269, 0) & 0xFFFFFF, 0xFF00FFu);
  const QImage mask = Out(B::DeckVolumeBarMask);
  ASSERT_EQ(mask.size(), QSize(300, 200));
  EXPECT_EQ(mask.pixel(199, 100) & 0xFFFFFF, 0x1E140Au);
  EXPECT_EQ(mask.pixel(200, 100) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(mask.pixel(239, 110) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(qRed(mask.pixel(219, 105)), 124);
  EXPECT_EQ(qRed(mask.pixel(220, 105)), 131);  // 130.77 rounds up
  EXPECT_EQ(mask.pixel(240, 105) & 0xFFFFFF, 0x1E140Au);
  EXPECT_TRUE(SameRect(Out(B::DeckPositionBarMask), 0, 0, Bmp(skin + "/seek.bmp"), 0, 0, 300, 200));
  EXPECT_TRUE(SameRect(Out(B::DeckPositionBar), 0, 0, pressed1, 0, 0, 300, 200));

  const QImage small = Out(B::DeckFontSmall);
  ASSERT_EQ(small.size(), QSize(34 * 6, 5 * 8));
  EXPECT_TRUE(SameRect(small, 2 * 6, 8, font, 12, 0, 6, 8));       // 'C'
  EXPECT_TRUE(SameRect(small, 2 * 6, 24, font, 12, 0, 6, 8));      // 'c'
  EXPECT_TRUE(SameRect(small, 16 * 6, 0, font, 0, 8, 6, 8));       // '0'
  EXPECT_TRUE(SameRect(small, 26 * 6, 0, font, 12 * 6, 8, 6, 8));  // ':'
  EXPECT_TRUE(SameRect(small, 0, 0, font, 30 * 6, 0, 6, 8));       // blank
  EXPECT_TRUE(SameRect(small, 31 * 6, 0, font, 3 * 6, 16, 6, 8));  // '?'
  const QImage digits = Out(B::DeckNumbers);
  EXPECT_TRUE(SameRect(digits, 40, 0, time, 40, 0, 10, 16));
  EXPECT_TRUE(SameRect(digits, 130, 0, time, 100, 0, 10, 16));  // colon
  EXPECT_TRUE(SameRect(digits, 110, 0, time, 110, 0, 10, 16));

  const QImage sheet = Out(B::PlaylistBackground);
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, t);
  EXPECT_TRUE(SameRect(sheet, l.TitleMainX, l.RowA, playlist, 10, 0, 95, 20));
  EXPECT_TRUE(SameRect(sheet, l.TitleRightX, l.RowB, playlist, 200, 0, 50, 20));
  EXPECT_TRUE(SameRect(sheet, l.VerticalRightX, l.RowC, playlist, 200, 20, 50, 230));
  EXPECT_TRUE(SameRect(sheet, l.BottomExtraX, l.RowD, playlist, 10, 250, 190, 50));
  EXPECT_TRUE(SameRect(sheet, l.WindowButtonX[0], l.RowA, playlist, 230, 2, 11, 11));
  EXPECT_TRUE(SameRect(sheet, l.WindowButtonX[0], l.RowA + 12, playlistPressed, 230, 2, 11, 11));
  EXPECT_TRUE(SameRect(sheet, l.PanelX[2][0], l.RowH, playlist, 20, 260, 30, 20));
  EXPECT_TRUE(SameRect(sheet, l.PanelX[2][0] + 31, l.RowH, playlistPressed, 20, 260, 30, 20));
  EXPECT_TRUE(SameRect(Out(B::PlaylistListBoxImage), 0, 0, playlistPressed, 10, 20, 190, 230));
}

TEST_F(KjofolConversion, TextSettingsAndReadme) {
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const std::string deck = ReadTextFile(out + "/Deck_Text.ini");
  EXPECT_NE(deck.find("Normal=#010203"), std::string::npos);
  EXPECT_NE(deck.find("Font=COMIC\r\n"), std::string::npos);
  EXPECT_NE(deck.find("FontHeight=-8"), std::string::npos);
  const TKELDARSkinTextSettings list = ParseKELDARSkinTextSettings(ReadTextFile(out + "/Playlist_Text.ini"));
  EXPECT_EQ(list.Current, 0x00FFFFFFu);
  EXPECT_EQ(list.SelectedBG, 0x00302010u);
  const QRgb bg = playlist.pixel(15, 25);
  EXPECT_EQ(list.NormalBG, static_cast<std::uint32_t>(qRed(bg) | (qGreen(bg) << 8) | (qBlue(bg) << 16)));
  EXPECT_EQ(list.ItemHeight, 13);
  EXPECT_TRUE(list.BitmapEnabled);
  EXPECT_NE(ReadTextFile(out + "/Playlist_Text.ini").find("FontHeight=-11"), std::string::npos);
  EXPECT_EQ(ReadTextFile(out + "/DB_Text.ini").find("BitmapEnabled"), std::string::npos);
  EXPECT_EQ(ReadTextFile(out + "/readme.txt"), "TEST SKIN\r\nBY US\r\n3\r\n4\r\n5\r\n6\r\n");
}

TEST_F(KjofolConversion, BmpVolumeAndAMissingDescription) {
  WriteTextFile(skin + "/myskin.rc",
                "VolumeControlType BMP\r\nVolumeControlImage volstrip.bmp\r\nVolumeControlImagePosition volmask.bmp\r\n"
                "VolumeControlImageXSize 30\r\nVolumeControlImageNb 5\r\nVolumeControlButton 10 10 49 19 v\r\n"
                "BackgroundImage main.bmp\r\n");
  Save("volstrip.bmp", NoisePicture(150, 12, 10));
  Save("volmask.bmp", NoisePicture(300, 200, 11));
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const MultimediaSkinStructure t = Table();
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_Width, 30);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_Height, 12);
  EXPECT_EQ(t[DeckForm_VolumeImage].Control_NumberOfImages, 5);
  EXPECT_TRUE(SameRect(Out(B::DeckVolumeBar), 0, 0, Bmp(skin + "/volstrip.bmp"), 0, 0, 150, 12));

  fs::remove(skin + "/myskin.rc");
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const MultimediaSkinStructure none = Table();
  EXPECT_FALSE(none[DeckForm_PlayButton].Control_Enabled);
  EXPECT_TRUE(none[DeckForm_MainImage].Control_Enabled);
  EXPECT_TRUE(fs::exists(out + "/Deck_VolumeBarMask.bmp"));
}

TEST_F(KjofolConversion, HostileDescriptionsAndPicturesStillGiveASkin) {
  WriteTextFile(skin + "/myskin.rc",
                "BackgroundImage empty.bmp\r\nFontImage font.bmp\r\nFontSize 99999999 99999999\r\n"
                "TimeFontSize -5 -5\r\nEqualizerWindow -999999999 5 999999999 9 0 0 999999999\r\n"
                "EqualizerBmp 999999 999999 eq.bmp\r\nPlaylistBmp playlist.bmp\r\n"
                "PlaylistWindowText 999999999 999999999 -999999999 5\r\nVolumeControlButton 0 0 999999999 3 v\r\n"
                "VolumeControlImage knob.bmp\r\nPlayButton 1 1 2 2 x BMP9\r\nIncludeRCFile myskin.rc\r\n");
  WriteTextFile(skin + "/empty.bmp", "");
  ConvertKjofolSkinToKELDARSkin(skin, out);
  const MultimediaSkinStructure t = Table();
  EXPECT_LE(t[EqualizerForm_EQBand10Image].Control_Left, KELDARSkinDefinitionMaxMagnitude);
  EXPECT_EQ(MultimediaSkin()[DeckForm_PlayButton].Control_BitmapsStatesAliases, IdentityControlStatesAliases);
  EXPECT_TRUE(fs::exists(out + "/keldarskin.ini"));
}

TEST_F(KjofolConversion, LoadedWithMasksShapesAnalyzerColourAndOpaqueDisplays) {
  SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  Options_SongTitleWindowTextEffect.IntegerValue = 2;
  NullWindows windows;
  EXPECT_EQ(LoadKELDARSkin(skin + "/myskin.rc", windows, true), "kj/myskin.rc");
  const TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  EXPECT_EQ(loaded.Kind, skKjofolFolder);
  EXPECT_TRUE(loaded.UsesMasks);
  EXPECT_FALSE(loaded.Bitmap(B::DeckVolumeBarMask).isNull());
  EXPECT_EQ(Options_SongTitleWindowTextEffect.IntegerValue, 0);
  ASSERT_FALSE(loaded.SpectrumColours1.empty());
  for (std::uint32_t c : loaded.SpectrumColours1) EXPECT_EQ(c, 0x0080FFu);
  for (std::uint32_t c : loaded.SpectrumColours2) EXPECT_EQ(c, 0x0080FFu);
  EXPECT_EQ(loaded.Family.TitleFormat, "%08");
  // The deck's shape leaves out the magenta corner: row 0 starts at x 4.
  const TKELDARSkinPolygons& deck = windows.Shapes[static_cast<int>(TKELDARSkinnedWindow::Deck)];
  ASSERT_FALSE(deck.Counts.empty());
  EXPECT_EQ(deck.Coordinates[0], 4);
  EXPECT_EQ(deck.Coordinates[1], 0);
  EXPECT_EQ(deck.Coordinates[2], 300);
  EXPECT_FALSE(windows.Shapes[static_cast<int>(TKELDARSkinnedWindow::Playlist)].Counts.empty());
  EXPECT_EQ(windows.Setups[static_cast<int>(TKELDARSkinnedWindow::Playlist)].Content.Left, 10);
  EXPECT_EQ(windows.Setups[static_cast<int>(TKELDARSkinnedWindow::Playlist)].Content.Width, 190);
  EXPECT_FALSE(windows.Setups[static_cast<int>(TKELDARSkinnedWindow::Playlist)].Resizable);
  // "FontTransparent 0": opaque text displays, transparent time displays.
  ResetKELDARSkinDisplayState(MultimediaSkin(), loaded);
  for (KELDARSkinControls_IDs id : KELDARSkinFlaggedDisplays) {
    const bool time = id == DeckForm_SongCurrectPlayingTimeWindow || id == DeckForm_SongTotalTimeWindow;
    EXPECT_EQ(KELDARSkinDisplayTransparent(id), time) << id;
  }
  EXPECT_TRUE(ReadMessageLog(log.Path()).empty());
  // The scratch folder keeps nothing of the conversion.
  for (const auto& entry : fs::directory_iterator(KELDARSkinScratchFolder())) EXPECT_FALSE(entry.is_regular_file());
  SetKELDARSkinConverters({}, {});
}

}  // namespace
