// Skin loading against a recording fake of the skinned windows, with skins written at test
// time into a temporary program folder.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBitmapLoading.h"
#include "skin/KELDARSkinDefinitionFile.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace {

class TRecordingWindows : public IKELDARSkinWindows {
 public:
  void StoreStateAndHide() override { ++Stored; }
  void ApplyPlaylistText(const TKELDARSkinTextSettings& t) override { Playlist = t; }
  void ApplyLibraryText(const TKELDARSkinTextSettings& t) override { Library = t; }
  void Configure(const TKELDARSkinWindowSetup& s) override { Setups[static_cast<int>(s.Window)] = s; }
  void RestoreStateAndRepaint() override { ++Restored; }
  void SetShape(TKELDARSkinnedWindow w, const TKELDARSkinPolygons* p) override {
    Shapes[static_cast<int>(w)] = p ? *p : TKELDARSkinPolygons{};
    Shaped[static_cast<int>(w)] = p != nullptr;
  }
  int Stored = 0, Restored = 0;
  TKELDARSkinTextSettings Playlist, Library;
  TKELDARSkinWindowSetup Setups[6];
  TKELDARSkinPolygons Shapes[6];
  bool Shaped[6] = {};
};

const std::string kCorrupted = "The selected skin is CORRUPTED.\nPress OK to Load the Default Skin....";

class SkinLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(program.Path());
    std::filesystem::create_directories(program / "skins");
    Options_RedColorEnhancement.IntegerValue = 0;
    Options_GreenColorEnhancement.IntegerValue = 0;
    Options_BlueColorEnhancement.IntegerValue = 0;
  }
  std::string MakeSkin(const std::string& name, bool withDefinition) {
    const std::string dir = program / ("skins/" + name);
    std::filesystem::create_directories(dir);
    if (withDefinition) WriteTextFile(dir + "/keldarskin.ini", BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own));
    return dir + "/";
  }
  std::vector<TMessage> Messages() { return ReadMessageLog(log.Path()); }
  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  TRecordingWindows windows;
};

TEST_F(SkinLoading, KindsAndRememberedNames) {
  const std::string s = KELDARSkinsFolder();
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "a.KsK"), skKeldarPackage);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "a.wsz"), skWinampPackage);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "main.bmp.Zip"), skKjofolPackage);  // never Winamp
  EXPECT_EQ(DetectKELDARSkinPackageKind("Default"), skKeldarFolder);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "Cool/KELDARSKIN.INI"), skKeldarFolder);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "k/skin.rc"), skKjofolFolder);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "old/Main.bmp"), skWinampFolder);
  EXPECT_EQ(DetectKELDARSkinPackageKind(s + "what/ever.txt"), skUnknown);
  EXPECT_EQ(KELDARSkinRememberedName(s + "Cool/keldarskin.ini", skKeldarFolder), "Cool/keldarskin.ini");
  EXPECT_EQ(KELDARSkinRememberedName(s + "old/MAIN.BMP", skWinampFolder), "old/MAIN.BMP");
  EXPECT_EQ(KELDARSkinRememberedName(s + "x.wsz", skWinampPackage), "x.wsz");
  EXPECT_EQ(KELDARSkinRememberedName(s + "k/a.rc", skKjofolFolder), "k/a.rc");
  EXPECT_EQ(KELDARSkinRememberedName("Default", skKeldarFolder), "Default");
  EXPECT_EQ(KELDARSkinFullName("Cool/keldarskin.ini"), s + "Cool/keldarskin.ini");
  EXPECT_EQ(KELDARSkinFullName("Default"), "Default");
}

