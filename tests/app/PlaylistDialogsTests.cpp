// The playlist window's dialogs with a scripted dialog in place of the real one: what each
// asks (title, starting folder, filter), what a confirmation or a cancel does, the
// extension the chosen save filter gives, and Qt's name filters built from ours.
#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>

#include "TestSupport.h"
#include "app/PlaylistDialogs.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"

namespace fs = std::filesystem;

namespace {

class PlaylistDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolderForTesting(program.Path());
    InitSettingsDefaults();
    BuildSupportedFileTypes();
    fs::create_directories(program / "music/sub");
    for (const char* name : {"music/Queen - Bohemian.wav", "music/b.wav", "music/sub/c.wav"})
      WriteTextFile(program / name, "");
    dialogs.RunFileDialog = [this](const TPlaylistFileDialogRequest& request) {
      requests.push_back(request);
      return answer;
    };
    dialogs.RunFolderDialog = [this](const std::string& title, const std::string& start) {
      folderRequests.push_back(title + "|" + start);
      return folderAnswer;
    };
  }
  void TearDown() override { ClearSupportedFileTypes(); }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  TPlaylist list;
  TPlaylistDialogs dialogs{list};
  std::vector<TPlaylistFileDialogRequest> requests;
  std::vector<std::string> folderRequests;
  TPlaylistFileDialogAnswer answer;
  std::string folderAnswer;
};

TEST_F(PlaylistDialogs, AddFilesStartsInTheSongsFolderAndRemembersTheChosenOne) {
  Options_SongsDir.StringValue = "/somewhere/else";
  // Cancelled before anything was ever chosen: the folder stays as it was.
  dialogs.AddFilesToPlayListWithOpenDialog();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Title, "Add Files To PlayList");
  EXPECT_EQ(requests[0].Kind, TPlaylistFileDialogRequest::TKind::OpenFiles);
  EXPECT_EQ(requests[0].StartFolder, "/somewhere/else");
  EXPECT_EQ(requests[0].Filter, BuildOpenFileFilter(true));
  EXPECT_EQ(Options_SongsDir.StringValue, "/somewhere/else");
  EXPECT_EQ(list.Count(), 0);

  answer.Accepted = true;
  answer.Files = {program / "music/Queen - Bohemian.wav", program / "music/b.wav"};
  dialogs.AddFilesToPlayListWithOpenDialog();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0).FullPathAndFilename, answer.Files[0]);
  EXPECT_EQ(list.Item(0).ArtistName, "Queen");
  EXPECT_EQ(list.Item(0).TitleName, "Bohemian");
  EXPECT_EQ(Options_SongsDir.StringValue, program / "music");  // no trailing separator

  // Cancelled later: the dialog still holds the last name, so the folder is that one's.
  Options_SongsDir.StringValue = "/elsewhere";
  answer = {};
  dialogs.AddFilesToPlayListWithOpenDialog();
  EXPECT_EQ(requests.back().StartFolder, "/elsewhere");
  EXPECT_EQ(requests.back().FileName, program / "music/Queen - Bohemian.wav");
  EXPECT_EQ(Options_SongsDir.StringValue, program / "music");
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(PlaylistDialogs, AddFolderStartsAtTheRootThenAtTheLastFolderChosen) {
  Options_PlaylistAddSubDirectories.BooleanValue = true;
  dialogs.AddDirToPlayList();  // cancelled
  EXPECT_EQ(list.Count(), 0);
  folderAnswer = program / "music";
  dialogs.AddDirToPlayList();
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(Options_SongsDir.StringValue, program / "music");
  folderAnswer.clear();
  dialogs.AddDirToPlayList();
  EXPECT_EQ(folderRequests, (std::vector<std::string>{"Add Directory To Playlist|/",
                                                      "Add Directory To Playlist|/",
                                                      "Add Directory To Playlist|" + program / "music"}));
}

TEST_F(PlaylistDialogs, SaveTakesTheExtensionOfTheChosenFilterAndLoadReplacesTheList) {
  TPlayListBoxItem item;
  item.FullPathAndFilename = program / "music/b.wav";
  list.Add(item);
  const std::string filter = BuildPlaylistFileFilter(true);
  answer.Accepted = true;
  answer.Files = {program / "saved.txt"};
  answer.FilterIndex = 1;  // "All supported Playlist files": the first pattern is *.ZPL
  dialogs.SavePlaylistWithDialog();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Title, "Save PlayList");
  EXPECT_EQ(requests[0].Kind, TPlaylistFileDialogRequest::TKind::SaveFile);
  EXPECT_EQ(requests[0].Filter, filter);
  EXPECT_TRUE(fs::exists(program / "saved.ZPL"));
  EXPECT_FALSE(fs::exists(program / "saved.txt"));
  EXPECT_EQ(fs::file_size(program / "saved.ZPL"), 4u + 2 * item.FullPathAndFilename.size() + 5 * 4 + 85);

  // The wildcard entry keeps the typed name; with no plug-in for it the list is written as .ZPL.
  int bars = 0;
  for (char c : filter) bars += c == '|';
  answer.Files = {program / "mine.abc"};
  answer.FilterIndex = bars / 2;  // the last entry, "All Files"
  dialogs.SavePlaylistWithDialog();
  EXPECT_TRUE(fs::exists(program / "mine.ZPL"));

  answer.Files = {program / "saved.ZPL"};
  list.Add(item);
  list.Add(item);
  dialogs.LoadPlaylistWithDialog();
  EXPECT_EQ(requests.back().Title, "Load PlayList");
  EXPECT_EQ(requests.back().Kind, TPlaylistFileDialogRequest::TKind::OpenFile);
  EXPECT_EQ(requests.back().Filter, filter);
  EXPECT_EQ(list.Count(), 1);  // replaced, not appended
  answer.Accepted = false;
  dialogs.LoadPlaylistWithDialog();
  EXPECT_EQ(list.Count(), 1);
}

TEST(PlaylistDialogFilters, QtNameFiltersKeepOrderAndMatchBothCases) {
  const auto filters = QtNameFiltersFromDialogFilter(
      "All supported files|*.MP3;*.OGG|Quicktime Movie (version 2 and lower) (*.mov)|*.MOV|All Files (*.*)|*.*|");
  EXPECT_EQ(filters, (std::vector<std::string>{"All supported files (*.MP3 *.mp3 *.OGG *.ogg)",
                                               "Quicktime Movie (version 2 and lower) (*.MOV *.mov)", "All Files (*)"}));
  EXPECT_TRUE(QtNameFiltersFromDialogFilter("").empty());
  // One entry per pair of the real filters, so the chosen index maps back.
  TTempFolder program;
  SetProgramFolderForTesting(program.Path());
  InitSettingsDefaults();
  BuildSupportedFileTypes();
  const std::string open = BuildOpenFileFilter(true);
  int bars = 0;
  for (char c : open) bars += c == '|';
  EXPECT_EQ(QtNameFiltersFromDialogFilter(open).size(), static_cast<std::size_t>(bars / 2));
  ClearSupportedFileTypes();
}

}  // namespace
