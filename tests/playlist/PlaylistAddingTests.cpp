// Everything that adds to the playlist: files, folders grouped by type, archives, URLs,
// playlists, skin packages and CD tracks.
#include <gtest/gtest.h>

#include "PlaylistTestSupport.h"
#include "../util/TestHttpServer.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/PlaylistHooks.h"

using namespace playlist_test;

namespace {

class PlaylistAddingTest : public TProgramFolderTest {
 protected:
  void TearDown() override {
    PlaylistHooks() = {};
    TProgramFolderTest::TearDown();
  }
  // Files whose names alternate between the two types, so name order is not type order.
  void MakeMixedFolder(const std::string& folder) {
    fs::create_directories(folder + "/sub");
    for (const char* name : {"a.ogg", "b.mp3", "c.OGG", "d.MP3", "notes.txt", "sub/e.mp3", "sub/f.ogg"})
      WriteTextFile(folder + "/" + name, "x");
  }
};

}  // namespace

TEST_F(PlaylistAddingTest, FolderListsAllMp3BeforeAllOgg) {
  const std::string folder = Path("music");
  MakeMixedFolder(folder);
  std::vector<std::string> found;
  GetAllKnownSupportedFilesFromDirectories(folder, found, true);
  EXPECT_EQ(found, (std::vector<std::string>{folder + "/b.mp3", folder + "/d.MP3", folder + "/sub/e.mp3",
                                             folder + "/a.ogg", folder + "/c.OGG", folder + "/sub/f.ogg"}));
  // A DVD folder contributes its one entry file, under its own type.
  fs::create_directories(folder + "/sub/VIDEO_TS");
  for (const char* name : {"VIDEO_TS.IFO", "VTS_01_1.VOB", "VTS_01_1.mp3"})
    WriteTextFile(folder + "/sub/VIDEO_TS/" + name, "x");
  found.clear();
  GetAllKnownSupportedFilesFromDirectories(folder, found, true);
  EXPECT_EQ(found, (std::vector<std::string>{folder + "/b.mp3", folder + "/d.MP3", folder + "/sub/e.mp3",
                                             folder + "/a.ogg", folder + "/c.OGG", folder + "/sub/f.ogg",
                                             folder + "/sub/VIDEO_TS/VIDEO_TS.IFO"}));
  fs::remove_all(folder + "/sub/VIDEO_TS");
  found.clear();
  GetAllKnownSupportedFilesFromDirectories(folder, found, false);
  EXPECT_EQ(found, (std::vector<std::string>{folder + "/b.mp3", folder + "/d.MP3", folder + "/a.ogg",
                                             folder + "/c.OGG"}));

  TPlaylist list;
  Options_PlaylistAddSubDirectories.BooleanValue = true;
  AddDirectoryToPlaylist(list, folder + "/");
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Item(0).FullPathAndFilename, folder + "/b.mp3");
  EXPECT_EQ(list.Item(0).ArtistName, "Unknown Artist");
  EXPECT_EQ(list.Item(0).TitleName, "B");
  EXPECT_FALSE(list.Item(0).TagIDDataRetrieved);
  EXPECT_EQ(list.Item(5).FullPathAndFilename, folder + "/sub/f.ogg");
  EXPECT_EQ(Options_SongsDir.StringValue, folder);
}

TEST_F(PlaylistAddingTest, FolderStartsWithTheCDTracksTheEngineLists) {
  const std::string folder = Path("music");
  MakeMixedFolder(folder);
  std::string asked;
  PlaylistHooks().ListCDTracks = [&](const std::string& location) {
    asked = location;
    return std::vector<std::string>{"/dev/sr0/Track01.cda", "/dev/sr0/Track02.cda"};
  };
  Options_PlaylistAddSubDirectories.BooleanValue = false;
  TPlaylist list;
  AddDirectoryToPlaylist(list, folder);
  EXPECT_EQ(asked, folder + "/Track00.CDA");
  ASSERT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Item(0).FullPathAndFilename, "/dev/sr0/Track01.cda");
  EXPECT_EQ(list.Item(2).FullPathAndFilename, folder + "/b.mp3");
}

