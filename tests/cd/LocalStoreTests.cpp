// The local xmcd store, the query rebuilt from a stored file, the server list file, the
// e-mail rule and the naming flow from the store on a real disc image.
#include "CDTestSupport.h"
#include "cd/CDTrackNaming.h"
#include "cd/FreedbServerList.h"
#include "playlist/PlaylistCDTrackNaming.h"
#include "playlist/PlaylistEditor.h"
#include "playlist/TPlaylist.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace cdtest {
namespace {

const char* const kStored =
    "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n# 450\r\n# 840\r\n#\r\n# Disc length: 14 seconds\r\n#\r\n"
    "# Revision: 1\r\n# Submitted via: Test 1.0\r\n#\r\nDISCID=0a000c03\r\nDTITLE=Stored Artist / Stored Album\r\n"
    "DYEAR=2004\r\nDGENRE=Test Genre\r\n\r\nTTITLE0=Low Tone\r\nTTITLE1=Middle Tone\r\nTTITLE2=\r\nEXTD=\r\n"
    "EXTT0=\r\nEXTT1=\r\nEXTT2=\r\nPLAYORDER=\r\n\r\n";

using LocalStoreTest = CDFixture;

TEST_F(LocalStoreTest, FindsAnEntryByDiscIdIgnoringCaseAndTakesTheFolderCategory) {
  TCDDBConnect c;
  c.LocalCDDBPath = m_folder / "localcddatabase";
  fs::create_directories(c.LocalCDDBPath + "/jazz");
  fs::create_directories(c.LocalCDDBPath + "/rock");
  WriteTextFile(c.LocalCDDBPath + "/rock/0A000C03", kStored);
  std::string received;
  c.OnReceiveData = [&](TCDDBConnect&, const std::string& text) { received = text; };
  TCDDBEntry e;
  e.CDID = "0a000c03";
  e.CDID_CDDB = "0a000c03 3 150 450 840 14";
  ASSERT_TRUE(c.GetInfoForCurrentCDLocal(e, true));
  EXPECT_EQ(e.Category, "rock");  // not "xmcd" from the first line
  EXPECT_EQ(e.ArtistTitle, "Stored Artist");
  EXPECT_EQ(e.Tracks, (std::vector<std::string>{"Low Tone", "Middle Tone"}));
  EXPECT_EQ(received, kStored);
  // Unknown disc: the placeholders stay.
  e.CDID = "ffffffff";
  EXPECT_FALSE(c.GetInfoForCurrentCDLocal(e, true));
  EXPECT_EQ(e.ArtistTitle, "Unknown Artist");
  EXPECT_EQ(e.Tracks.size(), 3u);
}

TEST_F(LocalStoreTest, SavesTheRecordWithoutStatusAndEndLinesAndRefusesEscapes) {
  TCDDBConnect c;
  c.LocalCDDBPath = m_folder / "deep/er/localcddatabase";
  TCDDBEntry e;
  e.CDID = "0a000c03";
  e.Category = "blues";
  e.XMCDRecordRawData = {"200 blues 0a000c03 CD database entry follows (until terminating `.')", "# xmcd", "DTITLE=A / B", "."};
  ASSERT_TRUE(c.SaveCurrentCDDataLocal(e));
  EXPECT_EQ(ReadTextFile(c.LocalCDDBPath + "/blues/0a000c03"), "# xmcd\r\nDTITLE=A / B\r\n");
  EXPECT_EQ(e.XMCDRecordRawData.size(), 4u);  // the entry itself is left as it was
  e.CDID = "../../escaped";
  EXPECT_FALSE(c.SaveCurrentCDDataLocal(e));
  e.CDID = "0a000c03";
  e.Category = "..";
  EXPECT_FALSE(c.SaveCurrentCDDataLocal(e));
  EXPECT_FALSE(fs::exists(m_folder / "deep/escaped"));
  e.Category = "blues";
  e.XMCDRecordRawData.clear();
  EXPECT_FALSE(c.SaveCurrentCDDataLocal(e));
  // An unwritable store gives false.
  c.LocalCDDBPath = "/proc/keldar-not-writable";
  e.XMCDRecordRawData = {"s", "# xmcd", "."};
  EXPECT_FALSE(c.SaveCurrentCDDataLocal(e));
}

TEST_F(LocalStoreTest, RebuildsTheQueryFromAStoredFile) {
  TCDDBConnect c;
  const std::string good = m_folder / "good";
  WriteTextFile(good, kStored);
  EXPECT_EQ(c.CalculateCDID_CDDBFromXMCDFile(good), "0a000c03 3 150 450 840 14");
  const std::string bad = m_folder / "bad";
  WriteTextFile(bad, "# xmcd\r\n#\r\n# Something else:\r\n# 150\r\n");
  EXPECT_EQ(c.CalculateCDID_CDDBFromXMCDFile(bad), "");
  const std::string truncated = m_folder / "truncated";
  WriteTextFile(truncated, "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n");
  EXPECT_EQ(c.CalculateCDID_CDDBFromXMCDFile(truncated), "");
  EXPECT_EQ(c.CalculateCDID_CDDBFromXMCDFile(m_folder / "missing"), "");
  // Ten megabytes of hostile text: refused unread, no query, no entry.
  const std::string huge = m_folder / "localcddatabase/misc/0a000c03";
  fs::create_directories(fs::path(huge).parent_path());
  std::string text = "# xmcd\n#\n# Track frame offsets:\n";
  while (text.size() < 10u * 1024 * 1024) text += "TTITLE0=" + std::string(1000, '\x01') + "\n";
  WriteTextFile(huge, text);
  EXPECT_EQ(c.CalculateCDID_CDDBFromXMCDFile(huge), "");
  c.LocalCDDBPath = m_folder / "localcddatabase";
  TCDDBEntry e;
  e.CDID = "0a000c03";
  EXPECT_FALSE(c.GetInfoForCurrentCDLocal(e, false));
}

TEST_F(LocalStoreTest, ServerListFileIsWrittenWithDefaultsAndReadBack) {
  const std::string path = FreedbServersFilePath();
  EXPECT_EQ(fs::path(path).filename(), "keldar3freedbservers.ini");
  freedbServersStructure servers;
  EXPECT_FALSE(LoadfreedbServersFromFile(servers, path));
  ASSERT_EQ(servers.TotalServers, 12);
  const std::string text = ReadTextFile(path);
  EXPECT_EQ(text.substr(0, text.find('\n')), "gnudb.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Random freedb server");
  EXPECT_NE(text.find("Saint-Petersburg"), std::string::npos);
  WriteTextFile(path, "mirror.example http 8080 /cgi/cddb.cgi N001.00 E002.00 Somewhere With Blanks\n"
                      "broken line\n"
                      "other.example cddbp 888 /x S001.00 W002.00 Far\n");
  ASSERT_TRUE(LoadfreedbServersFromFile(servers, path));
  ASSERT_EQ(servers.TotalServers, 2);
  const auto& s = servers.CurrentServer[0];
  EXPECT_EQ(s.ServerAddress, "mirror.example");
  EXPECT_EQ(s.ServerType, TServerType1::HTTP);
  EXPECT_EQ(s.ServerPort, "8080");
  EXPECT_EQ(s.ServerAdditionalAddress, "/cgi/cddb.cgi");
  EXPECT_EQ(s.ServerLocationDescription, "Somewhere With Blanks");
  EXPECT_EQ(servers.CurrentServer[1].ServerType, TServerType1::CDDBP);
  TCDDBConnect c;
  SetCDDBComponentServerVariables(c, s);
  EXPECT_EQ(c.ProxyPort, 8080);
  EXPECT_EQ(c.ServerAdditionalAddress, "/cgi/cddb.cgi");
  auto odd = s;
  odd.ServerPort = "eighty";
  SetCDDBComponentServerVariables(c, odd);
  EXPECT_EQ(c.ProxyPort, 80);
  // Nothing usable in the file: the damage message and the defaults.
  WriteTextFile(path, "\x01\x02\n\n");
  EXPECT_FALSE(LoadfreedbServersFromFile(servers, path));
  EXPECT_EQ(servers.TotalServers, 12);
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages().back().Text,
            "File with Server List (keldar3freedbservers.ini) is damaged\rPress OK to Load Default Server List");
}

