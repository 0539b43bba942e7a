#include <gtest/gtest.h>

#include <QApplication>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "app/ApplicationForms.h"
#include "app/ProgramStartup.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/TPlaylist.h"
#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

TEST(ProgramFolders, CreatedWithParentsButNeverTheInputPluginFolder) {
  TTempFolder dir;
  SetProgramFolderForTesting(dir / "deep/program");
  CreateProgramFolders();
  for (const char* f : {"skins", "dspplugins", "genplugins", "localcddatabase", "visplugins", "cdartwork",
                        "recordedfiles", "tempunzipped", "tempunzipped/info", "tempunzipped/skins"})
    EXPECT_TRUE(fs::is_directory(dir / (std::string("deep/program/") + f))) << f;
  EXPECT_FALSE(fs::exists(dir / "deep/program/inputplugins"));
  EXPECT_EQ(DefaultArtworkPicturePath(), dir / "deep/program/cdartwork/NoArtworkSelected.bmp");
}

TEST(ProgramFolders, ExitEmptiesTheTemporaryFoldersButKeepsTheirSubFolders) {
  TTempFolder dir;
  SetProgramFolderForTesting(dir.Path());
  CreateProgramFolders();
  WriteTextFile(dir / "tempunzipped/a.mp3", "x");
  WriteTextFile(dir / "tempunzipped/info/b.mp3", "x");
  WriteTextFile(dir / "tempunzipped/skins/c.bmp", "x");
  fs::create_directories(dir / "tempunzipped/skins/unpacked");
  WriteTextFile(dir / "tempunzipped/skins/unpacked/d.bmp", "x");
  WriteTextFile(dir / "recordedfiles/keep.wav", "x");
  EmptyTemporaryFolders();
  EXPECT_FALSE(fs::exists(dir / "tempunzipped/a.mp3"));
  EXPECT_FALSE(fs::exists(dir / "tempunzipped/info/b.mp3"));
  EXPECT_FALSE(fs::exists(dir / "tempunzipped/skins/c.bmp"));
  EXPECT_TRUE(fs::exists(dir / "tempunzipped/skins/unpacked/d.bmp"));
  EXPECT_TRUE(fs::exists(dir / "recordedfiles/keep.wav"));
}

TEST(HandleParameter, AddsTheLongFormOfEachArgumentInOrder) {
  TTempFolder dir;
  WriteTextFile(dir / "Song.MP3", "x");
  ThePlaylist().Clear();
  // Arguments are classified by the supported-types table, built before they are handled.
  ClearSupportedFileTypes();
  BuildSupportedFileTypes();
  HandleParameter(dir / "Song.MP3");
  HandleParameter("http://radio.example/live");
  ASSERT_EQ(ThePlaylist().Count(), 2);
  EXPECT_EQ(ThePlaylist().Item(0).FullPathAndFilename, dir / "Song.MP3");
  EXPECT_EQ(ThePlaylist().Item(1).FullPathAndFilename, "http://radio.example/live");
  ThePlaylist().Clear();
  ClearSupportedFileTypes();
}

TEST(ApplicationForms, WindowsAreCreatedInTheirFixedOrder) {
  static int argc = 1;
  static char name[] = "keldar_app_tests";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  // The control window publishes (and at the end removes) a record: one of the test's own.
  const std::string record = "keldar-test-forms-" + std::to_string(::getpid());
  ::setenv("ZORVANEPLAYERAPI_RECORD", record.c_str(), 1);
  TApplicationForms forms;
  forms.CreateDeckForm();
  forms.CreateRemainingForms();
  std::vector<std::string> order = forms.CreationOrder();
  ASSERT_EQ(order.size(), 20u);
  EXPECT_EQ(order.front(), "TDeckForm");
  EXPECT_EQ(order[1], "TPreferencesDialogForm");
  EXPECT_EQ(order[14], "Tzorvaneplayerapi");
  EXPECT_EQ(order.back(), "TRecordingDialogForm");
  ASSERT_NE(forms.Api(), nullptr);
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  forms.DestroyAll();
  ::unsetenv("ZORVANEPLAYERAPI_RECORD");
}
