// Winamp and K-Jofol skins loaded through the skin loader: folders and packages unpacked by
// the bundled archive input plug-in, also with the skin inside one top-level folder.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "ConversionTestSupport.h"
#include "WinampClassicSkinPainter.h"
#include "playlist/InputPluginServices.h"
#include "playlist/PlaylistTestSupport.h"
#include "skin/ConvertKjofolSkinToKELDARSkinUnit.h"
#include "skin/ConvertWinampSkinToKELDARSkinUnit.h"
#include "skin/KELDARSkinLoader.h"

namespace {

using namespace playlist_test;
using convert_test::SameRect;
using B = TKELDARSkinBitmap;

class RecordingWindows : public IKELDARSkinWindows {
 public:
  void StoreStateAndHide() override {}
  void ApplyPlaylistText(const TKELDARSkinTextSettings& t) override { Playlist = t; }
  void ApplyLibraryText(const TKELDARSkinTextSettings&) override {}
  void Configure(const TKELDARSkinWindowSetup& s) override { Setups[static_cast<int>(s.Window)] = s; }
  void RestoreStateAndRepaint() override {}
  void SetShape(TKELDARSkinnedWindow w, const TKELDARSkinPolygons* p) override { Shaped[static_cast<int>(w)] = p; }
  TKELDARSkinTextSettings Playlist;
  TKELDARSkinWindowSetup Setups[6];
  bool Shaped[6] = {};
};

std::string FileBytes(const std::string& path) { return ReadTextFile(path); }

class ForeignSkinLoading : public TProgramFolderTest {
 protected:
  void SetUp() override {
    TProgramFolderTest::SetUp();
    ASSERT_TRUE(WriteWinampClassicSkin((program / "skins/winampdefault").string(), true, 99));
    ASSERT_TRUE(WriteWinampClassicSkin(classic, true, 1));
    SetKELDARSkinPackageExtractor([](const std::string& package, const std::string& folder) {
      return ExtractFromArchive(package, "*.*", folder);
    });
    SetKELDARSkinConverters(ConvertWinampSkinToKELDARSkin, ConvertKjofolSkinToKELDARSkin);
  }
  void TearDown() override {
    SetKELDARSkinPackageExtractor({});
    SetKELDARSkinConverters({}, {});
    TProgramFolderTest::TearDown();
  }
  std::vector<std::pair<std::string, std::string>> Entries(const std::string& prefix, bool upper) const {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : fs::directory_iterator(classic)) {
      std::string name = entry.path().filename().string();
      if (upper)
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      entries.emplace_back(prefix + name, FileBytes(entry.path().string()));
    }
    return entries;
  }
  QImage Source(const std::string& name) const { return convert_test::Bmp(classic + "/" + name); }
  void ExpectWinampSkinLoaded() {
    const TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
    EXPECT_TRUE(loaded.ReadFromFolder);
    EXPECT_FALSE(loaded.UsesMasks);
    EXPECT_EQ(loaded.Bitmap(B::DeckNotActive).size(), QSize(275, 116));
    EXPECT_TRUE(SameRect(loaded.Bitmap(B::DeckNotActive).convertToFormat(QImage::Format_RGB888), 0, 70,
                         Source("main.bmp"), 0, 70, 275, 18));
    EXPECT_TRUE(SameRect(loaded.Bitmap(B::DeckActive).convertToFormat(QImage::Format_RGB888), 39, 88,
                         Source("cbuttons.bmp"), 23, 18, 23, 18));
    EXPECT_EQ(loaded.Family.ArtistFormat, "%08. %02 - %01");
    EXPECT_EQ(loaded.Family.PlaylistListTop, 3);
    EXPECT_EQ(windows.Setups[static_cast<int>(TKELDARSkinnedWindow::Deck)].ClientWidth, 275);
    EXPECT_EQ(MultimediaSkin()[DeckForm_PlayButton].Control_Left, 39);
    EXPECT_TRUE(Messages().empty());
  }
  std::string classic = (program / "skins/classic").string();
  RecordingWindows windows;
};

TEST_F(ForeignSkinLoading, WinampFolderAndPackagesWithTheSkinAtTheTopOrInOneFolder) {
  EXPECT_EQ(LoadKELDARSkin(classic + "/main.bmp", windows, true), "classic/MAIN.BMP");
  EXPECT_EQ(LoadedKELDARSkin().Kind, skWinampFolder);
  ExpectWinampSkinLoaded();

  MakeZip((program / "skins/flat.wsz").string(), Entries("", true));
  EXPECT_EQ(LoadKELDARSkin((program / "skins/flat.wsz").string(), windows, true), "flat.wsz");
  EXPECT_EQ(LoadedKELDARSkin().Kind, skWinampPackage);
  ExpectWinampSkinLoaded();

  auto nested = Entries("My Skin/", false);
  nested.emplace_back("readme-first.txt", "hello");
  MakeZip((program / "skins/nested.WSZ").string(), nested);
  EXPECT_EQ(LoadKELDARSkin((program / "skins/nested.WSZ").string(), windows, true), "nested.WSZ");
  ExpectWinampSkinLoaded();
  // Unpacked and converted files are gone after the load.
  for (const auto& entry : fs::directory_iterator(KELDARSkinScratchFolder())) EXPECT_FALSE(entry.is_regular_file());
}

TEST_F(ForeignSkinLoading, KjofolZipWithTheSkinInOneFolder) {
  QImage bg(120, 80, QImage::Format_RGB888);
  bg.fill(QColor(10, 200, 30));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(bg.save(&buffer, "BMP"));
  MakeZip((program / "skins/kj.Zip").string(),
          {{"KJ/skin.rc", "BackgroundImage back.bmp\r\nPlayButton 1 1 20 20 Play BMP1\r\n"},
           {"KJ/BACK.BMP", std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))}});
  EXPECT_EQ(LoadKELDARSkin((program / "skins/kj.Zip").string(), windows, true), "kj.Zip");
  const TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  EXPECT_EQ(loaded.Kind, skKjofolPackage);
  EXPECT_TRUE(loaded.UsesMasks);
  EXPECT_EQ(loaded.Bitmap(B::DeckNotActive).size(), QSize(120, 80));
  EXPECT_EQ(loaded.Bitmap(B::DeckNotActive).pixelColor(60, 40), QColor(10, 200, 30));
  EXPECT_TRUE(MultimediaSkin()[DeckForm_PlayButton].Control_Enabled);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ForeignSkinLoading, APackageThatCannotBeUnpackedShowsTheFallbackPictures) {
  // Not an archive: the internal-error message; the conversion then finds nothing of the
  // skin and takes every picture from the fallback skin.
  WriteTextFile((program / "skins/broken.wsz").string(), "not a zip");
  LoadKELDARSkin((program / "skins/broken.wsz").string(), windows, true);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "Zorvane Audio Player detected an internal error. \nPlease try to LOAD the Skin again.");
  EXPECT_TRUE(SameRect(LoadedKELDARSkin().Bitmap(B::DeckNotActive).convertToFormat(QImage::Format_RGB888), 0, 70,
                       convert_test::Bmp((program / "skins/winampdefault/main.bmp").string()), 0, 70, 275, 18));
}

}  // namespace
