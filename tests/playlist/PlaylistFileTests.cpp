// Loading and saving playlist files by extension: native ".ZPL", formats of the playlist
// plug-in, nested playlists, playlists behind URLs and the save-filter extension rule.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

#include "PlaylistTestSupport.h"
#include "../util/TestHttpServer.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "playlist/PlaylistFileLoading.h"

using namespace playlist_test;

namespace {

class PlaylistFileTest : public TProgramFolderTest {
 protected:
  void FillSample(TPlaylist& list) {
    for (const std::string& path : {std::string("/music/Änne & Co/01 first.mp3"), std::string("/music/second one.ogg"),
                                    std::string("http://radio.example:8000/stream"), std::string("/music/third.flac"),
                                    std::string("/music/a.zip/inside/x.mp3")})
      list.Add(Entry(path, 60));
  }
  void SaveZPL(const std::vector<std::string>& paths, const std::string& file) {
    TPlaylist list;
    for (const auto& p : paths) list.Add(Entry(p));
    ASSERT_TRUE(SaveZPLFile(list, file));
  }
};

}  // namespace

TEST_F(PlaylistFileTest, RoundTripThroughEveryWritableFormatKeepsLocatorsInOrder) {
  TPlaylist source;
  FillSample(source);
  for (const char* ext : {".ZPL", ".m3u", ".pls", ".xspf"}) {
    const std::string file = Path(std::string("list") + ext);
    ASSERT_TRUE(SavePlaylistFile(source, file)) << ext;
    ASSERT_TRUE(fs::exists(file)) << ext;
    TPlaylist back;
    back.Add(Entry("/stale.mp3"));
    EXPECT_EQ(LoadPlaylistFile(back, file, true), KELDAR_PLAYLIST_LOADED) << ext;
    EXPECT_EQ(Locators(back), Locators(source)) << ext << "\n" << ReadTextFile(file);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PlaylistFileTest, SavingWithoutAPluginWritesZPLAndOtherKindsWriteNothing) {
  TPlaylist list;
  FillSample(list);
  EXPECT_TRUE(SavePlaylistFile(list, Path("list.txt")));
  EXPECT_FALSE(fs::exists(Path("list.txt")));
  TPlaylist back;
  ASSERT_TRUE(LoadZPLFile(back, Path("list.ZPL"), true));
  EXPECT_EQ(Locators(back), Locators(list));
  // A name ending in .zpl in another case stays that file.
  EXPECT_TRUE(SavePlaylistFile(list, Path("mine.zpl")));
  EXPECT_TRUE(fs::exists(Path("mine.zpl")));
  EXPECT_FALSE(fs::exists(Path("mine.ZPL")));
  // An archive plug-in is no playlist writer.
  EXPECT_FALSE(SavePlaylistFile(list, Path("list.zip")));
  EXPECT_FALSE(fs::exists(Path("list.zip")));
  EXPECT_FALSE(fs::exists(Path("list.ZPL.tmp")));
  // An empty playlist is an empty file.
  TPlaylist empty;
  EXPECT_TRUE(SavePlaylistFile(empty, Path("empty.zpl")));
  EXPECT_EQ(fs::file_size(Path("empty.zpl")), 0u);
}

TEST_F(PlaylistFileTest, ResultCodesForWhatCannotBeRead) {
  TPlaylist list;
  list.Add(Entry("/keep.mp3"));
  EXPECT_EQ(LoadPlaylistFile(list, Path("x.unknown"), true), KELDAR_PLAYLIST_NOT_A_PLAYLIST);
  MakeZip(Path("a.zip"), {{"a.mp3", "x"}});
  EXPECT_EQ(LoadPlaylistFile(list, Path("a.zip"), true), KELDAR_PLAYLIST_NOT_A_PLAYLIST);
  EXPECT_EQ(Locators(list), std::vector<std::string>{"/keep.mp3"});
  // A missing ZPL: the message, the playlist unchanged, still "loaded".
  EXPECT_EQ(LoadPlaylistFile(list, Path("missing.ZPL"), true), KELDAR_PLAYLIST_LOADED);
  EXPECT_EQ(Locators(list), std::vector<std::string>{"/keep.mp3"});
  EXPECT_EQ(Messages(), std::vector<std::string>{"Loading Playlist Failed..."});
}

TEST_F(PlaylistFileTest, NestedPlaylistsReplaceTheListOnlyFromPluginFormats) {
  SaveZPL({"/inner/1.mp3", "/inner/2.mp3"}, Path("inner.ZPL"));
  SaveZPL({Path("inner.ZPL"), "/outer/3.mp3"}, Path("outer.ZPL"));
  TPlaylist list;
  EXPECT_EQ(LoadPlaylistFile(list, Path("outer.ZPL"), true), KELDAR_PLAYLIST_LOADED);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{Path("inner.ZPL"), "/outer/3.mp3"}));

  WriteTextFile(Path("outer.m3u"), "/outer/0.mp3\n" + Path("inner.ZPL") + "\n/outer/3.mp3\n");
  EXPECT_EQ(LoadPlaylistFile(list, Path("outer.m3u"), true), KELDAR_PLAYLIST_NESTED_PLAYLIST_LOADED);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"/inner/1.mp3", "/inner/2.mp3"}));

  // A playlist that names itself ends after a bounded number of levels.
  WriteTextFile(Path("self.m3u"), Path("self.m3u") + "\n/after.mp3\n");
  EXPECT_EQ(LoadPlaylistFile(list, Path("self.m3u"), true), KELDAR_PLAYLIST_NESTED_PLAYLIST_LOADED);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{Path("self.m3u"), "/after.mp3"}));
}

