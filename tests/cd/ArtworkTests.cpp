// Artwork names, lookup order, decoding with the fallback picture, and installing a picture
// the user chose: refusals, the replace question, copy failures and the now-playing blank.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>

#include "TestSupport.h"
#include "cd/ArtworkFunctions.h"
#include "cd/ArtworkLoader.h"
#include "plugins/ZorvanePlayerApiSharedRecord.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "util/ShowMessage.h"

namespace {

namespace fs = std::filesystem;

void WritePicture(const std::string& path, int w, int h, QColor colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  ASSERT_TRUE(image.save(QString::fromStdString(path), nullptr)) << path;
}

class Artwork : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "artwork";
    static char* argv[] = {name, nullptr};
    if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    if (LoadInputPlugin(0, std::string(KELDAR_PROGRAM_DIR) + "/inputplugins/zpinput_pictures.so", nullptr))
      KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable = 1;
  }
  void SetUp() override { fs::create_directories(folder / "music"); }

  std::string Messages() const { return ReadTextFile(log.Path()); }

  TTempFolder folder;
  TMessageLogCapture log{folder / "messages.log"};
};

TEST_F(Artwork, BaseNamesFollowArtistAndAlbumOrTheSongsOwnName) {
  EXPECT_EQ(ArtworkBaseName("/music/x.mp3", "A", "B"), "/music/A - B");
  EXPECT_EQ(ArtworkBaseName("/music/x.mp3", "A", ""), "/music/x");
  EXPECT_EQ(ArtworkBaseName("/music/x.mp3", "", "B"), "/music/x");
  EXPECT_EQ(ArtworkBaseName("/prog/cdartwork/", "A", "B"), "/prog/cdartwork/A - B") << "a folder is its own folder";
  EXPECT_EQ(CDArtworkFolder("/prog"), "/prog/cdartwork/");
  EXPECT_EQ(NoArtworkPicturePath("/prog/"), "/prog/cdartwork/NoArtworkSelected.bmp");
  EXPECT_TRUE(IsArtworkFile("/a/b.Png"));
  EXPECT_TRUE(IsArtworkFile("b.JPG"));
  EXPECT_FALSE(IsArtworkFile("b.jpeg"));
  EXPECT_FALSE(IsArtworkFile("jpg"));
}

TEST_F(Artwork, JpgComesBeforePngAndBmpWhateverTheCaseOnDisk) {
  const std::string song = folder / "music/x.mp3";
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), "");
  WriteTextFile(folder / "music/A - B.bmp", "x");
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), folder / "music/A - B.bmp");
  WriteTextFile(folder / "music/A - B.PNG", "x");
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), folder / "music/A - B.PNG");
  WriteTextFile(folder / "music/a - b.Jpg", "x");
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), folder / "music/a - b.Jpg");
  fs::create_directories(folder / "music/C - D.JPG");  // a folder of that name is no artwork
  EXPECT_EQ(FindArtworkFile(song, "C", "D"), "");
}

TEST_F(Artwork, LoadingDecodesTheArtworkOrTheFallbackAndSaysWhichItWas) {
  const std::string song = folder / "music/x.mp3";
  const std::string fallback = folder / "NoArtworkSelected.bmp";
  WritePicture(fallback, 4, 3, Qt::blue);
  TInputPluginPicture picture;
  EXPECT_FALSE(LoadArtwork(song, "A", "B", fallback, picture));
  ASSERT_EQ(picture.Width, 4);
  EXPECT_EQ(picture.Pixels[0] & 0xFFFFFF, 0x0000FFu);

  WritePicture(folder / "music/A - B.png", 7, 5, Qt::red);
  EXPECT_TRUE(LoadArtwork(song, "A", "B", fallback, picture));
  ASSERT_EQ(picture.Width, 7);
  EXPECT_EQ(picture.Height, 5);
  EXPECT_EQ(picture.Pixels[0] & 0xFFFFFF, 0xFF0000u);

  // Found but undecodable: reported as found, the picture stays empty, no fallback.
  WriteTextFile(folder / "music/A - B.jpg", "not a picture");
  EXPECT_TRUE(LoadArtwork(song, "A", "B", fallback, picture));
  EXPECT_EQ(picture.Width, 0);
  EXPECT_TRUE(picture.Pixels.empty());
}

