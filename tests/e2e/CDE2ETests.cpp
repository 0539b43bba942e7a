// A disc image handed to the real player: its tracks are named from the local store's
// entry in the playlist and on the deck, and they play.
#include "DeckE2EFixture.h"
#include "playlist/KELDAR_ZPL_Unit.h"
#include "playlist/PlaylistDisplayTexts.h"
#include "playlist/TPlaylist.h"

namespace {

const char* const kEntry =
    "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n# 450\r\n# 840\r\n#\r\n# Disc length: 14 seconds\r\n#\r\n"
    "# Revision: 0\r\n# Submitted via: Test 1.0\r\n#\r\nDISCID=0a000c03\r\nDTITLE=Disc Artist / Disc Album\r\n"
    "DYEAR=2020\r\nDGENRE=Tone\r\n\r\nTTITLE0=Four Forty\r\nTTITLE1=Eight Eighty\r\nTTITLE2=Thirteen Twenty\r\n"
    "EXTD=\r\nEXTT0=\r\nEXTT1=\r\nEXTT2=\r\nPLAYORDER=\r\n\r\n";

TEST_F(DeckE2E, ADiscImageIsNamedFromTheLocalStoreAndPlays) {
  Shell(std::string(KELDAR_SOURCE_DIR) + "/scripts/make-cd-image '" + dir.Path() + "/cd' disc plain");
  const std::string cue = dir / "cd/disc.cue";
  std::filesystem::create_directories(program + "/localcddatabase/rock");
  WriteTextFile(program + "/localcddatabase/rock/0a000c03", kEntry);
  Settings("Options_freedbUserEmail=me@example.org\n");
  ASSERT_TRUE(StartWith({cue}));
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 3000)) << Status();
  std::string s = Status();
  EXPECT_EQ(JsonText(s, "FullPathAndFilename"), cue + "/Track01.CDA");
  EXPECT_EQ(JsonText(s, "ArtistName"), "Disc Artist");
  EXPECT_EQ(JsonText(s, "TitleName"), "Four Forty");
  EXPECT_EQ(JsonText(s, "AlbumName"), "Disc Album");
  EXPECT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 3000)) << Status();
  // The first track ends after four seconds and the second one follows by itself.
  ASSERT_TRUE(WaitForState("Playing", "2", 6000)) << Status();
  s = Status();
  EXPECT_EQ(JsonText(s, "TitleName"), "Eight Eighty");
  EXPECT_EQ(Seconds(JsonText(s, "TotalTimeText")), 5) << s;
  EXPECT_EQ(player.Terminate(), 0);
  // The playlist kept the names: its lines read "Artist - Title".
  TPlaylist list;
  ASSERT_TRUE(LoadZPLFile(list, program + "/keldar3.ZPL", true));
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(PlaylistLineText(list.Item(0), 2), "Disc Artist - Four Forty");
  EXPECT_EQ(PlaylistLineText(list.Item(2), 2), "Disc Artist - Thirteen Twenty");
  EXPECT_EQ(list.Item(2).FilePlaybackLength, 3);
  // The server list was missing: the defaults were written.
  const std::string servers = ReadTextFile(program + "/keldar3freedbservers.ini");
  EXPECT_EQ(servers.rfind("gnudb.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Random freedb server\n", 0), 0u);
  // No server was asked: the e-mail address was good and the disc was known.
  for (const TMessage& m : ReadMessageLog(log)) EXPECT_EQ(m.Text.find("freedb"), std::string::npos) << m.Text;
}

}  // namespace