TEST_F(PlaylistAddingTest, ZipContributesItsSupportedEntriesWhichExtractForPlaying) {
  const std::string zip = Path("songs.zip");
  MakeZip(zip, {{"Queen - One.mp3", "ONE"}, {"readme.txt", "text"}, {"dir/two.mp3", "TWO"}});
  TPlaylist list;
  ProccessAddedFiles(list, {zip}, true);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{zip + "/Queen - One.mp3", zip + "/dir/two.mp3"}));
  EXPECT_EQ(list.Item(0).ArtistName, "Queen");
  EXPECT_EQ(list.Item(0).TitleName, "One");
  EXPECT_EQ(GetMediaFileType(list.Item(1).FullPathAndFilename), KELDAR_AUDIOVIDEO_API_mtzpInputCOMPRESSEDFILES);

  const std::string played = ExtractArchiveEntryForPlaying(list.Item(1).FullPathAndFilename);
  EXPECT_EQ(played, (program / "tempunzipped" / "two.mp3").string());
  EXPECT_EQ(ReadTextFile(played), "TWO");
  EXPECT_EQ(ExtractArchiveEntryForPlaying(zip + "/absent.mp3"), "");
  EXPECT_EQ(ExtractArchiveEntryForPlaying(Path("plain.mp3")), "");

  // An entry path handed over again stands for itself.
  ProccessAddedFiles(list, {zip + "/dir/two.mp3", zip + "/readme.txt"}, true);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(2).FullPathAndFilename, zip + "/dir/two.mp3");
}

TEST_F(PlaylistAddingTest, HostileZipWritesNothingOutsideTheDestination) {
  const std::string zip = Path("hostile.zip");
  MakeZip(zip, {{"../../evil.mp3", "E"}, {"../../../evil2.mp3", "E"}, {"fine.mp3", "F"}});
  TPlaylist list;
  ProccessAddedFiles(list, {zip}, true);
  for (int i = 0; i < list.Count(); ++i) ExtractArchiveEntryForPlaying(list.Item(i).FullPathAndFilename);
  EXPECT_EQ(ReadTextFile((program / "tempunzipped" / "fine.mp3").string()), "F");
  std::vector<std::string> outside;
  for (const auto& e : fs::recursive_directory_iterator(root.Path()))
    if (e.path().filename().string().rfind("evil", 0) == 0) outside.push_back(e.path().string());
  for (const auto& e : fs::directory_iterator(fs::path(root.Path()).parent_path()))
    if (e.path().filename().string().rfind("evil", 0) == 0) outside.push_back(e.path().string());
  // Only copies inside tempunzipped itself, under their plain names, would be acceptable.
  for (const auto& path : outside)
    EXPECT_EQ(fs::path(path).parent_path(), program / "tempunzipped") << path;
}

TEST_F(PlaylistAddingTest, UnsupportedNamesAreSkippedAndUrlsBecomeEntries) {
  TPlaylist list;
  ProccessAddedFiles(list, {Path("x.txt"), "", "http://radio.example/live", Path("tune.mp3")}, true);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"http://radio.example/live", Path("tune.mp3")}));
  EXPECT_EQ(list.Item(0).ArtistName, "Unknown Artist");
  EXPECT_EQ(list.Item(0).TitleName, "Live");
  AddURLToPlayList(list, "not a url");
  AddURLToPlayList(list, "mms://media.example/stream");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(2).FullPathAndFilename, "mms://media.example/stream");
}

TEST_F(PlaylistAddingTest, APlaylistAloneReplacesTheListSeveralAreAppended) {
  WriteTextFile(Path("one.m3u"), "/one/a.mp3\n/one/b.mp3\n");
  WriteTextFile(Path("two.pls"), "[playlist]\nFile1=/two/c.mp3\n");
  TPlaylist list;
  list.Add(Entry("/old.mp3"));
  ProccessAddedFiles(list, {Path("one.m3u")}, true);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/one/a.mp3", "/one/b.mp3"}));
  ProccessAddedFiles(list, {Path("two.pls"), Path("one.m3u")}, true);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/one/a.mp3", "/one/b.mp3", "/two/c.mp3", "/one/a.mp3",
                                                      "/one/b.mp3"}));
  // A PLS behind a URL, added like any URL.
  TTestHttpServer server;
  server.SetResponse("/s.pls", {200, "[playlist]\nFile1=http://radio.example/one\n", {}});
  AddURLToPlayList(list, server.Url("/s.pls"));
  EXPECT_EQ(Locators(list), std::vector<std::string>{"http://radio.example/one"});
}