TEST_F(SkinLoading, DefaultLoadsTheBuiltInSkinAndConfiguresEveryWindow) {
  EXPECT_EQ(LoadKELDARSkin("Default", windows, true), "Default");
  const auto& skin = LoadedKELDARSkin();
  EXPECT_TRUE(skin.Ready);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckNotActive).size(), QSize(300, 130));
  EXPECT_TRUE(skin.Bitmap(TKELDARSkinBitmap::DeckVolumeBarMask).isNull());
  // Held in the windows' own format: painting copies the pixels without converting them.
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckFontSmall).format(), QImage::Format_RGB32);
  EXPECT_EQ(skin.DeckText.FontHeight, -11);
  EXPECT_EQ(skin.LibraryText.Headers, 0x00D4D0C8u);
  EXPECT_EQ(windows.Playlist.NormalBG, 0x00FFA54Au);
  EXPECT_EQ(skin.SpectrumColours1.size(), 37u);
  EXPECT_FALSE(skin.AboutText.empty());
  const auto& pl = windows.Setups[static_cast<int>(TKELDARSkinnedWindow::Playlist)];
  EXPECT_TRUE(pl.Resizable);
  EXPECT_EQ(pl.ResizeStepX, 25);
  EXPECT_EQ(pl.ResizeStepY, 26);
  EXPECT_EQ(pl.Content.Left, 25);
  EXPECT_EQ(pl.Content.Top, 20);
  EXPECT_EQ(pl.Content.Width, 250);
  EXPECT_EQ(pl.Content.Height, 130 - 20 - 32);
  EXPECT_EQ(pl.List.Width, 270);
  EXPECT_EQ(windows.Setups[0].ClientWidth, 300);
  EXPECT_FALSE(windows.Setups[0].Resizable);
  EXPECT_EQ(skin.Family.ArtistFormat, "%02");
  for (bool shaped : windows.Shaped) EXPECT_FALSE(shaped);  // the built-in regions are commented out
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Default");
}

TEST_F(SkinLoading, FolderWithoutDefinitionIsCorruptedAndLoadsDefault) {
  const std::string dir = MakeSkin("Broken", false);
  QImage(300, 130, QImage::Format_RGB888).save(QString::fromStdString(dir + "Deck_BackgroundImageNOTActive.bmp"));
  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Default");
  const auto m = Messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Text, kCorrupted);
  EXPECT_EQ(m[0].Icon, TMessageIcon::Error);
  EXPECT_FALSE(LoadedKELDARSkin().ReadFromFolder);
}

TEST_F(SkinLoading, DefinitionOnlyUsesItsGeometryWithBuiltInBitmaps) {
  const std::string dir = MakeSkin("Geo", false);
  std::string def = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own);
  const std::string from = "DeckForm_MainImage=1,True,False,4,0,0,300,130";
  def.replace(def.find(from), from.size(), "DeckForm_MainImage=1,True,False,4,0,0,320,140");
  WriteTextFile(dir + "keldarskin.ini", def);
  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Geo/keldarskin.ini");
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(windows.Setups[0].ClientWidth, 320);
  EXPECT_EQ(windows.Setups[0].ClientHeight, 140);
  EXPECT_EQ(LoadedKELDARSkin().Bitmap(TKELDARSkinBitmap::DeckNotActive).size(), QSize(300, 130));
  EXPECT_EQ(LoadedKELDARSkin().PlaylistText.NormalBG, 0x00FFA54Au);  // missing file: code defaults
}

TEST_F(SkinLoading, UnreadableDefinitionLineFallsBackToDefault) {
  const std::string dir = MakeSkin("Bad", false);
  std::string def = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own);
  const std::string from = "DeckForm_MainImage=1,True,";
  def.replace(def.find(from), from.size(), "DeckForm_MainImage=1, True,");
  WriteTextFile(dir + "keldarskin.ini", def);
  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Default");
  EXPECT_EQ(windows.Setups[0].ClientWidth, 300);
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Default");

  // A parent beyond the table breaks the skin; an absurd width is clamped by the reader and
  // the load allocates nothing by geometry.
  const std::string good = "DeckForm_MainImage=1,True,False,4,0,0,300,130";
  std::string text = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own);
  text.replace(text.find(good), good.size(), "DeckForm_MainImage=200,True,False,4,0,0,300,130");
  WriteTextFile(dir + "keldarskin.ini", text);
  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Default");
  EXPECT_EQ(windows.Setups[0].ClientWidth, 300);
  text = BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own);
  text.replace(text.find(good), good.size(), "DeckForm_MainImage=1,True,False,4,0,0,9999999,130");
  WriteTextFile(dir + "keldarskin.ini", text);
  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Bad/keldarskin.ini");
  EXPECT_EQ(windows.Setups[0].ClientWidth, KELDARSkinDefinitionMaxMagnitude);
  EXPECT_EQ(LoadedKELDARSkin().Bitmap(TKELDARSkinBitmap::DeckNotActive).size(), QSize(300, 130));
}

TEST_F(SkinLoading, StartupLoaderStoresStateOnlyFromTheSecondLoad) {
  auto load = KELDARSkinStartupLoader(windows);
  EXPECT_TRUE(load("Default"));
  EXPECT_EQ(windows.Stored, 0);
  EXPECT_TRUE(load(program / "skins/missing/keldarskin.ini"));
  EXPECT_EQ(windows.Stored, 1);
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Default");
}