TEST_F(LocalStoreTest, EmailPromptRepeatsUntilAnAddressAndStopsOnCancel) {
  std::vector<std::string> answers{"no-at-sign", KELDAR_FREEDB_DEFAULT_EMAIL, " me @ example.org "};
  int asked = 0;
  CDDialogHooks().InputText = [&](const std::string& title, const std::string& prompt, const std::string& def)
      -> std::optional<std::string> {
    EXPECT_EQ(title, "freedb User Login E-mail");
    EXPECT_EQ(prompt, "Enter a Valid E-mail for freedb user login");
    EXPECT_EQ(def, "");
    return answers[static_cast<size_t>(asked++)];
  };
  TCDDBConnect c;
  std::string email = KELDAR_FREEDB_DEFAULT_EMAIL;
  SetSomefreedbVariables(c, "My Player", "2.5", email);
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(email, " me @ example.org ");
  EXPECT_EQ(c.UserName, "me");
  EXPECT_EQ(c.HostName, "example.org");
  EXPECT_EQ(c.SubmitMode, TSubmitMode::smHttpSubmit);
  EXPECT_EQ(c.ClientName, "My Player");
  // A valid address is not asked for; a cancelled prompt keeps the old one.
  asked = 0;
  SetSomefreedbVariables(c, "P", "1", email);
  EXPECT_EQ(asked, 0);
  CDDialogHooks().InputText = [&](const std::string&, const std::string&, const std::string&) -> std::optional<std::string> {
    ++asked;
    return std::nullopt;
  };
  std::string none = "nobody";
  SetSomefreedbVariables(c, "P", "1", none);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(none, "nobody");
}