TEST_F(PlaylistAddingTest, SkinPackageAsFirstStringIsInstalledAndNothingIsAdded) {
  const std::string package = Path("Fancy.ksk");
  MakeZip(package, {{"keldarskin.ini", "[x]"}});
  std::vector<std::string> loaded;
  PlaylistHooks().LoadSkinPackage = [&](const std::string& path) { loaded.push_back(path); };
  TPlaylist list;
  list.Add(Entry("/keep.mp3"));
  ProccessAddedFiles(list, {package, Path("tune.mp3"), "http://radio.example/live"}, true);
  const std::string installed = (program / "skins" / "Fancy.ksk").string();
  EXPECT_EQ(Locators(list), std::vector<std::string>{"/keep.mp3"});
  EXPECT_EQ(ReadTextFile(installed), ReadTextFile(package));
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Fancy.ksk");
  EXPECT_EQ(loaded, std::vector<std::string>{installed});

  // An installed package of that name is kept; one lying in skins is used where it is.
  WriteTextFile(installed, "installed before");
  ProccessAddedFiles(list, {package}, true);
  EXPECT_EQ(ReadTextFile(installed), "installed before");
  ProccessAddedFiles(list, {installed}, true);
  EXPECT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded.back(), installed);
  // A package that does not exist anywhere changes nothing.
  Options_SkinToBeLoaded.StringValue = "Fancy.ksk";
  ProccessAddedFiles(list, {Path("Missing.KSK")}, true);
  EXPECT_EQ(Options_SkinToBeLoaded.StringValue, "Fancy.ksk");
  EXPECT_EQ(loaded.size(), 3u);
  // Not first: an ordinary unsupported name, skipped.
  ProccessAddedFiles(list, {Path("tune.mp3"), package}, true);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/keep.mp3", Path("tune.mp3")}));
}

TEST_F(PlaylistAddingTest, CDTracksAreNamedFromTheDiscOfTheLastUnnamedTrack) {
  std::vector<std::pair<std::string, bool>> asked;
  PlaylistHooks().NameCDTracks = [&](const std::string& drive, bool freedbAllowed, TPlaylistCDDiscNames& names) {
    asked.emplace_back(drive, freedbAllowed);
    if (drive != "/dev/sr0/") return false;
    names.Title = "Album";
    names.Genre = "Rock";
    names.Year = "1975";
    names.TrackTitles = {"First", ""};
    names.TrackLengths = {100, 200};
    return true;
  };
  Options_UsefreedbSupportState.BooleanValue = true;
  TPlaylist list;
  list.Add(Entry("/dev/sr1/Track01.cda"));
  ProccessAddedFiles(list, {"/dev/sr0/Track01.cda", "/dev/sr0/Track02.cda", Path("tune.mp3")}, false);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(std::string("/dev/sr0/"), false));
  const TPlayListBoxItem& first = list.Item(1);
  EXPECT_TRUE(first.TagIDDataRetrieved);
  EXPECT_EQ(first.ArtistName, "Unknown Artist");  // the disc names none
  EXPECT_EQ(first.TitleName, "First");
  EXPECT_EQ(first.AlbumName, "Album");
  EXPECT_EQ(first.TitleAlbumGenre, "Rock");
  EXPECT_EQ(first.TitleAlbumYear, "1975");
  EXPECT_EQ(first.TitleCDIndex, 0);
  EXPECT_EQ(list.Item(2).TitleName, "Track02");
  EXPECT_EQ(list.Item(2).TitleCDIndex, 1);
  EXPECT_EQ(list.TotalPlaybackSeconds(), 300);
  EXPECT_FALSE(list.Item(0).TagIDDataRetrieved);  // another drive
  EXPECT_FALSE(list.Item(3).TagIDDataRetrieved);

  // Now only the other drive's track is unnamed; online lookup allowed with all dialogs.
  ProccessAddedFiles(list, {}, true);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], std::make_pair(std::string("/dev/sr1/"), true));
  EXPECT_EQ(CDTrackIndexFromLocator("/dev/sr0/Track12.cda"), 11);
  EXPECT_EQ(CDTrackIndexFromLocator("/dev/sr0/x.cda"), -1);
}