TEST_F(SkinLoading, BrokenBitmapsFallBackOneByOne) {
  const std::string dir = MakeSkin("Bitmaps", true);
  QImage own(300, 130, QImage::Format_RGB888);
  own.fill(QColor(10, 200, 30));
  own.save(QString::fromStdString(dir + "Deck_BackgroundImageActive.bmp"));
  WriteTextFile(dir + "Deck_BackgroundImageNOTActive.bmp", "");  // zero-sized
  QImage big(64, 64, QImage::Format_RGB888);
  big.fill(Qt::red);
  big.save(QString::fromStdString(dir + "Deck_VolumeBar.bmp"));
  std::string truncated = ReadTextFile(dir + "Deck_VolumeBar.bmp").substr(0, 80);
  WriteTextFile(dir + "Deck_VolumeBar.bmp", truncated);
  // A header claiming 30000 x 30000 pixels and no pixel data behind it.
  std::string header = ReadTextFile(dir + "Deck_BackgroundImageActive.bmp").substr(0, 54);
  const auto put32 = [&header](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put32(18, 30000);
  put32(22, 30000);
  WriteTextFile(dir + "Deck_BalanceBar.bmp", header);
  EXPECT_TRUE(ReadKELDARSkinBitmapFile(dir + "Deck_BalanceBar.bmp").isNull());

  EXPECT_EQ(LoadKELDARSkin(dir + "keldarskin.ini", windows, true), "Bitmaps/keldarskin.ini");
  const auto& skin = LoadedKELDARSkin();
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckActive).pixelColor(5, 5), QColor(10, 200, 30));
  const auto builtIn = [](TKELDARSkinBitmap b) {
    return LoadKELDARSkinBitmap("", KELDARSkinBitmapFileName(b), false, {});
  };
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckNotActive), builtIn(TKELDARSkinBitmap::DeckNotActive));
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckVolumeBar), builtIn(TKELDARSkinBitmap::DeckVolumeBar));
  EXPECT_EQ(skin.Bitmap(TKELDARSkinBitmap::DeckBalanceBar), builtIn(TKELDARSkinBitmap::DeckBalanceBar));
}

TEST_F(SkinLoading, ColourEnhancementSparesTheKeyColour) {
  QImage img(4, 2, QImage::Format_RGB888);
  img.fill(QColor(1, 2, 3));                 // key: bottom-left
  img.setPixelColor(1, 0, QColor(100, 50, 25));
  img.setPixelColor(2, 1, QColor(250, 0, 0));
  QImage same = img;
  ApplyKELDARColorEnhancement(same, {0, 0, 0});
  EXPECT_EQ(same, img);
  ApplyKELDARColorEnhancement(img, {255, -30, 0});
  EXPECT_EQ(img.pixelColor(1, 0), QColor(255, 20, 25));
  EXPECT_EQ(img.pixelColor(2, 1), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(0, 0), QColor(1, 2, 3));
  EXPECT_EQ(img.pixelColor(0, 1), QColor(1, 2, 3));

  Options_RedColorEnhancement.IntegerValue = 255;
  LoadKELDARSkin("Default", windows, true);
  const QImage& deck = LoadedKELDARSkin().Bitmap(TKELDARSkinBitmap::DeckNotActive);
  const QColor key = deck.pixelColor(0, deck.height() - 1);
  for (int y = 0; y < deck.height(); y += 7)
    for (int x = 0; x < deck.width(); x += 7)
      if (deck.pixelColor(x, y) != key) {
        ASSERT_EQ(deck.pixelColor(x, y).red(), 255);
      }
}

TEST_F(SkinLoading, TextSettingsDefaultsAndBadValues) {
  auto t = ParseKELDARSkinTextSettings("[TEXT]\nheaders=#000000\nSelectedBG=#102030\nNormal=blue\nNormalBG=#12345\n"
                                       "FontHeight=-4\nFontStyle=FSBOLD,fsstrikeout\nItemHeight=abc\nBitmapEnabled=True\n");
  EXPECT_EQ(t.SelectedBG, 0x00302010u);
  EXPECT_EQ(t.Headers, t.SelectedBG);
  EXPECT_EQ(t.Normal, 0x00FF0000u);
  EXPECT_EQ(t.NormalBG, 0x00FFA54Au);
  EXPECT_EQ(t.FontHeight, -12);
  EXPECT_TRUE(t.FontStyle.Bold);
  EXPECT_TRUE(t.FontStyle.StrikeOut);
  EXPECT_FALSE(t.FontStyle.Italic);
  EXPECT_EQ(t.ItemHeight, 16);
  EXPECT_TRUE(t.BitmapEnabled);
  EXPECT_FALSE(ParseKELDARSkinTextSettings("").FontStyle.Bold);
  // Booleans in the definition files' forms: any number but 0 is true, words in any case.
  const auto flags = [](const std::string& value) {
    auto s = ParseKELDARSkinTextSettings("[TEXT]\nBitmapEnabled=" + value + "\nBitmapFontEnabled=" + value + "\n");
    EXPECT_EQ(s.BitmapEnabled, s.BitmapFontEnabled) << value;
    return s.BitmapEnabled;
  };
  for (const char* yes : {"2", "-1", " 17 ", "TRUE", "tRuE", "1"}) EXPECT_TRUE(flags(yes)) << yes;
  for (const char* no : {"0", "FALSE", "False", "00"}) EXPECT_FALSE(flags(no)) << no;
}