TEST_F(Artwork, InstallingRefusesOtherExtensionsAndAsksBeforeReplacing) {
  const std::string song = folder / "music/x.mp3";
  WritePicture(folder / "cover.jpeg", 2, 2, Qt::red);
  EXPECT_FALSE(InstallArtwork(song, "A", "B", false, folder / "cover.jpeg", {}));
  EXPECT_NE(Messages().find("Unsupported artwork file type"), std::string::npos);
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), "");

  WritePicture(folder / "first.jpg", 2, 2, Qt::red);
  int shown = 0;
  TArtworkInstallHooks hooks;
  hooks.ShowAgain = [&] { ++shown; };
  EXPECT_TRUE(InstallArtwork(song, "A", "B", false, folder / "first.jpg", hooks));
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), folder / "music/A - B.jpg");
  EXPECT_EQ(shown, 1);

  // The log answers with the default, No: the old picture stays.
  WritePicture(folder / "second.jpg", 3, 3, Qt::green);
  const auto before = ReadTextFile(folder / "music/A - B.jpg");
  EXPECT_FALSE(InstallArtwork(song, "A", "B", false, folder / "second.jpg", hooks));
  EXPECT_NE(Messages().find("Artwork File " + (folder / "music/A - B.jpg") + " exists\\rWould you like to replace it?"),
            std::string::npos)
      << Messages();
  EXPECT_EQ(ReadTextFile(folder / "music/A - B.jpg"), before);

  // A PNG beside the JPG is installed, but the JPG keeps winning the lookup.
  WritePicture(folder / "third.png", 2, 2, Qt::blue);
  EXPECT_TRUE(InstallArtwork(song, "A", "B", false, folder / "third.png", hooks));
  EXPECT_TRUE(fs::exists(folder / "music/A - B.png"));
  EXPECT_EQ(FindArtworkFile(song, "A", "B"), folder / "music/A - B.jpg");
}

TEST_F(Artwork, AYesReplacesAndTheChooserStartsInTheArtworksFolder) {
  unsetenv("KELDAR_MESSAGE_LOG");
  SetMessagePresenter([](const TMessage& m) {
    return m.Buttons == TMessageButtons::YesNo ? TMessageAnswer::Yes : TMessageAnswer::OK;
  });
  const std::string song = folder / "music/x.mp3";
  WritePicture(folder / "music/A - B.jpg", 2, 2, Qt::red);
  WritePicture(folder / "new.jpg", 5, 5, Qt::green);
  std::string filterSeen, folderSeen;
  TArtworkInstallHooks hooks;
  hooks.ChooseFile = [&](const std::string& filter, const std::string& start) {
    filterSeen = filter;
    folderSeen = start;
    return folder / "new.jpg";
  };
  EXPECT_TRUE(InstallArtwork(song, "A", "B", true, "", hooks));
  SetMessagePresenter({});
  EXPECT_EQ(ReadTextFile(folder / "music/A - B.jpg"), ReadTextFile(folder / "new.jpg"));
  EXPECT_EQ(folderSeen, folder / "music/");
  EXPECT_EQ(filterSeen.substr(0, 45), "All supported image files (*.jpg;*.png;*.bmp)");

  hooks.ChooseFile = [](const std::string&, const std::string&) { return std::string(); };
  EXPECT_FALSE(InstallArtwork(song, "A", "B", true, "", hooks)) << "a cancelled dialog installs nothing";
}

TEST_F(Artwork, AFailedCopyIsReportedAndTheRecordIsBlankedForArtworkReaders) {
  const std::string record = "keldar-artwork-test-" + std::to_string(getpid());
  setenv("ZORVANEPLAYERAPI_RECORD", record.c_str(), 1);
  ASSERT_TRUE(OpenApiSharedMemory());
  TNowPlayingValues values;
  values.ArtistName = "A";
  PublishNowPlaying(values);  // the first tick after opening is blank
  PublishNowPlaying(values);

  WritePicture(folder / "pic.jpg", 2, 2, Qt::red);
  EXPECT_FALSE(InstallArtwork(folder / "missing/x.mp3", "A", "B", false, folder / "pic.jpg", {}));
  EXPECT_NE(Messages().find("Installation of Artwork Image:\\r" + (folder / "pic.jpg") + "\\rFailed"), std::string::npos)
      << Messages();

  EXPECT_TRUE(InstallArtwork(folder / "music/x.mp3", "A", "B", false, folder / "pic.jpg", {}));
  PublishNowPlaying(values);
  uint8_t* view = zpapi_record_open(0);
  ASSERT_NE(view, nullptr);
  char artist[256];
  zpapi_record_text(view, ZPAPI_OFS_ArtistName, artist);
  EXPECT_STREQ(artist, "") << "the tick after an install is blank";
  PublishNowPlaying(values);
  zpapi_record_text(view, ZPAPI_OFS_ArtistName, artist);
  EXPECT_STREQ(artist, "A");
  zpapi_record_close(view);
  CloseApiSharedMemory();
  unsetenv("ZORVANEPLAYERAPI_RECORD");
}

}  // namespace