TEST_F(LocalStoreTest, AddingAnImageNamesItsTracksFromTheStore) {
  InstallCDPlaylistHooks();
  const std::string cue = Image("named");
  const fs::path store = fs::path(m_folder.Path()) / "localcddatabase" / "rock";
  fs::create_directories(store);
  WriteTextFile((store / "0a000c03").string(), kStored);
  Options_freedbUserEmail.StringValue = "me@example.org";
  Options_UsefreedbSupportState.BooleanValue = true;
  bool retrieveShown = false;
  CDDialogHooks().RetrieveCDInformation = [&] { return retrieveShown = true; };
  TPlaylist list;
  ProccessAddedFiles(list, {cue}, true);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_FALSE(retrieveShown);
  const std::string titles[] = {"Low Tone", "Middle Tone", "Track03"};
  const int lengths[] = {4, 5, 3};
  for (int i = 0; i < 3; ++i) {
    const TPlayListBoxItem& item = list.Item(i);
    EXPECT_EQ(item.FullPathAndFilename, cue + "/Track0" + std::to_string(i + 1) + ".CDA");
    EXPECT_EQ(item.ArtistName, "Stored Artist");
    EXPECT_EQ(item.TitleName, titles[i]);  // an empty title falls back to the file name
    EXPECT_EQ(item.AlbumName, "Stored Album");
    EXPECT_EQ(item.TitleAlbumYear, "2004");
    EXPECT_EQ(item.TitleCDIndex, i);
    EXPECT_EQ(item.FilePlaybackLength, lengths[i]);
    EXPECT_TRUE(item.TagIDDataRetrieved);
  }
  // An unknown disc with freedb allowed opens the search dialog; the placeholders name it.
  const std::string other = Image("unknown", "pregaps");
  ProccessAddedFiles(list, {other}, true);
  EXPECT_TRUE(retrieveShown);
  ASSERT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Item(3).ArtistName, "Unknown Artist");
  EXPECT_EQ(list.Item(4).TitleName, "Track 2");
  PlaylistHooks() = {};
}

}  // namespace
}  // namespace cdtest