TEST_F(SkinLoading, RegionsShapeWindowsAndSurviveBadCounts) {
  const std::string dir = MakeSkin("Shaped", true);
  WriteTextFile(dir + "Regions_Text.ini",
                "//[EqualizerForm]\n//PolygonPointsNumber=4\n"
                "[DeckForm]\nPolygonPointsNumber=8\n"
                "PolygonPoints=0,0 ,300,0, 300,130, 245,130, 245,128, 55,128, 55,130, 0,130\n"
                "[PlayListEditorForm]\nPolygonPointsNumber=8\nPolygonPoints=\n"
                "[VisualsScreenForm]\nPolygonPointsNumber=3, -5, x\nPolygonPoints=1,2,3,4,5,6,7,8,9,10,11,12,13\n"
                "[CDDatabaseForm]\nPolygonPointsNumber=999999999\nPolygonPoints=1,2\n");
  LoadKELDARSkin(dir + "keldarskin.ini", windows, true);
  EXPECT_TRUE(windows.Shaped[0]);
  ASSERT_EQ(windows.Shapes[0].Coordinates.size(), 16u);
  EXPECT_EQ(windows.Shapes[0].Coordinates[4], 300);
  EXPECT_EQ(windows.Shapes[0].Coordinates[15], 130);
  EXPECT_FALSE(windows.Shaped[1]);
  EXPECT_FALSE(windows.Shaped[2]);  // empty points: stays rectangular
  ASSERT_TRUE(windows.Shaped[3]);
  EXPECT_EQ(windows.Shapes[3].Counts, (std::vector<std::int32_t>{3, 0, 0}));
  EXPECT_EQ(windows.Shapes[3].Coordinates, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_FALSE(windows.Shaped[4]);  // absurd count refused
  const auto more = ParseKELDARSkinPolygons({"2", "1 2,3"});
  EXPECT_EQ(more.Coordinates, (std::vector<std::int32_t>{1, 2, 3, 0}));
}

TEST_F(SkinLoading, PackagesAndConvertedKindsWithoutHelpersLoadDefault) {
  WriteTextFile(program / "skins/x.ksk", "not an archive");
  SetKELDARSkinPackageExtractor({});
  EXPECT_EQ(LoadKELDARSkin(program / "skins/x.ksk", windows, true), "Default");
  auto m = Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Text, "Zorvane Audio Player detected an internal error. \nPlease try to LOAD the Skin again.");
  EXPECT_EQ(m[1].Text, kCorrupted);

  // A package the hook unpacks into an own folder is loaded from the scratch folder, which is
  // emptied afterwards.
  SetKELDARSkinPackageExtractor([](const std::string&, const std::string& target) {
    WriteTextFile(target + "keldarskin.ini", BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own));
    return true;
  });
  EXPECT_EQ(LoadKELDARSkin(program / "skins/x.ksk", windows, true), "x.ksk");
  EXPECT_TRUE(std::filesystem::is_empty(KELDARSkinScratchFolder()));
  SetKELDARSkinPackageExtractor({});

  // No converter yet: a Winamp folder loads the Default skin silently.
  std::filesystem::create_directories(program / "skins/old");
  WriteTextFile(program / "skins/old/MAIN.BMP", "");
  EXPECT_EQ(LoadKELDARSkin(program / "skins/old/MAIN.BMP", windows, true), "Default");
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(SkinLoading, ReloadStoresTheOldWindowState) {
  LoadKELDARSkin("Default", windows, true);
  EXPECT_EQ(windows.Stored, 0);
  LoadKELDARSkin("Default", windows, false);
  EXPECT_EQ(windows.Stored, 1);
  EXPECT_EQ(windows.Restored, 2);
}

}  // namespace