TEST_F(PlaylistFileTest, PlsBehindAnHttpUrlLoadsItsStations) {
  TTestHttpServer server;
  server.SetResponse("/radio/stations.pls",
                     {200, "[playlist]\nNumberOfEntries=2\nFile1=http://radio.example/one\nTitle1=One\n"
                           "File2=http://radio.example/two\n", {}});
  TPlaylist list;
  list.Add(Entry("/old.mp3"));
  EXPECT_EQ(LoadPlaylistFile(list, server.Url("/radio/stations.pls"), true), KELDAR_PLAYLIST_LOADED);
  EXPECT_EQ(Locators(list), (std::vector<std::string>{"http://radio.example/one", "http://radio.example/two"}));
  EXPECT_EQ(list.Item(0).TitleName, "One");
  EXPECT_TRUE(fs::exists(program / "tempunzipped" / "tempurls.PLS"));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].Path, "/radio/stations.pls");

  // A URL that cannot be fetched adds nothing and still counts as loaded.
  EXPECT_EQ(LoadPlaylistFile(list, server.Url("/missing.pls"), true), KELDAR_PLAYLIST_LOADED);
  EXPECT_EQ(list.Count(), 2);
}

TEST(SaveFilterExtension, TheChosenEntrysFirstPatternDecides) {
  const std::string filter =
      "Zorvane Audio Player PlayList (*.zpl)|*.zpl|MP3 Playlist (*.m3u)|*.m3u;*.m3u8|XML (*.xspf)|*.xspf|"
      "All Files (*.*)|*.*|";
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 1), "/l/list.zpl");
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 2), "/l/list.m3u");
  EXPECT_EQ(ApplySaveFilterExtension("/l/list", filter, 3), "/l/list.xspf");
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 4), "/l/list.txt");  // wildcard
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 5), "/l/list.txt");  // past the end
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 0), "/l/list.txt");
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", "Odd|*.m?u|", 1), "/l/list.txt");
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", "No dot|noext|", 1), "/l/list.txt");
}

TEST_F(PlaylistFileTest, SaveFilterOfTheTableNamesThePluginFormats) {
  const std::string filter = BuildPlaylistFileFilter(false);
  ASSERT_EQ(filter.rfind("Zorvane Audio Player PlayList (*.zpl)|*.ZPL|", 0), 0u) << filter;
  EXPECT_NE(filter.find("(*.m3u)|*.M3U|"), std::string::npos) << filter;
  EXPECT_EQ(ApplySaveFilterExtension("/l/list.txt", filter, 1), "/l/list.ZPL");
}

TEST_F(PlaylistFileTest, M3UTitlesAndLengthsBelongOnlyToTheEntryAfterThem) {
  WriteTextFile(Path("mixed.m3u"),
                "#EXTM3U\n#EXTINF:123,Some One - First Song\n/m/1.mp3\n/m/2.mp3\n"
                "#EXTINF:-1,Radio\nhttp://radio.example/s\n#EXTINF:45,Lost Title\n\n#comment\n/m/3.mp3\n");
  TPlaylist list;
  ASSERT_EQ(LoadPlaylistFile(list, Path("mixed.m3u"), true), KELDAR_PLAYLIST_LOADED);
  ASSERT_EQ(Locators(list), (std::vector<std::string>{"/m/1.mp3", "/m/2.mp3", "http://radio.example/s", "/m/3.mp3"}));
  EXPECT_EQ(list.Item(0).FilePlaybackLength, 123);
  EXPECT_EQ(list.Item(1).FilePlaybackLength, 0) << "the first entry's length leaked into the next";
  EXPECT_EQ(list.Item(2).FilePlaybackLength, 0);
  EXPECT_EQ(list.Item(3).FilePlaybackLength, 45);
}

TEST_F(PlaylistFileTest, AHugeM3UOrOneWithAMegabyteLineIsReadInBoundedMemory) {
  // A list whose last line is a megabyte long, and then a gigabyte of damage (a hole of zeros).
  const std::string file = Path("huge.m3u");
  {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < 1000; ++i) out << "#EXTINF:60,Entry " << i << "\n/m/" << i << ".mp3\n";
    out << "#EXTINF:60,Long\n/m/" << std::string(1 << 20, 'x') << ".mp3\n/m/after.mp3\n";
  }
  ASSERT_EQ(::truncate(file.c_str(), off_t(1) << 30), 0);
  rusage before{};
  ::getrusage(RUSAGE_SELF, &before);
  TPlaylist list;
  LoadPlaylistFile(list, file, true);
  rusage after{};
  ::getrusage(RUSAGE_SELF, &after);
  ASSERT_GE(list.Count(), 1001);
  EXPECT_EQ(list.Item(0).FullPathAndFilename, "/m/0.mp3");
  EXPECT_EQ(list.Item(1000).FullPathAndFilename, "/m/after.mp3") << "the megabyte line was kept";
  for (int i = 0; i < list.Count(); ++i) ASSERT_LT(list.Item(i).FullPathAndFilename.size(), 4096u) << i;
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 512 * 1024);  // kilobytes: far below the file
}
